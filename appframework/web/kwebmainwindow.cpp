#include "kwebmainwindow.h"

#include "iapplicationadapter.h"
#include "kessjsapi.h"
#include "kesslog.h"
#include "kwebclientwidget.h"

#include <kdrawhelper.h>
#include <kframeshadow.h>

#include <QCloseEvent>
#include <QTimer>

const QString KWebMainwindow::QueryCloseEvent = QStringLiteral("builtin.event.queryclose");

namespace {
const int kStartInfoDelayMs = 2000;
} // namespace

KWebMainwindow::KWebMainwindow(QWidget *parent)
    : KAppMainWindow(parent)
{
}

KWebMainwindow::~KWebMainwindow()
{
    delete m_outerShadow.data();
}

void KWebMainwindow::setStartUrl(const QUrl &url)
{
    m_startUrl = url;
    if (KWebClientWidget *client = webClient())
        client->setStartUrl(url);
}

KWebClientWidget *KWebMainwindow::webClient() const
{
    return qobject_cast<KWebClientWidget *>(clientWidget());
}

QString KWebMainwindow::themeClassName() const
{
    const QString named = property(KDrawHelper::ObjectThemeClassName).toString();
    return named.isEmpty() ? QString::fromLatin1(metaObject()->className()) : named;
}

// As the framework's other windows, but the page draws to the edge: the shadow is a window
// of its own (afterInitUi), not painted around a translucent frame.
void KWebMainwindow::beforeInitUi()
{
    if (adapterReady(QStringLiteral("IApplicationAdapter is not ready."))) {
        QVariantList none;
        GetApplicationAdapter()->call(Method_InstallDefaultTheme, {}, none);
    }
    KFrameWindow::beforeInitUi();
    if (m_started)
        return;
    m_started = true;
    setBorderVisible(true);
    QTimer::singleShot(kStartInfoDelayMs, this, &KAppMainWindow::onSendStartInfoColl);
}

void KWebMainwindow::afterInitUi()
{
    if (isApplicationMainWindow())
        KAppMainWindow::afterInitUi();
    if (!m_outerShadow)
        m_outerShadow = new KFrameOuterShadow(this, themeClassName() + QStringLiteral("-Shadow"), isResizable());
}

KFrameClientWidget *KWebMainwindow::createClientWidget()
{
    KWebClientWidget *client = createWebClient();
    client->setStartUrl(m_startUrl);
    return client;
}

KWebClientWidget *KWebMainwindow::createWebClient()
{
    return new KWebClientWidget(this);
}

// Only a page that is there and listening can answer; any other close goes through, so a
// window whose page failed or went away can always be closed.
bool KWebMainwindow::pageWantsToAsk() const
{
    const KWebClientWidget *client = webClient();
    const KEssJsApi *api = client ? client->jsApi() : nullptr;
    return !m_confirmed && api && client->isPageLoaded() && api->hasEventListener(QueryCloseEvent);
}

void KWebMainwindow::closeEvent(QCloseEvent *event)
{
    if (!pageWantsToAsk()) {
        KAppMainWindow::closeEvent(event);
        return;
    }
    KESS_DEBUG(QueryCloseEvent + QStringLiteral(" event has been added, so it will broadcast to these events."));
    webClient()->jsApi()->broadcastEvent(QueryCloseEvent, QString());
    event->ignore();
}

void KWebMainwindow::closeConfirmed()
{
    m_confirmed = true;
    close();
    m_confirmed = false; // shown again, or refused elsewhere: the page is asked next time
}
