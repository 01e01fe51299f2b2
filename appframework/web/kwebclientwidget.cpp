#include "kwebclientwidget.h"

#include "kessjsapi.h"
#include "kesslog.h"
#include "kesssandbox.h"
#include "kesstools.h"
#include "kwebclientprivatepane.h"
#include "kwebloadingpage.h"
#include "kwebnetworkerrpage.h"

#include <kcloudserviceproxy.h>
#include <kxwebviewcontainer.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QStackedLayout>
#include <QTimer>

namespace {
const QString kSessionCookie = QStringLiteral("vyx_sid");
} // namespace

bool kWebCookieTarget(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

KWebClientWidget::KWebClientWidget(QWidget *parent)
    : KAppClientWidget(parent)
    , m_pane(new KWebClientPrivatePane(this, this))
    , m_loading(new KWebLoadingPage(this))
    , m_error(new KWebNetworkErrPage(this))
    , m_stack(new QStackedLayout(this))
{
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_loading);
    m_stack->addWidget(m_pane);
    m_stack->addWidget(m_error);
    m_stack->setCurrentWidget(m_loading);
    connect(m_pane, &KWebClientPrivatePane::browserCreated, this, &KWebClientWidget::onBrowserCreated);
    if (KCloudServiceProxy *cloud = KCloudServiceProxy::instance())
        connect(cloud, &KCloudServiceProxy::loginStatusChanged, this, &KWebClientWidget::onLoginStatusChanged);
}

// A page still loading finishes while the browser is torn down; its last signals must not
// reach pages of this widget that are already gone.
KWebClientWidget::~KWebClientWidget()
{
    if (KxWebViewContainer *browser = container()) {
        browser->disconnect(this);
        browser->disconnect(m_loading);
    }
}

void KWebClientWidget::setStartUrl(const QUrl &url)
{
    m_startUrl = url;
}

void KWebClientWidget::start()
{
    m_pane->init(m_startUrl);
}

KWebClientWidget::Page KWebClientWidget::currentPage() const
{
    if (m_stack->currentWidget() == m_pane)
        return Page::Web;
    return m_stack->currentWidget() == m_error ? Page::Error : Page::Loading;
}

KxWebViewContainer *KWebClientWidget::container() const
{
    return m_pane->container();
}

KEssJsApi *KWebClientWidget::jsApi() const
{
    return m_pane->jsApi();
}

KEssJsApi *KWebClientWidget::createJsApi()
{
    return new KEssJsApi;
}

QList<QNetworkCookie> KWebClientWidget::loginCookies()
{
    const KCloudServiceProxy *cloud = KCloudServiceProxy::instance();
    if (!cloud || !cloud->isLogined() || cloud->sessionId().isEmpty())
        return {};
    QNetworkCookie session(kSessionCookie.toUtf8(), cloud->sessionId().toUtf8());
    session.setPath(QStringLiteral("/"));
    session.setHttpOnly(true); // the page has no business reading the login
    return {session};
}

QList<QNetworkCookie> KWebClientWidget::startCookies() const
{
    if (!kesstools::app::getMetaValue(QStringLiteral("autoCookies")).toBool())
        return {};
    return loginCookies();
}

void KWebClientWidget::showEvent(QShowEvent *event)
{
    KAppClientWidget::showEvent(event);
    start();
}

void KWebClientWidget::onBrowserCreated()
{
    const KEssSandbox *sandbox = GetSandbox();
    if (!sandbox || !sandbox->value(QStringLiteral("ShowDebuggerWhenStartup")).toBool())
        return;
    container()->setDebuggerEnabled(true);
    container()->showDebugger();
}

// The blank page made the browser; the start page follows with its cookies in place.
void KWebClientWidget::loadStartPage()
{
    const QList<QNetworkCookie> cookies = startCookies();
    if (!cookies.isEmpty() && kWebCookieTarget(m_startUrl))
        container()->setCookies(cookies, m_startUrl);
    connect(container(), &KxWebViewContainer::loadProgress, m_loading, &KWebLoadingPage::setProgress);
    connect(container(), &KxWebViewContainer::loadStarted, this, [this]() {
        // Listeners named callbacks of the page that is going away.
        if (jsApi())
            jsApi()->clearEventListeners();
        m_pageLoaded = false;
    });
    container()->load(m_startUrl);
}

void KWebClientWidget::onLoadFinished(bool ok)
{
    m_lastOk = ok;
}

void KWebClientWidget::onLoadFinishedWithDetail(bool isMainFrame, int frameID, const QString &url, int httpStatusCode)
{
    Q_UNUSED(frameID);
    if (!isMainFrame)
        return;
    if (!m_blankDone) { // not from inside the browser's own signal
        m_blankDone = true;
        QTimer::singleShot(0, this, &KWebClientWidget::loadStartPage);
        return;
    }
    if (!m_lastOk)
        KESS_WARNING(QStringLiteral("Cannot load \"%1\" (HTTP status %2).").arg(url).arg(httpStatusCode));
    m_pageLoaded = m_lastOk;
    showPage(m_lastOk ? Page::Web : Page::Error);
    emit pageLoaded(m_lastOk);
}

void KWebClientWidget::showPage(Page page)
{
    QWidget *widget = page == Page::Web ? static_cast<QWidget *>(m_pane)
                                        : page == Page::Error ? static_cast<QWidget *>(m_error) : m_loading;
    m_stack->setCurrentWidget(widget);
}

void KWebClientWidget::onUserInfoChanged(int what)
{
    KESS_DEBUG(QStringLiteral("User info changed: %1").arg(what));
}

void KWebClientWidget::onLoginStatusChanged()
{
    const KCloudServiceProxy *cloud = KCloudServiceProxy::instance();
    const bool logined = cloud && cloud->isLogined();
    if (jsApi())
        jsApi()->broadcastEvent(logined ? QStringLiteral("builtin.event.login") : QStringLiteral("builtin.event.logout"),
                                QString());
}

void KWebClientWidget::onPluginManagerReady()
{
    KESS_DEBUG(QStringLiteral("Plugin manager ready."));
}

// Only the paths travel; the page cannot read the files through the bridge.
void KWebClientWidget::onDragEnter(const QStringList &files)
{
    if (!jsApi())
        return;
    const QJsonArray paths = QJsonArray::fromStringList(files);
    jsApi()->broadcastEvent(QStringLiteral("builtin.event.dragenter"),
                            QString::fromUtf8(QJsonDocument(paths).toJson(QJsonDocument::Compact)));
}

void KWebClientWidget::onApplicationJsSet(KEssJsApiHandler *handler)
{
    m_appHandler = handler;
}

void KWebClientWidget::onEventListenerAdded(const QString &event, const QString &callback, bool base64)
{
    KESS_DEBUG(QStringLiteral("Listener added: %1 -> %2%3").arg(event, callback, base64 ? QStringLiteral(" (base64)") : QString()));
}
