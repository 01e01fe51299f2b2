#pragma once

#include <QLibrary>
#include <QString>

// Finds and loads the add-on module: $BRINDLEX_ADDON when set, else the module built
// beside this executable.
class KAddonLoader
{
public:
    KAddonLoader();
    bool load(QString *error);
    QFunctionPointer resolve(const char *symbol);

private:
    QLibrary m_library;
};
