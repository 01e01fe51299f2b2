#include "kappmainwindow.h"

#include "kappqrcodebox.h"
#include "kapptitlebar.h"
#include "kuserinfopane.h"
#include "iapplicationadapter.h"
#include "kesslog.h"
#include "kesssandbox.h"
#include "kesstools.h"

#include <klitemenu.h>
#include <klitestyle.h>

#include <QPixmap>
#include <QPointer>
#include <QShortcut>
#include <QTimer>

struct KAppMainWindow::Data
{
    bool started = false;
    QPointer<KLiteMenu> menu;
    QPointer<QWidget> userPane;
};

KAppClientWidget::KAppClientWidget(QWidget *parent)
    : KFrameClientWidget(parent)
{
}

KAppClientWidget::~KAppClientWidget() = default;

KAppMainWindow::KAppMainWindow(QWidget *parent)
    : KFrameWindow(parent)
    , d(std::make_unique<Data>())
{
    qRegisterMetaType<KAppTitleBar *>();
    qRegisterMetaType<KLiteMenu *>();
    qRegisterMetaType<KUserInfoPane *>();
}

KAppMainWindow::~KAppMainWindow()
{
    if (!GetApplicationAdapter())
        KESS_CRITICAL(QStringLiteral("No application is set."));
}

KAppTitleBar *KAppMainWindow::appTitleBar() const
{
    return qobject_cast<KAppTitleBar *>(titleBar());
}

bool KAppMainWindow::adapterReady(const QString &text)
{
    if (GetApplicationAdapter())
        return true;
    KESS_CRITICAL(text);
    return false;
}

void KAppMainWindow::beforeInitUi()
{
    if (adapterReady(QStringLiteral("IApplicationAdapter is not ready."))) {
        QVariantList results;
        GetApplicationAdapter()->call(Method_InstallDefaultTheme, {}, results);
    }
    KFrameWindow::beforeInitUi();
    if (d->started)
        return;
    d->started = true;
    setBorderVisible(true);
    setBoxShadow(QColor(0, 0, 0, 51), KLiteStyle::dpiScaled(25), KLiteStyle::dpiScaled(8));
    // Owned by the window: a pending static single-shot outlives the window, and the module
    // that made it once the host unloads it.
    auto *startInfo = new QTimer(this);
    startInfo->setSingleShot(true);
    connect(startInfo, &QTimer::timeout, this, &KAppMainWindow::onSendStartInfoColl);
    startInfo->start(2000);
}

void KAppMainWindow::afterInitUi()
{
    if (!adapterReady(QStringLiteral("No application is set.")))
        return;
    QVariantList results;
    GetApplicationAdapter()->call(Method_SetMainWindow, {QVariant::fromValue<QWidget *>(this)}, results);
    adjustWindowFlags();
    installShortcuts();
}

void KAppMainWindow::installShortcuts()
{
    KEssSandbox *sandbox = GetSandbox();
    if (!sandbox || !sandbox->value(QStringLiteral("DiagnoseShortcut")).toBool())
        return;
    auto *feedback = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W), this);
    connect(feedback, &QShortcut::activated, this, &KAppMainWindow::onFeedbackShortcut);
    auto *diagnose = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Q), this);
    connect(diagnose, &QShortcut::activated, this, &KAppMainWindow::onDiagnoseShortcut);
}

KFrameTitleBar *KAppMainWindow::createTitleBar()
{
    auto *bar = new KAppTitleBar(this);
    connect(bar, &KAppTitleBar::menuCreate, this, &KAppMainWindow::menuCreate);
    connect(bar, &KAppTitleBar::menuCreate, this, &KAppMainWindow::onMenuCreated);
    connect(bar, &KAppTitleBar::userInfoPaneCreate, this, [this](KUserInfoPane *pane) {
        d->userPane = pane;
        emit userInfoPaneCreate(pane);
    });
    connect(bar, &KAppTitleBar::actionsInited, this, &KAppMainWindow::titleBarActionsInited);
    connect(bar, &KAppTitleBar::openFeedBack, this, [this] { requestWidget(2); });
    return bar;
}

KFrameClientWidget *KAppMainWindow::createClientWidget()
{
    return new KAppClientWidget(this);
}

void KAppMainWindow::adjustWindowFlags()
{
    const QVariantMap properties = sandboxInfo().properties;
    const QString key = QStringLiteral("minimize");
    const bool minimize = properties.contains(key) ? properties.value(key).toBool()
                                                   : (titleBarFlags() & KFrame::MinimizeButton) != 0;
    if (!minimize || (windowFlags() & Qt::WindowMinimizeButtonHint))
        return;
    const bool shown = isVisible();
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
    if (shown)
        show();
}

void KAppMainWindow::onMenuCreated(KLiteMenu *menu)
{
    d->menu = menu;
    KAppTitleBar *bar = appTitleBar();
    if (!menu || !bar)
        return;
    if (!GetSandbox()) {
        KESS_CRITICAL(QStringLiteral("Sandbox is not ready!"));
        return;
    }
    const QVariantMap properties = GetSandbox()->info().properties;
    const auto on = [&properties](const char *key, bool absent) {
        const QString name = QString::fromLatin1(key);
        return properties.contains(name) ? properties.value(name).toBool() : absent;
    };
    if (on("hasUsedDeclaration", false))
        bar->addMenuItem(menu, KAppTitleBar::MenuDeclare);
    if (on("hasCustomService", false))
        addCustomServiceItem(menu, properties);
    bar->addMenuItem(menu, KAppTitleBar::MenuFeedback);
    if (on("hasReport", true))
        bar->addMenuItem(menu, KAppTitleBar::MenuReport);
    if (on("hasCreateShortcut", false)) {
        bar->addMenuItem(menu, KAppTitleBar::MenuSeparator);
        bar->addMenuItem(menu, KAppTitleBar::MenuCreateLnk);
    }
    if (on("hasAbout", true)) {
        bar->addMenuItem(menu, KAppTitleBar::MenuSeparator);
        bar->addMenuItem(menu, KAppTitleBar::MenuAbout);
    }
}

void KAppMainWindow::addCustomServiceItem(KLiteMenu *menu, const QVariantMap &properties)
{
    const QString type = properties.value(QStringLiteral("customServiceType")).toString();
    if (type != QLatin1String("qrcode")) {
        KESS_CRITICAL(QStringLiteral("type %1 is not defined!").arg(type));
        return;
    }
    const QPixmap qrCode = KAppQRCodeBox::loadPicture(
        QStringLiteral(":/%1").arg(properties.value(QStringLiteral("customServiceQRCode")).toString()), QSize(180, 180));
    QAction *item = appTitleBar()->addMenuItem(menu, KAppTitleBar::MenuCustomService);
    item->setProperty("_custom_QrCode__", qrCode);
    item->setProperty("_custom_Description__", properties.value(QStringLiteral("customServiceDescription")));
    item->setProperty("_custom_Type__", type);
}

void KAppMainWindow::onSendStartInfoColl()
{
    kesstools::app::sendInfoCollection(QStringLiteral("vas_matrix_start"), {},
                                       kesstools::app::CollectRole | kesstools::app::CollectSource
                                           | kesstools::app::CollectAppName | kesstools::app::CollectPluginVersion);
}

void KAppMainWindow::onClose()
{
    close();
}

QWidget *KAppMainWindow::requestWidget(int kind)
{
    if (!adapterReady(QStringLiteral("IApplicationAdapter is not ready.")))
        return nullptr;
    QVariantList results;
    if (!GetApplicationAdapter()->call(Method_RequestWidget, {kind, QVariant::fromValue<QWidget *>(this)}, results))
        return nullptr;
    QWidget *widget = results.value(0).value<QWidget *>();
    if (widget)
        widget->show();
    return widget;
}

void KAppMainWindow::onDiagnoseShortcut()
{
    requestWidget(1);
}

void KAppMainWindow::onFeedbackShortcut()
{
    requestWidget(2);
}

QString KAppMainWindow::appId()
{
    const SandboxInfo info = sandboxInfo();
    return info.appId;
}

QString KAppMainWindow::appName()
{
    return sandboxInfo().displayName;
}

QString KAppMainWindow::appSource()
{
    return sandboxInfo().source;
}

SandboxInfo KAppMainWindow::sandboxInfo()
{
    KEssSandbox *sandbox = GetSandbox();
    if (!sandbox) {
        KESS_CRITICAL(QStringLiteral("Sandbox is not ready!"));
        return SandboxInfo();
    }
    return sandbox->info();
}

QString KAppMainWindow::pluginVersion()
{
    return kesstools::app::pluginVersion();
}

QMap<QString, QString> KAppMainWindow::dependenciesVersion()
{
    return kesstools::app::dependenciesVersion();
}
