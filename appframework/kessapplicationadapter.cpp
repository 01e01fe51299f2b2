#include "kessapplicationadapter.h"

#include "kessappadapterproxy.h"
#include "kesslaunchinfo.h"
#include "kesslog.h"
#include "kesssandbox.h"
#include "kesssandboxhelper.h"
#include "kesstools.h"
#include "ui/kappmainwindow.h"
#include "ui/kappqrcodebox.h"
#include "ui/kapptitlebar.h"

#include <kcloudserviceproxy.h>
#include <kdrawhelper.h>
#include <kpluginmgr.h>
#include <kshell.h>
#include <kthemeloader.h>
#include <kxapplication.h>

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QHash>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QUrl>
#include <QWidget>

struct KEssApplicationAdapter::Data
{
    QPointer<QWidget> mainWindow;
    KEssLaunchInfo launchInfo;
    SandboxInfo applicationInfo;
    std::unique_ptr<KEssAppAdapterProxy> proxy;
    std::unique_ptr<QNetworkAccessManager> network;
    std::shared_ptr<KThemeLoader> defaultTheme;

    bool setApplication(const QVariantList &arguments);
    bool initApplicationInfo(SandboxInfo *record);
    bool setMainWindow(const QVariantList &arguments);
    void placeMainWindow(KAppMainWindow *window) const;
    void adjustWindowTitleBar(KAppMainWindow *window) const;
    bool installDefaultTheme();
    bool removeDefaultTheme();
    bool closeMainWindow();
    bool openUrl(const QString &url, KEssApplicationAdapter &adapter);
    bool requestWidget(const QVariantList &arguments, QVariantList &results);
};

namespace {

bool reportWrongArguments(const kess::LogSite &site, int method, int count)
{
    kess::writeLog(kess::LevelCritical, site,
                   QStringLiteral("Wrong arguments for method ApplicationAdapterMethod %1, %2 arguments is required")
                       .arg(method)
                       .arg(count));
    return false;
}

bool requireArguments(const kess::LogSite &site, int method, const QVariantList &arguments, int count)
{
    return arguments.size() >= count || reportWrongArguments(site, method, count);
}

// Addresses come from pages and meta files: surrounding spaces, quotes and braces are
// dropped; what remains must be an http(s) address with a host. Empty when it is not.
QUrl webAddress(QString text)
{
    static const QString openers = QStringLiteral("{<\"'");
    static const QString closers = QStringLiteral("}>\"'");
    text = text.trimmed();
    for (int kind; text.size() >= 2 && (kind = openers.indexOf(text.front())) >= 0 && text.back() == closers.at(kind);)
        text = text.mid(1, text.size() - 2).trimmed();
    const QUrl url(text, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    const bool web = url.isValid() && !url.host().isEmpty() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
    return web ? url : QUrl();
}

QHash<int, KEssApplicationAdapter::WidgetFactory> &widgetFactories()
{
    static QHash<int, KEssApplicationAdapter::WidgetFactory> factories;
    return factories;
}

} // namespace

QRect kessPlacedWindowRect(const QRect &frame, const QPoint &centre, const QList<QRect> &availableScreens)
{
    QRect placed = frame;
    placed.moveTopLeft(centre - QPoint(frame.width() / 2, frame.height() / 2));
    if (availableScreens.isEmpty())
        return placed;
    // The screen the launcher pointed at, else the one closest to that point.
    QRect area = availableScreens.first();
    int best = -1;
    for (const QRect &screen : availableScreens) {
        const QPoint inside(qBound(screen.left(), centre.x(), screen.right()), qBound(screen.top(), centre.y(), screen.bottom()));
        const int distance = (inside - centre).manhattanLength();
        if (best < 0 || distance < best) {
            best = distance;
            area = screen;
        }
    }
    // Right and bottom first, so a window larger than the screen keeps its title bar visible.
    if (placed.right() > area.right())
        placed.moveRight(area.right());
    if (placed.bottom() > area.bottom())
        placed.moveBottom(area.bottom());
    if (placed.left() < area.left())
        placed.moveLeft(area.left());
    if (placed.top() < area.top())
        placed.moveTop(area.top());
    return placed;
}

void KEssApplicationAdapter::setWidgetFactory(int kind, WidgetFactory factory)
{
    if (factory)
        widgetFactories().insert(kind, std::move(factory));
    else
        widgetFactories().remove(kind);
}

KEssApplicationAdapter::KEssApplicationAdapter()
    : d(std::make_unique<Data>())
{
    KEssLaunchInfo::registerMetaTypes();
}

KEssApplicationAdapter::~KEssApplicationAdapter()
{
    if (d->defaultTheme)
        KDrawHelper::instance()->removeSubTheme(d->defaultTheme);
}

KEssAppAdapterProxy *KEssApplicationAdapter::proxy()
{
    if (!d->proxy)
        d->proxy = std::make_unique<KEssAppAdapterProxy>();
    return d->proxy.get();
}

QNetworkAccessManager *KEssApplicationAdapter::networkAccess()
{
    if (!d->network)
        d->network = std::make_unique<QNetworkAccessManager>();
    return d->network.get();
}

bool KEssApplicationAdapter::call(int method, const QVariantList &arguments, QVariantList &results)
{
    switch (method) {
    case Method_SetApplication:
        return requireArguments(KESS_HERE, method, arguments, 2) && d->setApplication(arguments);
    case Method_SetMainWindow:
        return d->setMainWindow(arguments);
    case Method_InstallDefaultTheme:
        return d->installDefaultTheme();
    case Method_RemoveDefaultTheme:
        return d->removeDefaultTheme();
    case Method_GetLaunchInfo:
        results << QVariant::fromValue<const KEssLaunchInfo *>(&d->launchInfo);
        return true;
    case Method_CloseMainWindow:
        return d->closeMainWindow();
    case Method_OpenUrl:
        if (arguments.size() != 1)
            return reportWrongArguments(KESS_HERE, method, 1);
        return d->openUrl(arguments.first().toString(), *this);
    case Method_RequestWidget:
        return requireArguments(KESS_HERE, method, arguments, 1) && d->requestWidget(arguments, results);
    default: // Method_Log among them: the sandbox's lines are not served here
        return false;
    }
}

bool KEssApplicationAdapter::Data::setApplication(const QVariantList &arguments)
{
    launchInfo = KEssLaunchInfo::fromLaunchMap(arguments.at(0).toMap());
    return initApplicationInfo(arguments.at(1).value<SandboxInfo *>());
}

bool KEssApplicationAdapter::Data::initApplicationInfo(SandboxInfo *record)
{
    if (!record || launchInfo.source.isEmpty()) {
        KESS_CRITICAL(QStringLiteral("Failed to init application info!"));
        return false;
    }
    record->moduleVersion = kesstools::app::moduleVersion();
    record->frameworkVersion = QStringLiteral("1.0");
    record->appId = launchInfo.appId;
    record->source = launchInfo.source;
    record->appKey = launchInfo.appId;
    record->displayName = launchInfo.properties.value(QStringLiteral("applicationName")).toString();
    record->entryName = launchInfo.entry.first;
    record->entryFolder = launchInfo.entry.second;
    record->dependencies = launchInfo.dependencies;
    record->properties = launchInfo.properties;
    applicationInfo = *record;
    return true;
}

bool KEssApplicationAdapter::Data::setMainWindow(const QVariantList &arguments)
{
    QWidget *window = arguments.isEmpty() ? nullptr : arguments.first().value<QWidget *>();
    if (arguments.size() != 1 || !window)
        return reportWrongArguments(KESS_HERE, Method_SetMainWindow, 1);
    if (!GetSandbox()) {
        KESS_CRITICAL(QStringLiteral("Sandbox is not ready!"));
        return false;
    }
    // Sizing, placing and the title bar belong to the framework's own main window class.
    if (!window->inherits("KAppMainWindow")) {
        KESS_CRITICAL(QStringLiteral("KAppMainWindow is not ready!"));
        return false;
    }
    auto *appWindow = static_cast<KAppMainWindow *>(window);
    mainWindow = window;
    const QVariantMap &properties = launchInfo.properties;
    if (properties.contains(QStringLiteral("resize")))
        appWindow->setResizable(properties.value(QStringLiteral("resize")).toBool());
    if (launchInfo.hasPosition())
        placeMainWindow(appWindow);
    adjustWindowTitleBar(appWindow);
    return true;
}

void KEssApplicationAdapter::Data::placeMainWindow(KAppMainWindow *window) const
{
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    window->move(kessPlacedWindowRect(frame, QPoint(launchInfo.posX, launchInfo.posY), screens).topLeft());
}

void KEssApplicationAdapter::Data::adjustWindowTitleBar(KAppMainWindow *window) const
{
    KAppTitleBar *bar = window->appTitleBar();
    if (!bar) {
        KESS_CRITICAL(QStringLiteral("KAppTitleBar is not ready!"));
        return;
    }
    const QVariantMap &properties = launchInfo.properties;
    if (properties.value(QStringLiteral("hasPopularization")).toBool()) {
        const QPixmap qrCode = KAppQRCodeBox::loadPicture(
            QStringLiteral(":/%1").arg(properties.value(QStringLiteral("popularizationQRCode")).toString()), QSize(180, 180));
        bar->setPopularization(properties.value(QStringLiteral("popularizationTitle")).toString(),
                               properties.value(QStringLiteral("popularizationDescription")).toString(), qrCode);
    }
    if (window->windowIcon().isNull()) {
        const QIcon titleIcon(properties.value(QStringLiteral("icon_title")).toString());
        if (!titleIcon.pixmap(16, 16).isNull())
            window->setWindowIcon(titleIcon);
    }
    if (window->windowIcon().isNull()) {
        const QIcon moduleIcon(KessSandBoxHelper::resourcePath(QStringLiteral("resource/res/title.ico")));
        if (!moduleIcon.pixmap(24, 24).isNull())
            window->setWindowIcon(moduleIcon);
    }
    static const QList<QPair<QString, int>> switches{{QStringLiteral("maximize"), KFrame::MaximizeButton},
                                                      {QStringLiteral("minimize"), KFrame::MinimizeButton},
                                                      {QStringLiteral("assistantMenu"), KFrame::MenuButton},
                                                      {QStringLiteral("userCenter"), KFrame::AvatarButton}};
    int flags = window->titleBarFlags();
    for (const auto &item : switches) {
        if (!properties.contains(item.first))
            continue;
        flags = properties.value(item.first).toBool() ? (flags | item.second) : (flags & ~item.second);
    }
    window->setTitleBarFlags(flags);
}

bool KEssApplicationAdapter::Data::installDefaultTheme()
{
    if (!GetSandbox()) {
        KESS_CRITICAL(QStringLiteral("sandbox is not ready"));
        return false;
    }
    if (defaultTheme) {
        KESS_CRITICAL(QStringLiteral("another default theme is already installed."));
        return false;
    }
    const QString path = KessSandBoxHelper::resourcePath(QStringLiteral("resource/theme/default.kuip"));
    if (!QFileInfo::exists(path)) {
        KESS_CRITICAL(QStringLiteral("default theme file not found."));
        return false;
    }
    auto theme = std::make_shared<KThemeLoader>();
    if (!theme->setupXml(path)) {
        KESS_CRITICAL(QStringLiteral("setup theme file \"%1\" failed").arg(path));
        return false;
    }
    KDrawHelper::instance()->addSubTheme(theme);
    defaultTheme = theme;
    KESS_DEBUG(QStringLiteral("Default theme installed: ") + path);
    return true;
}

bool KEssApplicationAdapter::Data::removeDefaultTheme()
{
    if (!defaultTheme) {
        KESS_WARNING(QStringLiteral("There's no default theme"));
        return false;
    }
    KDrawHelper::instance()->removeSubTheme(defaultTheme);
    defaultTheme.reset();
    return true;
}

bool KEssApplicationAdapter::Data::closeMainWindow()
{
    if (!mainWindow) {
        KESS_WARNING(QStringLiteral("mainwindow is not set!"));
        return false;
    }
    mainWindow->close();
    return true;
}

bool KEssApplicationAdapter::Data::openUrl(const QString &text, KEssApplicationAdapter &adapter)
{
    // Pages of the JavaScript bridge reach this too: only web addresses go to the desktop.
    const QUrl address = webAddress(text);
    if (address.isEmpty()) {
        KESS_WARNING(QStringLiteral("Refused to open \"%1\": not a web address.").arg(text));
        return false;
    }
    const QString url = address.toString(QUrl::FullyEncoded);
    if (launchInfo.properties.value(QStringLiteral("usePyrelithBrowser")).toBool()) {
        return KShell::startDetached(KessSandBoxHelper::getModuleInfo().hostExecutablePath,
                                     {QStringLiteral("plugin://pageBrowser?%1").arg(url)});
    }
    KCloudServiceProxy *cloud = KCloudServiceProxy::instance();
    if (cloud && cloud->isLogined())
        return cloud->openVipAutoLoginUrl(url, adapter.proxy(), SLOT(onOpenVipAutoLoginUrlFinished(bool)));
    return KShell::open(url);
}

bool KEssApplicationAdapter::Data::requestWidget(const QVariantList &arguments, QVariantList &results)
{
    const int kind = arguments.first().toInt();
    if (kind == 1) {
        KPluginManager *plugins = KxApplication::coreApplication()->getPluginMgr();
        if (!plugins || !plugins->getPlugin(QStringLiteral("vuziroz"))) {
            KESS_WARNING(QStringLiteral("Cannot load yunkit plugin because it is not in the plg file."));
            return false;
        }
        return KShell::startDetached(KessSandBoxHelper::getModuleInfo().hostExecutablePath,
                                     {QStringLiteral("plugin://vuziroz")});
    }
    if (kind == 2) {
        const WidgetFactory create = widgetFactories().value(kind);
        QWidget *widget = create ? create(arguments.value(1).value<QWidget *>()) : nullptr;
        if (!widget) {
            KESS_WARNING(QStringLiteral("The feedback window cannot be created."));
            results << QVariant::fromValue<QWidget *>(nullptr);
            return false;
        }
        widget->setAttribute(Qt::WA_DeleteOnClose);
        widget->show();
        results << QVariant::fromValue(widget);
        return true;
    }
    KESS_WARNING(QStringLiteral("Unknown widget kind %1 requested.").arg(kind));
    return false;
}
