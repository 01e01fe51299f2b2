#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class QTranslator;

namespace krt {
// The host's registry of translations that add-ons bring. A folder's files are looked up
// for the host's language (folder/<language>/file) and installed into the application;
// uninstalling a folder removes what it brought. Several owners (an entry object and a command)
// may install the same folder: each file is loaded once and stays until the last of them
// uninstalls the folder. A folder with no file for the language is not kept.
class KAppTranslators
{
public:
    ~KAppTranslators();
    // Number of files installed for the folder; a file missing for the language is skipped.
    int installTranslation(const QString &folder, const QStringList &files);
    void uninstallTranslation(const QString &folder);
    QStringList installedFolders() const;

    // The host's language: host value "language", else $LANGUAGE, else $LANG ("zh_CN.UTF-8"
    // reads as "zh_CN"); "en" when none is set.
    static QString language();

private:
    struct Installed
    {
        int owners = 0;
        QHash<QString, QTranslator *> byFile;
    };
    void remove(Installed &installed);

    QHash<QString, Installed> m_byFolder;
};
} // namespace krt
