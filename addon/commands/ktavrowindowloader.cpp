#include "ktavrowindowloader.h"

#include "ktavrowindowapi.h"

#include <kesssandboxhelper.h>

#include <QLibrary>

namespace {
QString modulePath()
{
    const QString configured = qEnvironmentVariable("KTAVRO_TAVROWINDOW_MODULE");
    if (!configured.isEmpty())
        return configured;
    return KessSandBoxHelper::getModuleInfo().moduleFolder + QStringLiteral("/libktavro_tavrowindow.so");
}

KTavroWindowFactoryFn factory()
{
    // Loaded once and kept: windows made by it may outlive any one command.
    static KTavroWindowFactoryFn fn = [] {
        QLibrary library(modulePath());
        auto found = reinterpret_cast<KTavroWindowFactoryFn>(library.resolve(KTAVRO_WINDOW_FACTORY));
        if (!found)
            qWarning("Tavro window module not available: %s", qPrintable(library.errorString()));
        return found;
    }();
    return fn;
}
} // namespace

KTavroWindowApi *ktavrowindowloader::create(QWidget *mainWindow)
{
    KTavroWindowFactoryFn fn = factory();
    return fn ? fn(mainWindow) : nullptr;
}
