#pragma once

#include <QString>

// Where the process, this module and the suite's launcher live.
struct ModuleInfo
{
    QString hostExecutablePath;
    QString hostExecutableFolder;
    QString modulePath;
    QString moduleFolder;
    QString launcherPath; // empty when the suite's install root is not registered
};

class KessSandBoxHelper
{
public:
    // Filled on first use, then kept for the process.
    static const ModuleInfo &getModuleInfo();
    // The folder that holds the registered install root ("InstallRoot" of
    // brindlex/Office/6.0/Common, per user first, then machine-wide); empty when none.
    static QString installRootParent();
    // The launcher beside the install root; empty when there is no install root.
    static QString launcherPath();
    // An absolute path for a path relative to this module's folder.
    static QString resourcePath(const QString &relativePath);
};
