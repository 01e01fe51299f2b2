#include "kxwebviewcontainer.h"

#include "khostconfig.h"
#include "kxwebviewasynjsobject.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QVBoxLayout>
#include <QWebFrame>
#include <QWebInspector>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>

namespace {

QStringList localFiles(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

QUrl withoutFragment(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveFragment);
}

} // namespace

KxWebViewContainer::KxWebViewContainer(QWidget *parent, int implType, const QString &name)
    : QWidget(parent)
    , m_view(new QWebView(this))
    , m_network(new QNetworkAccessManager(this))
{
    Q_UNUSED(implType); // one implementation here
    setObjectName(name);
    m_network->setCookieJar(new QNetworkCookieJar(m_network));
    m_view->page()->setNetworkAccessManager(m_network);
    m_view->setAcceptDrops(true);
    m_view->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setDebuggerEnabled(KHostConfig::value(QStringLiteral("webDebugger"), false).toBool());

    connect(m_network, &QNetworkAccessManager::finished, this, &KxWebViewContainer::onReplyFinished);
    connect(m_view, &QWebView::loadStarted, this, [this]() {
        m_mainStatus = 0;
        m_mainFailed = false;
        emit loadStarted();
    });
    connect(m_view, &QWebView::loadProgress, this, &KxWebViewContainer::loadProgress);
    connect(m_view, &QWebView::loadFinished, this, &KxWebViewContainer::onLoadFinished);
    connect(m_view->page()->mainFrame(), &QWebFrame::javaScriptWindowObjectCleared,
            this, &KxWebViewContainer::publishToPage);
}

KxWebViewContainer::~KxWebViewContainer()
{
    delete m_inspector.data();
    // The view and the network go with the QWidget part, after this part: a page stopped
    // on the way would otherwise report to a container that is no longer one.
    disconnect(m_view, nullptr, this, nullptr);
    disconnect(m_view->page()->mainFrame(), nullptr, this, nullptr);
    disconnect(m_network, nullptr, this, nullptr);
    delete m_view;
}

void KxWebViewContainer::createBrowser(const QUrl &url)
{
    emit browserCreated();
    load(url);
}

void KxWebViewContainer::load(const QUrl &url)
{
    trust(url);
    m_view->load(url);
}

QUrl KxWebViewContainer::url() const
{
    return m_view->url();
}

QWebView *KxWebViewContainer::webView() const
{
    return m_view;
}

void KxWebViewContainer::setCookies(const QList<QNetworkCookie> &cookies, const QUrl &forUrl)
{
    m_network->cookieJar()->setCookiesFromUrl(cookies, forUrl);
}

QList<QNetworkCookie> KxWebViewContainer::cookies(const QUrl &forUrl) const
{
    return m_network->cookieJar()->cookiesForUrl(forUrl);
}

void KxWebViewContainer::setDebuggerEnabled(bool enabled)
{
    m_view->page()->settings()->setAttribute(QWebSettings::DeveloperExtrasEnabled, enabled);
    if (!enabled && m_inspector)
        m_inspector->hide();
}

bool KxWebViewContainer::isDebuggerEnabled() const
{
    return m_view->page()->settings()->testAttribute(QWebSettings::DeveloperExtrasEnabled);
}

bool KxWebViewContainer::showDebugger()
{
    if (!isDebuggerEnabled())
        return false;
    if (!m_inspector) {
        m_inspector = new QWebInspector;
        m_inspector->setAttribute(Qt::WA_DeleteOnClose);
        m_inspector->setPage(m_view->page());
    }
    m_inspector->show();
    return true;
}

void KxWebViewContainer::publishObject(const QString &name, KxWebViewAsynJSObject *object)
{
    if (m_published)
        disconnect(this, &KxWebViewContainer::dragEnter, m_published, &KxWebViewAsynJSObject::dragEnter);
    m_publishedName = name;
    m_published = object;
    if (object)
        connect(this, &KxWebViewContainer::dragEnter, object, &KxWebViewAsynJSObject::dragEnter);
    publishToPage();
}

QVariant KxWebViewContainer::runJavaScript(const QString &script)
{
    return m_view->page()->mainFrame()->evaluateJavaScript(script);
}

void KxWebViewContainer::setAcceptFileDrops(bool accept)
{
    m_acceptFileDrops = accept;
}

bool KxWebViewContainer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_view)
        return QWidget::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    if (!drop->mimeData()->hasUrls())
        return false; // text drags into the page's fields are the page's business
    const QStringList files = localFiles(drop->mimeData());
    if (type == QEvent::DragEnter && m_acceptFileDrops && !files.isEmpty()) {
        drop->acceptProposedAction();
        emit dragEnter(files);
    } else if (type == QEvent::DragMove && m_acceptFileDrops && !files.isEmpty()) {
        drop->acceptProposedAction();
    } else {
        drop->ignore();
    }
    return true; // a dropped link would otherwise load it into this view
}

void KxWebViewContainer::onReplyFinished(QNetworkReply *reply)
{
    if (reply->request().originatingObject() != m_view->page()->mainFrame())
        return;
    if (withoutFragment(reply->url()) != withoutFragment(m_view->page()->mainFrame()->requestedUrl())
        && withoutFragment(reply->request().url()) != withoutFragment(m_view->page()->mainFrame()->requestedUrl()))
        return;
    m_mainStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_mainFailed = m_mainStatus >= 400;
}

void KxWebViewContainer::onLoadFinished(bool ok)
{
    ok = ok && !m_mainFailed;
    emit loadFinished(ok);
    emit loadFinishedWithDetail(true, 0, m_view->page()->mainFrame()->requestedUrl().toString(), m_mainStatus);
}

void KxWebViewContainer::publishToPage()
{
    QWebFrame *frame = m_view->page()->mainFrame();
    if (!m_published || m_publishedName.isEmpty() || !isTrusted(frame->url().isEmpty() ? frame->requestedUrl() : frame->url()))
        return;
    frame->addToJavaScriptWindowObject(m_publishedName, m_published->transport());
}

bool KxWebViewContainer::isTrusted(const QUrl &url) const
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("qrc") || scheme == QLatin1String("file"))
        return true;
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        && m_trustedHosts.contains(url.host().toLower());
}

void KxWebViewContainer::trust(const QUrl &url)
{
    const QString host = url.host().toLower();
    if (!host.isEmpty() && !m_trustedHosts.contains(host))
        m_trustedHosts << host;
}
