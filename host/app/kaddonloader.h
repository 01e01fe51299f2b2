#pragma once

#include <QLibrary>
#include <QString>

// Finds and loads the add-on module: $BRINDLEX_ADDON when set, else the installed module in
// ../lib beside this executable, else the one in the build tree. The command-line export
// loads the add-on's small export module instead (libktavro_export.so beside the add-on, or
// $BRINDLEX_EXPORT_MODULE): the engine without dialogs, services and what they link.
class KAddonLoader
{
public:
    enum Module { Full, ExportOnly };

    explicit KAddonLoader(Module module = Full);
    bool load(QString *error);
    QFunctionPointer resolve(const char *symbol);
    QString fileName() const { return m_library.fileName(); }

    // Where the export module is for an add-on at addonPath: beside it when there, else
    // the add-on itself (which offers the same entry points through it).
    static QString exportModuleBeside(const QString &addonPath);

private:
    QLibrary m_library;
};
