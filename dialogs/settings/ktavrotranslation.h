#pragma once

#include <QString>

// Holds the add-on's translation ("ktavro.qm" from the "mui" folder beside the module, for
// the host's language) installed for as long as it lives. Every entry into the add-on keeps
// one; without an application or a translator registry it does nothing.
class KTavroTranslation
{
public:
    KTavroTranslation();
    ~KTavroTranslation();
    KTavroTranslation(const KTavroTranslation &) = delete;
    KTavroTranslation &operator=(const KTavroTranslation &) = delete;

    // "<folder of the module>/mui/".
    static QString muiFolder();
    // Whether a translation file was found and installed.
    bool isInstalled() const { return m_installed; }

private:
    bool m_installed = false;
};
