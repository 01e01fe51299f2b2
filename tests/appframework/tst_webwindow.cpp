#include "ktestmain.h"
#include "logrecorder.h"
#include "ktestweb.h"

#include <kcloudserviceproxy.h>
#include <kdcinfo.h>
#include <kessapplicationadapter.h>
#include <kessjsapi.h>
#include <kesslaunchinfo.h>
#include <kesssandbox.h>
#include <kesswidget_feedback.h>
#include <khostconfig.h>
#include <klitestyle.h>
#include <krtservices.h>
#include <kwebclientwidget.h>
#include <kwebloadingpage.h>
#include <kwebmainwindow.h>
#include <kwebnetworkerrpage.h>
#include <kxapplication.h>
#include <kxfeedbackstandin.h>
#include <kxwebviewcontainer.h>

#include <QElapsedTimer>
#include <QRegularExpression>
#include <algorithm>
#include <QJsonDocument>
#include <QTemporaryDir>

namespace {

// Listens for the close question when told to, and counts how often it was asked.
const char *const kPage = R"(<html><head><script src="qrc:/zdaliteweb/js/bridge.js"></script><script>
window.asked = 0;
kxBridge.on('onQueryClose', function () { window.asked++; });
function listen() {
  kxBridge.call('', 'init', {}).then(function () {
    return kxBridge.call('event', 'addEventListener', {event: 'builtin.event.queryclose', callback: 'onQueryClose'});
  });
}
if (location.hash === '#listen') listen();
</script></head><body>page</body></html>)";

using ktest::cookieHeader;

QStringList feedbackLines()
{
    QFile file(KxFeedbackStandIn::filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool waitLoaded(KWebMainwindow &window, int ms = 15000)
{
    return QTest::qWaitFor([&]() { return window.webClient() && window.webClient()->isPageLoaded(); }, ms);
}

QVariant pageValue(KWebMainwindow &window, const QString &script)
{
    return window.webClient()->container()->runJavaScript(script);
}

// The widget as painted, one pixel per logical pixel whatever the display's scale.
QImage logicalGrab(QWidget &widget)
{
    return widget.grab().toImage().scaled(widget.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

int coloured(const QImage &image, const QRect &area, const QColor &background)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.valid(x, y) && image.pixelColor(x, y) != background;
    return count;
}

void savePicture(QWidget &widget, const QString &name)
{
    const QPixmap picture = widget.grab();
    picture.save(ktest::artifactPath(QStringLiteral("%1-x%2.png").arg(name).arg(picture.devicePixelRatioF())));
}

} // namespace

class TestWebWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QUrl m_page;
    std::unique_ptr<KEssApplicationAdapter> m_adapter;
    std::unique_ptr<LogRecorder> m_log;
    ktest::TinyHttpServer m_server;

    void setApplication(const QVariantMap &meta)
    {
        const QString metaPath = m_dir.filePath(QStringLiteral("meta.json"));
        QVERIFY(ktest::writeText(metaPath, QJsonDocument(QJsonObject::fromVariantMap(meta)).toJson()));
        const QVariantMap launch{{QStringLiteral("appId"), QStringLiteral("export_photo")},
                                 {QStringLiteral("src"), QStringLiteral("unknow")},
                                 {QStringLiteral("entry"), QVariant::fromValue(PairString(QStringLiteral("ktavro"), m_dir.path()))},
                                 {QStringLiteral("meteFilePath"), metaPath}};
        SandboxInfo info;
        QVariantList none;
        QVERIFY(m_adapter->call(Method_SetApplication, {launch, QVariant::fromValue(&info)}, none));
        info.dependencies = {{QStringLiteral("kappessbuiltinjsapi"), QStringLiteral(KTAVRO_BUILTIN_JSAPI)}};
        GetSandbox()->setInfo(info);
    }

    QWidget *requestFeedback(QWidget *parent = nullptr)
    {
        QVariantList arguments{2}, results;
        if (parent)
            arguments << QVariant::fromValue(parent);
        if (!m_adapter->call(Method_RequestWidget, arguments, results) || results.isEmpty())
            return nullptr;
        return results.first().value<QWidget *>();
    }

private slots:
    void initTestCase()
    {
        m_page = QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("page.html")));
        QVERIFY(ktest::writeText(m_page.toLocalFile(), kPage));
        QVERIFY(m_server.isListening());

        m_adapter = std::make_unique<KEssApplicationAdapter>();
        m_log = std::make_unique<LogRecorder>(m_adapter.get());
        CreateSandbox(SandboxInfo());
        setApplication({{QStringLiteral("applicationName"), QStringLiteral("Export")},
                        {QStringLiteral("UrlID"), QStringLiteral("export_photo_url")}});
        KEssWidget_Feedback::registerWithAdapter();
        KCloudServiceProxy::start();
    }

    void cleanup()
    {
        KCloudServiceProxy::instance()->setLogined(false);
        KLiteStyle::setScaleFactor(1.0);
        GetSandbox()->setValue(QStringLiteral("FeedbackDebugUrl"), QString());
        GetSandbox()->setValue(QStringLiteral("ShowDebuggerWhenStartup"), false);
    }

    void cleanupTestCase()
    {
        KEssApplicationAdapter::setWidgetFactory(2, nullptr);
        m_log.reset();
        m_adapter.reset();
        DestroySandbox();
    }

    // The spinner turns by its step on every tick of its own timer, wraps at a full turn and
    // rests while the page is hidden.
    void loadingPageTurnsOnlyWhileShown()
    {
        KWebLoadingPage page;
        page.resize(300, 200);
        auto *timer = page.findChild<QTimer *>();
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 27);
        QVERIFY(!page.isTurning());
        QList<int> angles;
        connect(timer, &QTimer::timeout, &page, [&]() { angles << page.angle(); });
        page.show();
        QVERIFY(page.isTurning());
        QTRY_VERIFY_WITH_TIMEOUT(angles.size() >= 40, 10000);
        for (int i = 1; i < angles.size(); ++i)
            QCOMPARE(angles.at(i), (angles.at(i - 1) + 10) % 360);
        page.hide();
        QVERIFY(!page.isTurning());
        const int rested = page.angle();
        QTest::qWait(120);
        QCOMPARE(page.angle(), rested);
        page.show();
        QVERIFY(page.isTurning());
    }

    // The progress line covers its share of the width in the progress colour; the spinner
    // sits at 0.45 of the free height and scales with the display.
    void loadingPagePaintsProgressAndSpinner_data()
    {
        QTest::addColumn<int>("progress");
        QTest::addColumn<int>("painted");
        QTest::addColumn<double>("scale");
        QTest::newRow("none") << 0 << 0 << 1.0;
        QTest::newRow("two fifths") << 40 << 160 << 1.0;
        QTest::newRow("all") << 100 << 400 << 1.0;
        QTest::newRow("over all is all") << 150 << 400 << 1.0;
        QTest::newRow("below none is none") << -20 << 0 << 1.0;
        QTest::newRow("doubled display") << 50 << 200 << 2.0;
    }

    void loadingPagePaintsProgressAndSpinner()
    {
        QFETCH(int, progress);
        QFETCH(int, painted);
        QFETCH(double, scale);
        KLiteStyle::setScaleFactor(scale);
        KWebLoadingPage page;
        page.resize(400, 300);
        page.setProgress(progress);
        const QImage image = logicalGrab(page);
        const QColor line(0x8B97AF);
        QCOMPARE(image.pixelColor(0, 0) == line, painted > 0);
        if (painted > 0)
            QCOMPARE(image.pixelColor(painted - 1, 0), line);
        if (painted < 400)
            QVERIFY(image.pixelColor(painted, 0) != line);
        const QRect spinner = page.spinnerRect();
        QCOMPARE(spinner.size(), QSize(56, 56) * scale);
        const int block = spinner.height() + int(12 * scale) + page.fontMetrics().height();
        QCOMPARE(spinner.top(), int((300 - block) * 0.45));
        QVERIFY(coloured(image, spinner, Qt::white) > spinner.width()); // the arc is drawn
        QCOMPARE(coloured(image, spinner.adjusted(spinner.width() / 3, spinner.height() / 3, -spinner.width() / 3,
                                                  -spinner.height() / 3),
                          Qt::white),
                 0); // and it is a ring, not a blot
    }

    void errorPageShowsPictureAndText()
    {
        KWebNetworkErrPage page;
        page.resize(400, 300);
        const QImage image = logicalGrab(page);
        QCOMPARE(page.text(), QStringLiteral("Loading failed, please try again later"));
        QVERIFY(coloured(image, page.pictureRect(), Qt::white) > 50);
        QVERIFY(coloured(image, page.textRect(), Qt::white) > 50);
        QCOMPARE(coloured(image, QRect(0, 0, 400, page.pictureRect().top()), Qt::white), 0);
    }

    // A page that cannot be had, for whatever reason, leaves the error page, not a blank view.
    void unloadablePageShowsTheErrorPage_data()
    {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<bool>("ok");
        QTest::newRow("local page") << m_page << true;
        QTest::newRow("served page") << m_server.url(QStringLiteral("/ok")) << true;
        QTest::newRow("server says not found") << m_server.url(QStringLiteral("/gone")) << false;
        QTest::newRow("nobody listening") << QUrl(QStringLiteral("http://127.0.0.1:1/")) << false;
        QTest::newRow("missing file") << QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("none.html"))) << false;
    }

    void unloadablePageShowsTheErrorPage()
    {
        QFETCH(QUrl, url);
        QFETCH(bool, ok);
        KWebMainwindow window;
        window.setStartUrl(url);
        window.resize(500, 400);
        window.show();
        QVERIFY(window.webClient());
        QSignalSpy loaded(window.webClient(), &KWebClientWidget::pageLoaded);
        QVERIFY(loaded.wait(15000));
        QCOMPARE(loaded.first().first().toBool(), ok);
        QCOMPARE(window.webClient()->currentPage(), ok ? KWebClientWidget::Page::Web : KWebClientWidget::Page::Error);
        QVERIFY(window.webClient()->errorPage()->isVisible() != ok);
        QVERIFY(!window.webClient()->loadingPage()->isTurning());
    }

    // The page decides about a close only while it is there and listening.
    void closeIsHandedToAListeningPage_data()
    {
        QTest::addColumn<bool>("listen");
        QTest::addColumn<QString>("then");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("asked");
        QTest::newRow("silent page") << false << "" << true << 0;
        QTest::newRow("listening page") << true << "" << false << 1;
        QTest::newRow("listening page agrees") << true << "confirm" << true << 1;
        QTest::newRow("listening page went away") << true << "navigate" << true << 0;
    }

    void closeIsHandedToAListeningPage()
    {
        QFETCH(bool, listen);
        QFETCH(QString, then);
        QFETCH(bool, closed);
        QFETCH(int, asked);
        KWebMainwindow window;
        QUrl url = m_page;
        if (listen)
            url.setFragment(QStringLiteral("listen"));
        window.setStartUrl(url);
        window.show();
        QVERIFY(waitLoaded(window));
        KEssJsApi *api = window.webClient()->jsApi();
        if (listen)
            QTRY_VERIFY(api->hasEventListener(KWebMainwindow::QueryCloseEvent));
        if (then == QLatin1String("navigate")) {
            QSignalSpy loaded(window.webClient(), &KWebClientWidget::pageLoaded);
            window.webClient()->container()->load(QUrl(QStringLiteral("http://127.0.0.1:1/")));
            QVERIFY(loaded.wait(15000));
            QVERIFY(!api->hasEventListener(KWebMainwindow::QueryCloseEvent));
        }
        m_log->clear();
        QCOMPARE(window.close(), !listen || then == QLatin1String("navigate"));
        if (then == QLatin1String("confirm"))
            window.closeConfirmed();
        QCOMPARE(!window.isVisible(), closed);
        if (then != QLatin1String("navigate")) {
            QTRY_COMPARE(pageValue(window, QStringLiteral("window.asked")).toInt(), asked);
            QCOMPARE(m_log->has(QStringLiteral("builtin.event.queryclose event has been added")), asked > 0);
        }
    }

    // The login goes with the start page only where the application asks for it; the
    // feedback window always tells where it was opened from.
    void startPageGetsItsCookies_data()
    {
        QTest::addColumn<bool>("feedback");
        QTest::addColumn<bool>("autoCookies");
        QTest::addColumn<bool>("logged");
        QTest::addColumn<QString>("cookies");
        QTest::newRow("asked, logged in") << false << true << true << "vyx_sid=S1";
        QTest::newRow("asked, logged out") << false << true << false << "";
        QTest::newRow("not asked") << false << false << true << "";
        QTest::newRow("feedback, logged in") << true << false << true << "from=matrix_assistmenu; vyx_sid=S1";
        QTest::newRow("feedback, logged out") << true << false << false << "from=matrix_assistmenu";
    }

    void startPageGetsItsCookies()
    {
        QFETCH(bool, feedback);
        QFETCH(bool, autoCookies);
        QFETCH(bool, logged);
        QFETCH(QString, cookies);
        setApplication({{QStringLiteral("autoCookies"), autoCookies}, {QStringLiteral("UrlID"), QStringLiteral("export_photo_url")}});
        KCloudServiceProxy::instance()->setSessionId(QStringLiteral("S1"));
        KCloudServiceProxy::instance()->setLogined(logged);
        const QUrl url = m_server.url(QStringLiteral("/ok"));
        std::unique_ptr<KWebMainwindow> window;
        if (feedback) {
            GetSandbox()->setValue(QStringLiteral("FeedbackDebugUrl"), url.toString());
            window = std::make_unique<KEssWidget_Feedback>();
        } else {
            window = std::make_unique<KWebMainwindow>();
            window->setStartUrl(url);
        }
        m_server.requests.clear();
        window->show();
        QVERIFY(waitLoaded(*window));
        const QStringList pages = m_server.requests.filter(QRegularExpression(QStringLiteral("^GET /ok ")));
        QCOMPARE(pages.size(), 1);
        QStringList sent = cookieHeader(pages.first()).split(QStringLiteral("; "), Qt::SkipEmptyParts);
        sent.sort();
        QCOMPARE(sent.join(QStringLiteral("; ")), cookies);
        // The login is not the page's to read.
        QVERIFY(!pageValue(*window, QStringLiteral("document.cookie")).toString().contains(QLatin1String("vyx_sid")));
    }

    void debuggerOpensWhenAsked()
    {
        GetSandbox()->setValue(QStringLiteral("ShowDebuggerWhenStartup"), true);
        KWebMainwindow window;
        window.setStartUrl(m_page);
        window.show();
        QVERIFY(waitLoaded(window));
        QVERIFY(window.webClient()->container()->isDebuggerEnabled());
        const QWidgetList windows = QApplication::topLevelWidgets();
        QVERIFY(std::any_of(windows.begin(), windows.end(),
                            [](QWidget *w) { return w->inherits("QWebInspector") && w->isVisible(); }));
        for (QWidget *w : windows) {
            if (w->inherits("QWebInspector"))
                w->close();
        }
    }

    // Only web and built-in addresses may replace the feedback application.
    void feedbackStartAddress_data()
    {
        QTest::addColumn<QString>("debugUrl");
        QTest::addColumn<QString>("expected");
        const QString app = krt::product::feedbackAppUrl(QStringLiteral("export_photo_url"));
        QTest::newRow("application") << "" << app;
        QTest::newRow("debug server") << "http://127.0.0.1:5/feedback" << "http://127.0.0.1:5/feedback";
        QTest::newRow("built-in page") << "qrc:/zdaliteweb/pages/about.html" << "qrc:/zdaliteweb/pages/about.html";
        QTest::newRow("local file") << "file:///etc/passwd" << app;
        QTest::newRow("script") << "javascript:alert(1)" << app;
        QTest::newRow("not an address") << "  feedback  " << app;
    }

    void feedbackStartAddress()
    {
        QFETCH(QString, debugUrl);
        QFETCH(QString, expected);
        GetSandbox()->setValue(QStringLiteral("FeedbackDebugUrl"), debugUrl);
        QCOMPARE(KEssWidget_Feedback::startAddress(), QUrl(expected));
        QVERIFY(expected.contains(QLatin1String("appid=export_photo_url")) || !debugUrl.trimmed().isEmpty());
    }

    // Adapter method 14 kind 2 → the page loads → it gets the window's geometry → a submission
    // reaches the stand-in → the page's close button closes and deletes the window.
    void feedbackRoundTrip()
    {
        setApplication({{QStringLiteral("UrlID"), QStringLiteral("export_photo_url")}});
        KxApplication::coreApplication()->getDcInfo()->clearEvents();
        const int linesBefore = feedbackLines().size();
        QWidget owner;
        QPointer<QWidget> widget = requestFeedback(&owner);
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget(), &owner);
        QVERIFY(widget->isWindow() && widget->isVisible());
        QVERIFY(widget->testAttribute(Qt::WA_DeleteOnClose));
        auto *window = qobject_cast<KEssWidget_Feedback *>(widget.data());
        QVERIFY(window);
        QVERIFY(waitLoaded(*window));
        savePicture(*window, QStringLiteral("feedback-window"));

        QTRY_VERIFY(pageValue(*window, QStringLiteral("!!window.kxFeedbackGeometry")).toBool());
        const QJsonObject geometry = QJsonDocument::fromJson(
            pageValue(*window, QStringLiteral("JSON.stringify(window.kxFeedbackGeometry)")).toString().toUtf8()).object();
        QCOMPARE(geometry.value(QStringLiteral("left")).toInt(), window->frameGeometry().left());
        QCOMPARE(geometry.value(QStringLiteral("width")).toInt(), window->frameGeometry().width());
        QCOMPARE(geometry.value(QStringLiteral("height")).toInt(), window->frameGeometry().height());
        QCOMPARE(geometry.value(QStringLiteral("result")).toBool(), true);

        pageValue(*window, QStringLiteral("document.getElementById('content').value = 'The export is \u00e9 slow';"
                                          "document.getElementById('category').value = 'suggestion';"
                                          "document.getElementById('submit').click();"));
        QTRY_COMPARE(feedbackLines().size(), linesBefore + 1);
        const QJsonObject line = QJsonDocument::fromJson(feedbackLines().last().toUtf8()).object();
        QCOMPARE(line.value(QStringLiteral("content")).toString(), QStringLiteral("The export is \u00e9 slow"));
        QVERIFY(!line.value(QStringLiteral("time")).toString().isEmpty());
        QCOMPARE(line.value(QStringLiteral("category")).toString(), QStringLiteral("suggestion"));
        QCOMPARE(line.value(QStringLiteral("appid")).toString(), QStringLiteral("export_photo_url"));
        QCOMPARE(line.value(QStringLiteral("from")).toString(), QStringLiteral("matrix_assistmenu"));

        const QList<KDcEvent> events = KxApplication::coreApplication()->getDcInfo()->events();
        const auto start = std::find_if(events.begin(), events.end(),
                                        [](const KDcEvent &e) { return e.name == QLatin1String("vas_feedback_start"); });
        QVERIFY(start != events.end());
        QCOMPARE(start->fields.value(QStringLiteral("from")), QStringLiteral("matrix_assistmenu"));
        for (const char *field : {"appname", "role", "src", "plugin_version"})
            QVERIFY2(start->fields.contains(QLatin1String(field)), field);

        pageValue(*window, QStringLiteral("document.getElementById('close').click()"));
        QTRY_VERIFY(widget.isNull());
    }

    // The window's own close button closes it even while its page listens for the question;
    // a page's bad arguments never reach the stand-in.
    void feedbackRefusesBadSubmissionsAndClosesByButton_data()
    {
        QTest::addColumn<QJsonObject>("args");
        QTest::addColumn<QString>("code");
        QTest::newRow("empty feedback") << QJsonObject{{"category", "other"}, {"content", "   "}} << "badArgument";
        QTest::newRow("too long") << QJsonObject{{"category", "other"}, {"content", QString(5001, 'x')}} << "badArgument";
        QTest::newRow("no category") << QJsonObject{{"content", "x"}} << "badArgument";
        QTest::newRow("not a text") << QJsonObject{{"category", "other"}, {"content", 5}} << "badArgument";
        QTest::newRow("unknown argument") << QJsonObject{{"category", "other"}, {"content", "x"}, {"path", "/etc"}}
                                          << "badArgument";
    }

    void feedbackRefusesBadSubmissionsAndClosesByButton()
    {
        QFETCH(QJsonObject, args);
        QFETCH(QString, code);
        const int linesBefore = feedbackLines().size();
        QPointer<QWidget> widget = requestFeedback();
        auto *window = qobject_cast<KEssWidget_Feedback *>(widget.data());
        QVERIFY(window && waitLoaded(*window));
        pageValue(*window, QStringLiteral("window.out = null; kxBridge.call('thisapplication', 'submit', %1)"
                                          ".then(function () { window.out = 'ok'; }, function (e) { window.out = e.code; });")
                               .arg(QString::fromUtf8(QJsonDocument(args).toJson(QJsonDocument::Compact))));
        QTRY_COMPARE(pageValue(*window, QStringLiteral("window.out")).toString(), code);
        QCOMPARE(feedbackLines().size(), linesBefore);

        window->webClient()->jsApi()->addEventListener(KWebMainwindow::QueryCloseEvent, QStringLiteral("cb"), false);
        auto *button = window->findChild<KEssWidget_CloseButton *>();
        QVERIFY(button && button->isVisible());
        QCOMPARE(button->geometry().topRight(), window->webClient()->rect().topRight());
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(widget.isNull());
    }

    // Opening the feedback window leaves the application's main window where it was. The main
    // window goes while its page may still be loading.
    void feedbackDoesNotTakeTheMainWindowsPlace()
    {
        KWebMainwindow main;
        main.setStartUrl(m_page);
        main.show();
        QPointer<QWidget> feedback = requestFeedback();
        QVERIFY(feedback);
        QVariantList none;
        QVERIFY(m_adapter->call(Method_CloseMainWindow, {}, none));
        QVERIFY(!main.isVisible());
        QVERIFY(feedback && feedback->isVisible());
        feedback->close();
        QTRY_VERIFY(feedback.isNull());
    }

    void pagesAsAPersonSeesThem()
    {
        for (double scale : {1.0, 2.0}) {
            KLiteStyle::setScaleFactor(scale);
            const QString suffix = scale > 1 ? QStringLiteral("-dpi2") : QString();
            KWebLoadingPage loading;
            loading.resize(QSize(480, 360) * scale);
            loading.setProgress(35);
            loading.show();
            QTest::qWait(200);
            savePicture(loading, QStringLiteral("web-loading") + suffix);
            KWebNetworkErrPage error;
            error.resize(QSize(480, 360) * scale);
            savePicture(error, QStringLiteral("web-error") + suffix);
        }
        QVERIFY(QFileInfo::exists(ktest::artifactPath(QStringLiteral("web-loading-x%1.png").arg(qApp->devicePixelRatio()))));
    }

    // Adapter call to a loaded feedback page, 20 times.
    void feedbackOpensQuickly()
    {
        QVector<qint64> times;
        for (int i = 0; i < 20; ++i) {
            QElapsedTimer clock;
            clock.start();
            QPointer<QWidget> widget = requestFeedback();
            auto *window = qobject_cast<KWebMainwindow *>(widget.data());
            QVERIFY(window && waitLoaded(*window, 10000));
            times << clock.elapsed();
            window->close();
            QTRY_VERIFY(widget.isNull());
        }
        std::sort(times.begin(), times.end());
        const qint64 median = (times.at(9) + times.at(10)) / 2;
        qInfo("feedback window: request to loaded page, median %lld ms (min %lld, max %lld)", median, times.first(),
              times.last());
        QVERIFY2(median < 1500, qPrintable(QString::number(median)));
    }
};

KTAVRO_TEST_MAIN(TestWebWindow)
#include "tst_webwindow.moc"
