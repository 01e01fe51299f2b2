#pragma once

#include <QLibrary>
#include <QString>

// Finds and loads the add-on module: $BRINDLEX_ADDON when set, else the installed module in
// ../lib beside this executable, else the one in the build tree.
class KAddonLoader
{
public:
    KAddonLoader();
    static QString modulePath();
    bool load(QString *error);
    QFunctionPointer resolve(const char *symbol);

private:
    QLibrary m_library;
};
