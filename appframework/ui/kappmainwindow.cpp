#include "kappmainwindow.h"

#include "kapptitlebar.h"
#include "kuserinfopane.h"
#include "iapplicationadapter.h"
#include "kesslog.h"
#include "kesssandbox.h"
#include "kesstools.h"

#include <klitemenu.h>
#include <klitestyle.h>

#include <QPointer>
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
    QTimer::singleShot(2000, this, &KAppMainWindow::onSendStartInfoColl);
}

void KAppMainWindow::afterInitUi()
{
    if (!adapterReady(QStringLiteral("No application is set.")))
        return;
    QVariantList results;
    GetApplicationAdapter()->call(Method_SetMainWindow, {QVariant::fromValue<QWidget *>(this)}, results);
}

KFrameTitleBar *KAppMainWindow::createTitleBar()
{
    auto *bar = new KAppTitleBar(this);
    connect(bar, &KAppTitleBar::menuCreate, this, &KAppMainWindow::menuCreate);
    connect(bar, &KAppTitleBar::menuCreate, this, &KAppMainWindow::onMenuCreated);
    connect(bar, &KAppTitleBar::userInfoPaneCreate, this, &KAppMainWindow::userInfoPaneCreate);
    connect(bar, &KAppTitleBar::actionsInited, this, &KAppMainWindow::titleBarActionsInited);
    return bar;
}

KFrameClientWidget *KAppMainWindow::createClientWidget()
{
    return new KAppClientWidget(this);
}

void KAppMainWindow::adjustWindowFlags()
{
}

void KAppMainWindow::onMenuCreated(KLiteMenu *menu)
{
    d->menu = menu;
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

void KAppMainWindow::onDiagnoseShortcut()
{
}

void KAppMainWindow::onFeedbackShortcut()
{
}

QString KAppMainWindow::appId()
{
    KEssSandbox *sandbox = GetSandbox();
    return sandbox ? sandbox->info().appId : QString();
}

QString KAppMainWindow::appName()
{
    KEssSandbox *sandbox = GetSandbox();
    return sandbox ? sandbox->info().displayName : QString();
}

QString KAppMainWindow::appSource()
{
    KEssSandbox *sandbox = GetSandbox();
    return sandbox ? sandbox->info().source : QString();
}

QString KAppMainWindow::pluginVersion()
{
    return kesstools::app::pluginVersion();
}

QMap<QString, QString> KAppMainWindow::dependenciesVersion()
{
    return kesstools::app::dependenciesVersion();
}
