#include "kcommandsupport.h"

#include <kunknown.h>

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kcommandsupport {

KxMainWindow *mainWindowOf(const KCommand *command)
{
    return command ? static_cast<KxMainWindow *>(KxMainWindow::staticMetaObject.cast(command->host())) : nullptr;
}

bool hasActiveDocument(const KCommand *command)
{
    KxMainWindow *window = mainWindowOf(command);
    if (!window)
        return false;
    const KComPtr<IKUnknown> document(window->getActiveCoreView());
    return bool(document);
}

bool isComponent(const char *name)
{
    return QCoreApplication::applicationName().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

QString legacyImagePath()
{
    QString base = qEnvironmentVariable("appdata");
    if (base.isEmpty())
        base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/brindlex/dudevu6/tavro/ktavroimage.png"));
}

QRect placementFor(const QWidget *mainWindow)
{
    QScreen *screen = mainWindow && mainWindow->screen() ? mainWindow->screen() : QGuiApplication::primaryScreen();
    const QRect screenArea = screen ? screen->geometry() : QRect();
    if (screen && (screenArea.width() < 1024 || screenArea.height() < 770))
        return screen->availableGeometry();
    if (mainWindow)
        return mainWindow->geometry();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 770);
}

} // namespace kcommandsupport
