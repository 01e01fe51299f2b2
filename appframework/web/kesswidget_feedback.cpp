#include "kesswidget_feedback.h"

#include "kessapplicationadapter.h"
#include "kessjsapi.h"
#include "kesslog.h"
#include "kesssandbox.h"
#include "kesstools.h"

#include <kdrawhelper.h>
#include <kframetitlebar.h>
#include <klitestyle.h>
#include <krtservices.h>
#include <kxfeedbackstandin.h>

#include <QPainter>

#include <memory>
#include <QTimer>

namespace {

const QSize kWindowSize(640, 620);
const QSize kCloseButtonSize(40, 32);

// A debugging address may point at a web server or a page built in; a local file could
// be anything on the machine, and the page gets the bridge.
bool acceptableStartAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid()
        && (scheme == QLatin1String("qrc") || (kWebCookieTarget(url) && !url.host().isEmpty()));
}

QString feedbackAppId()
{
    const QString urlId = kesstools::app::getMetaValue(QStringLiteral("UrlID")).toString();
    if (!urlId.isEmpty())
        return urlId;
    const KEssSandbox *sandbox = GetSandbox();
    return sandbox ? sandbox->info().appId : QString();
}

} // namespace

KEssWidget_Feedback::KEssWidget_Feedback(QWidget *parent, const QString &from)
    : KWebMainwindow(parent)
    , m_from(from)
{
    setWindowTitle(tr("Feedback"));
    resize(KLiteStyle::dpiScaled(kWindowSize));
    setStartUrl(startAddress());
}

QUrl KEssWidget_Feedback::startAddress()
{
    const KEssSandbox *sandbox = GetSandbox();
    if (!sandbox) {
        KESS_CRITICAL(QStringLiteral("Cannot get sandbox. Sandbox should exist."));
        return QUrl(krt::product::feedbackAppUrl(QString()));
    }
    const QString debugUrl = sandbox->value(QStringLiteral("FeedbackDebugUrl")).toString().trimmed();
    if (!debugUrl.isEmpty()) {
        const QUrl url(debugUrl);
        if (acceptableStartAddress(url))
            return url;
        KESS_WARNING(QStringLiteral("FeedbackDebugUrl \"%1\" is not a web address; the feedback application is used.")
                         .arg(debugUrl));
    }
    return QUrl(krt::product::feedbackAppUrl(feedbackAppId()));
}

void KEssWidget_Feedback::registerWithAdapter()
{
    KEssApplicationAdapter::setWidgetFactory(2, [](QWidget *parent) { return new KEssWidget_Feedback(parent); });
}

KWebClientWidget *KEssWidget_Feedback::createWebClient()
{
    return new KEssWidget_Feedback_ClientWidget(m_from, this);
}

void KEssWidget_Feedback::showEvent(QShowEvent *event)
{
    KWebMainwindow::showEvent(event);
    // The page has its own close button; the title bar only carries the title.
    if (titleBar())
        titleBar()->setTitleBarFlags(0);
    if (m_announced)
        return;
    m_announced = true;
    using namespace kesstools::app;
    sendInfoCollection(QStringLiteral("vas_feedback_start"), {{QStringLiteral("from"), m_from}},
                       CollectAppName | CollectRole | CollectSource | CollectPluginVersion);
}

KEssWidget_CloseButton::KEssWidget_CloseButton(QWidget *parent)
    : KLiteIconButton(QStringLiteral("kesswidget_accountdiagnosewizard_close_normal;"
                                     "kesswidget_accountdiagnosewizard_close_hover;"
                                     "kesswidget_accountdiagnosewizard_close_click"),
                      parent)
{
    setObjectName(QStringLiteral("KEssWidget_CloseButton"));
    setFixedButtonSize(kCloseButtonSize);
    setCursor(Qt::PointingHandCursor);
    setToolTip(tr("Close"));
}

// The hover and pressed icons are white: they need the close button's red behind them,
// not the light state colour of other icon buttons.
void KEssWidget_CloseButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QStyle::State now = state();
    QColor back;
    if (now & QStyle::State_Sunken)
        back = KDrawHelper::instance()->getColor(objectName(), QStringLiteral("background:pressed"), QColor(0xC50F1F));
    else if (now & QStyle::State_MouseOver)
        back = KDrawHelper::instance()->getColor(objectName(), QStringLiteral("background:hover"), QColor(0xE81123));
    if (back.isValid())
        painter.fillRect(rect(), back);
    const QSize icon = KLiteStyle::dpiScaled(QSize(16, 16));
    const QRect target(QPoint((width() - icon.width()) / 2, (height() - icon.height()) / 2), icon);
    KDrawHelper::instance()->getIcon(currentIconName()).paint(&painter, target);
}

KEssWidget_Feedback_ClientWidget::KEssWidget_Feedback_ClientWidget(const QString &from, KWebMainwindow *window)
    : KWebClientWidget(window)
    , m_from(from)
    , m_window(window)
    , m_close(new KEssWidget_CloseButton(this))
{
    connect(m_close, &QAbstractButton::clicked, window, &KWebMainwindow::closeConfirmed);
    // Whichever page the client shows, the button stays on top of it.
    connect(this, &KWebClientWidget::pageLoaded, m_close, &QWidget::raise);
    m_close->raise();
}

KEssJsApi *KEssWidget_Feedback_ClientWidget::createJsApi()
{
    KEssJsApi *api = KWebClientWidget::createJsApi();
    api->addApplicationFactory(
        std::make_unique<KEssJsApi_ThisApplication1_0KEssWidget_Feedback_API_Factory>(m_window.data(), m_from));
    return api;
}

QList<QNetworkCookie> KEssWidget_Feedback_ClientWidget::startCookies() const
{
    QList<QNetworkCookie> cookies = loginCookies();
    QNetworkCookie from(QByteArrayLiteral("from"), m_from.toUtf8());
    from.setPath(QStringLiteral("/"));
    cookies << from;
    return cookies;
}

void KEssWidget_Feedback_ClientWidget::resizeEvent(QResizeEvent *event)
{
    KWebClientWidget::resizeEvent(event);
    m_close->move(width() - m_close->width(), 0);
    m_close->raise();
}

KEssWidget_Feedback_API::KEssWidget_Feedback_API(KWebMainwindow *window, const QString &from)
    : KxFeedbackJSApiHandler(window)
{
    setSubmissionFields(QJsonObject{{QStringLiteral("from"), from}});
    connect(this, &KxFeedbackJSApiHandler::submitFailed, this,
            [](const QString &error) { KESS_WARNING(QStringLiteral("Feedback not sent: ") + error); });
}

void KEssWidget_Feedback_API::closeWindow(QWidget *window)
{
    if (auto *web = qobject_cast<KWebMainwindow *>(window))
        web->closeConfirmed();
    else
        window->close();
}

KEssJsApi_ThisApplication1_0KEssWidget_Feedback_API_Factory::KEssJsApi_ThisApplication1_0KEssWidget_Feedback_API_Factory(
    KWebMainwindow *window, const QString &from)
    : m_window(window)
    , m_from(from)
{
}

KEssJsApiHandler *KEssJsApi_ThisApplication1_0KEssWidget_Feedback_API_Factory::create(KEssJsApi *api)
{
    Q_UNUSED(api); // the handler needs nothing of the bridge object
    return new KEssWidget_Feedback_API(m_window, m_from);
}
