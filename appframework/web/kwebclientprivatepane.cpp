#include "kwebclientprivatepane.h"

#include "kessjsapi.h"
#include "kesslog.h"
#include "kwebclientwidget.h"

#include <kxwebviewcontainer.h>

#include <QVBoxLayout>

KWebClientPrivatePane::KWebClientPrivatePane(KWebClientWidget *client, QWidget *parent)
    : QWidget(parent)
    , m_client(client)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

// The object goes before the container so no page call reaches a half-destroyed object.
KWebClientPrivatePane::~KWebClientPrivatePane()
{
    if (m_container)
        m_container->publishObject(QString(), nullptr);
    delete m_jsApi.data();
}

void KWebClientPrivatePane::init(const QUrl &startUrl)
{
    if (m_initialised)
        return;
    m_initialised = true;
    m_startUrl = startUrl;
    m_container = new KxWebViewContainer(this, 0, QStringLiteral("kapp_essential"));
    layout()->addWidget(m_container);
    connect(m_container, &KxWebViewContainer::browserCreated, this, &KWebClientPrivatePane::onBrowserCreated);
    connect(m_container, &KxWebViewContainer::loadFinished, m_client, &KWebClientWidget::onLoadFinished);
    connect(m_container, &KxWebViewContainer::loadFinishedWithDetail, m_client,
            &KWebClientWidget::onLoadFinishedWithDetail);
    setUpJsApi();
    m_container->createBrowser(QUrl(QStringLiteral("about:blank")));
}

void KWebClientPrivatePane::setUpJsApi()
{
    if (!m_jsApi) {
        m_jsApi = m_client->createJsApi();
        m_container->setAcceptFileDrops(!m_jsApi.isNull());
    }
    if (!m_jsApi) {
        KESS_CRITICAL(QStringLiteral("must create a javascript object"));
        return;
    }
    KEssJsApi *api = m_jsApi.data();
    connect(api, &KEssJsApi::dragEnter, m_client, &KWebClientWidget::onDragEnter);
    connect(api, &KEssJsApi::applicationJsSet, m_client, &KWebClientWidget::onApplicationJsSet);
    connect(api, &KEssJsApi::eventListenerAdded, m_client, &KWebClientWidget::onEventListenerAdded);
    const QString appProfile = m_client->applicationProfile();
    if (!appProfile.isEmpty())
        api->initProfiles(QString(), appProfile);
    m_container->publishObject(QStringLiteral("qwebkit"), api);
}

void KWebClientPrivatePane::onBrowserCreated()
{
    emit browserCreated();
}
