#include "kshell.h"

#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>

namespace {

QMutex &launcherMutex()
{
    static QMutex mutex;
    return mutex;
}

KShell::Launcher &launcherSlot()
{
    static KShell::Launcher launcher;
    return launcher;
}

bool realStart(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

} // namespace

bool KShell::open(const QString &target)
{
    if (target.isEmpty())
        return false;
    return startDetached(QStringLiteral("xdg-open"), {target});
}

bool KShell::openContainingFolder(const QString &filePath)
{
    if (filePath.isEmpty())
        return false;
    return open(QFileInfo(filePath).absolutePath());
}

bool KShell::startDetached(const QString &program, const QStringList &arguments)
{
    if (program.isEmpty())
        return false;
    Launcher launcher;
    {
        QMutexLocker lock(&launcherMutex());
        launcher = launcherSlot();
    }
    return launcher ? launcher(program, arguments) : realStart(program, arguments);
}

void KShell::setLauncher(Launcher launcher)
{
    QMutexLocker lock(&launcherMutex());
    launcherSlot() = std::move(launcher);
}
