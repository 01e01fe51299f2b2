#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Starting programs and opening files the way the desktop shell does (the stand-in for
// "explorer file" and "explorer /select,file"): everything is started detached. All starts
// go through one launcher, which tests replace to see what would have run.
class KShell
{
public:
    using Launcher = std::function<bool(const QString &program, const QStringList &arguments)>;

    // Opens a file, folder or address with the user's default application (xdg-open).
    static bool open(const QString &target);
    // Opens the folder that holds the file.
    static bool openContainingFolder(const QString &filePath);
    // Starts a program detached, without a shell in between.
    static bool startDetached(const QString &program, const QStringList &arguments);

    // An empty launcher restores the real one.
    static void setLauncher(Launcher launcher);
};
