#include "ktestmain.h"
#include "ktestweb.h"

#include <kxfeedbackstandin.h>
#include <kxwebviewasynjsobject.h>
#include <khostconfig.h>
#include <krtservices.h>

#include <QElapsedTimer>
#include <QMimeData>
#include <QWebView>
#include <algorithm>

namespace {

using ktest::jsonOf;
using ktest::loadAndWait;

class TestApi : public KxWebViewAsynJSObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void echo(KxWebViewJSContext &context) { context.publishResult(context.arguments()); }
    Q_INVOKABLE void later(KxWebViewJSContext &context)
    {
        KxWebViewJSContext kept = context;
        QTimer::singleShot(20, this, [kept]() mutable { kept.publishResult(QStringLiteral("later")); });
    }
    Q_INVOKABLE void silent(KxWebViewJSContext &) {}
    Q_INVOKABLE void twice(KxWebViewJSContext &context)
    {
        context.publishResult(1);
        secondAnswerTaken = context.publishResult(2);
    }
    bool secondAnswerTaken = true;
public slots:
    void notInvokable(KxWebViewJSContext &context) { context.publishResult(QStringLiteral("reached")); }
};

class TestHandler : public KxWebViewJSApiHandler
{
    Q_OBJECT
public:
    TestHandler()
    {
        using R = KxWebViewJSArgRule;
        setArgumentRules(QStringLiteral("add"), {R{QStringLiteral("a"), R::Integer, true},
                                                 R{QStringLiteral("b"), R::Integer, true, 0, -100, 100}});
        setArgumentRules(QStringLiteral("name"), {R{QStringLiteral("n"), R::String, true, 8}});
    }
    Q_INVOKABLE void add(KxWebViewJSContext &c) { c.publishResult(c.intArg(QStringLiteral("a")) + c.intArg(QStringLiteral("b"))); }
    Q_INVOKABLE void name(KxWebViewJSContext &c) { c.publishResult(c.stringArg(QStringLiteral("n"))); }
};

} // namespace

class TestWebView : public QObject
{
    Q_OBJECT

    QString m_pagePath;

    struct Bridge
    {
        KxWebViewContainer view;
        TestApi api;
        Bridge() { api.registerHandler(QStringLiteral("thisapplication"), new TestHandler); }
        bool open(const QString &page)
        {
            view.publishObject(QStringLiteral("qwebkit"), &api);
            return loadAndWait(view, QUrl::fromLocalFile(page));
        }
        QJsonObject call(const QString &handler, const QString &method, const QString &args)
        {
            return ktest::callBridge(view, handler, method, QJsonDocument::fromJson(args.toUtf8()).object());
        }
    };

private slots:
    void initTestCase()
    {
        m_pagePath = QDir::tempPath() + QStringLiteral("/bridge-test.html");
        QVERIFY(ktest::writeText(m_pagePath, ktest::bridgePage("window.cb = null;\nkxBridge.on('cb', function (data, base64) { window.cb = {data: data, base64: base64,\n"
                                     "  text: base64 ? kxBridge.decodeBase64(data) : data}; });\n")));
    }

    void pageCallsReachOnlyInvokableMethodsWithGoodArguments_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("expected"); // result as JSON, or an error code

        QTest::newRow("own call") << "" << "echo" << "{\"x\":[1,\"y\"]}" << "{\"x\":[1,\"y\"]}";
        QTest::newRow("handler call") << "thisapplication" << "add" << "{\"a\":2,\"b\":3}" << "5";
        QTest::newRow("answered later") << "" << "later" << "{}" << "\"later\"";
        QTest::newRow("text in range") << "thisapplication" << "name" << "{\"n\":\"abcdefgh\"}" << "\"abcdefgh\"";
        QTest::newRow("wrong type") << "thisapplication" << "add" << "{\"a\":\"2\",\"b\":3}" << "badArgument";
        QTest::newRow("fraction for integer") << "thisapplication" << "add" << "{\"a\":2.5,\"b\":3}" << "badArgument";
        QTest::newRow("out of range") << "thisapplication" << "add" << "{\"a\":2,\"b\":101}" << "badArgument";
        QTest::newRow("missing") << "thisapplication" << "add" << "{\"a\":2}" << "badArgument";
        QTest::newRow("undeclared") << "thisapplication" << "add" << "{\"a\":2,\"b\":3,\"c\":1}" << "badArgument";
        QTest::newRow("too long") << "thisapplication" << "name" << "{\"n\":\"abcdefghi\"}" << "badArgument";
        QTest::newRow("unknown handler") << "nosuch" << "add" << "{}" << "noHandler";
        QTest::newRow("unknown method") << "thisapplication" << "nosuch" << "{}" << "noMethod";
        QTest::newRow("slot, not invokable") << "" << "notInvokable" << "{}" << "noMethod";
        QTest::newRow("QObject's own") << "thisapplication" << "deleteLater" << "{}" << "noMethod";
        QTest::newRow("malformed handler") << "../x" << "add" << "{}" << "badRequest";
        QTest::newRow("never answered") << "" << "silent" << "{}" << "noResult";
    }

    void pageCallsReachOnlyInvokableMethodsWithGoodArguments()
    {
        QFETCH(QString, handler);
        QFETCH(QString, method);
        QFETCH(QString, args);
        QFETCH(QString, expected);
        Bridge b;
        QVERIFY(b.open(m_pagePath));
        const QJsonObject out = b.call(handler, method, args);
        const bool isError = !expected.startsWith(QLatin1Char('{')) && !expected.startsWith(QLatin1Char('"'))
            && !expected.at(0).isDigit();
        QCOMPARE(out.value(QStringLiteral("ok")).toBool(), !isError);
        if (isError) {
            QCOMPARE(out.value(QStringLiteral("code")).toString(), expected);
        } else {
            const QJsonValue want = QJsonDocument::fromJson("[" + expected.toUtf8() + "]").array().first();
            QCOMPARE(out.value(QStringLiteral("value")), want);
        }
    }

    void unregisteredHandlersAndUnpublishedMembersStayOutOfReach()
    {
        Bridge b;
        auto *hidden = new TestHandler;
        hidden->setParent(&b.api);
        hidden->setObjectName(QStringLiteral("hidden"));
        b.api.registerHandler(QStringLiteral("gone"), new TestHandler);
        b.api.unregisterHandler(QStringLiteral("gone"));
        auto *again = new TestHandler;
        b.api.registerHandler(QStringLiteral("again"), again);
        b.api.registerHandler(QStringLiteral("again"), again);
        QVERIFY(b.open(m_pagePath));
        const auto add = [&b](const char *handler) {
            return b.call(QLatin1String(handler), QStringLiteral("add"), QStringLiteral("{\"a\":1,\"b\":1}"));
        };
        QCOMPARE(add("hidden").value(QStringLiteral("code")).toString(), QStringLiteral("noHandler"));
        QCOMPARE(add("gone").value(QStringLiteral("code")).toString(), QStringLiteral("noHandler"));
        QCOMPARE(add("again").value(QStringLiteral("value")).toInt(), 2);
        QCOMPARE(b.view.runJavaScript(QStringLiteral("typeof qwebkit.registerHandler")).toString(), QStringLiteral("undefined"));
        // The page may call deleteLater on what it sees; the bridge must survive it.
        b.view.runJavaScript(QStringLiteral("qwebkit.deleteLater()"));
        QTest::qWait(50);
        QCOMPARE(b.call(QString(), QStringLiteral("echo"), QStringLiteral("{}")).value(QStringLiteral("ok")).toBool(), true);
    }

    void malformedMessagesAreRefused_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("answers"); // messages with a usable id get an error, others nothing
        QTest::newRow("not JSON") << "not json" << 0;
        QTest::newRow("no id") << "{\"method\":\"echo\"}" << 0;
        QTest::newRow("negative id") << "{\"id\":-3,\"method\":\"echo\"}" << 0;
        QTest::newRow("method not text") << "{\"id\":7,\"method\":5}" << 1;
        QTest::newRow("args not object") << "{\"id\":7,\"method\":\"echo\",\"args\":[1]}" << 1;
        QTest::newRow("oversized") << QString(KxWebViewAsynJSObject::MaxMessageLength + 1, QLatin1Char(' ')) << 0;
    }

    void malformedMessagesAreRefused()
    {
        QFETCH(QString, message);
        QFETCH(int, answers);
        TestApi api;
        QSignalSpy spy(api.transport(), SIGNAL(message(QString)));
        QMetaObject::invokeMethod(api.transport(), "post", Q_ARG(QString, message));
        QTest::qWait(20);
        QCOMPARE(spy.count(), answers);
        if (answers) {
            const QJsonObject reply = jsonOf(spy.first().first());
            QCOMPARE(reply.value(QStringLiteral("id")).toInt(), 7);
            QCOMPARE(reply.value(QStringLiteral("error")).toObject().value(QStringLiteral("code")).toString(),
                     QStringLiteral("badRequest"));
        }
    }

    void aCallIsAnsweredOnceAndAfterItReturns()
    {
        TestApi api;
        QSignalSpy spy(api.transport(), SIGNAL(message(QString)));
        QMetaObject::invokeMethod(api.transport(), "post", Q_ARG(QString, QStringLiteral("{\"id\":1,\"method\":\"twice\"}")));
        QCOMPARE(spy.count(), 0);
        QTest::qWait(20);
        QCOMPARE(spy.count(), 1);
        QVERIFY(!api.secondAnswerTaken);
        QCOMPARE(jsonOf(spy.first().first()).value(QStringLiteral("result")).toInt(), 1);
    }

    void anAnswerAfterTheObjectIsGoneIsDropped()
    {
        auto *api = new TestApi;
        KxWebViewJSContext kept(api, 1, QString(), QStringLiteral("later"), QJsonObject());
        delete api;
        QVERIFY(!kept.publishResult(1));
        QVERIFY(!kept.isAnswered());
    }

    void contextGettersFallBackOnOtherTypes_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("intValue");
        QTest::addColumn<QString>("text");
        QTest::newRow("good") << "{\"v\":4,\"s\":\"x\"}" << 4 << "x";
        QTest::newRow("fraction") << "{\"v\":4.5,\"s\":1}" << -1 << "fallback";
        QTest::newRow("huge") << "{\"v\":1e12}" << -1 << "fallback";
        QTest::newRow("text number") << "{\"v\":\"4\",\"s\":null}" << -1 << "fallback";
    }

    void contextGettersFallBackOnOtherTypes()
    {
        QFETCH(QString, args);
        QFETCH(int, intValue);
        QFETCH(QString, text);
        KxWebViewJSContext context(nullptr, 1, QString(), QStringLiteral("m"), QJsonDocument::fromJson(args.toUtf8()).object());
        QCOMPARE(context.intArg(QStringLiteral("v"), -1), intValue);
        QCOMPARE(context.stringArg(QStringLiteral("s"), QStringLiteral("fallback")), text);
        QVERIFY(!context.publishResult(1)); // no object to answer through
    }

    void callbacksReachThePage_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("base64");
        QTest::newRow("plain") << QStringLiteral("h\u00e9llo \"quoted\" </script>") << false;
        QTest::newRow("base64") << QStringLiteral("h\u00e9llo \u2713 \u4f60\u597d") << true;
    }

    void callbacksReachThePage()
    {
        QFETCH(QString, data);
        QFETCH(bool, base64);
        Bridge b;
        QVERIFY(b.open(m_pagePath));
        b.api.callbackToJS(QStringLiteral("cb"), data, base64);
        QTRY_VERIFY(b.view.runJavaScript(QStringLiteral("window.cb !== null")).toBool());
        const QJsonObject cb = ktest::pageJson(b.view, QStringLiteral("window.cb")).object();
        QCOMPARE(cb.value(QStringLiteral("base64")).toBool(), base64);
        QCOMPARE(cb.value(QStringLiteral("text")).toString(), data);
        QCOMPARE(cb.value(QStringLiteral("data")).toString(),
                 base64 ? QString::fromLatin1(data.toUtf8().toBase64()) : data);
    }

    void onlyPagesFromTrustedPlacesGetTheObject()
    {
        ktest::TinyHttpServer server;
        Bridge b;
        b.view.publishObject(QStringLiteral("qwebkit"), &b.api);
        QVERIFY(loadAndWait(b.view, server.url(QStringLiteral("/ok"))));
        QCOMPARE(b.view.runJavaScript(QStringLiteral("typeof qwebkit")).toString(), QStringLiteral("object"));
        // The same page under a host nobody asked for, reached by the page's own navigation.
        QSignalSpy finished(&b.view, &KxWebViewContainer::loadFinished);
        b.view.runJavaScript(QStringLiteral("location.href = '%1'").arg(server.url(QStringLiteral("/ok"), QStringLiteral("localhost")).toString()));
        QVERIFY(finished.wait(10000));
        QCOMPARE(b.view.url().host(), QStringLiteral("localhost"));
        QCOMPARE(b.view.runJavaScript(QStringLiteral("typeof qwebkit")).toString(), QStringLiteral("undefined"));
    }

    void loadFailuresAreReported_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("ok");
        QTest::newRow("missing resource") << "qrc:/zdaliteweb/pages/nope.html" << false;
        QTest::newRow("served page") << "http/ok" << true;
        QTest::newRow("server error status") << "http/missing" << false;
    }

    void loadFailuresAreReported()
    {
        QFETCH(QString, what);
        QFETCH(bool, ok);
        ktest::TinyHttpServer server;
        const QUrl url = what.startsWith(QLatin1String("http/"))
            ? server.url(what.mid(4)) : QUrl(what);
        KxWebViewContainer view;
        QSignalSpy detail(&view, &KxWebViewContainer::loadFinishedWithDetail);
        bool loaded = !ok;
        QVERIFY(loadAndWait(view, url, &loaded));
        QCOMPARE(loaded, ok);
        QCOMPARE(detail.count(), 1);
        if (what == QLatin1String("http/missing"))
            QCOMPARE(detail.first().at(3).toInt(), 404);
    }

    void cookiesGoWithRequests()
    {
        ktest::TinyHttpServer server;
        KxWebViewContainer view;
        const QUrl url = server.url(QStringLiteral("/ok"));
        QNetworkCookie cookie("vyx_sid", "s3cr3t");
        view.setCookies({cookie}, url);
        QVERIFY(loadAndWait(view, url));
        QCOMPARE(ktest::cookieHeader(server.requests.last()), QStringLiteral("vyx_sid=s3cr3t"));
        QCOMPARE(view.cookies(url).size(), 1);
        QVERIFY(view.cookies(QUrl(QStringLiteral("http://elsewhere.example/"))).isEmpty());
    }

    void fileDragsAreReportedAsPathsOnly_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<bool>("acceptDrops");
        QTest::addColumn<QStringList>("paths");
        const QList<QUrl> mixed{QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt")), QUrl(QStringLiteral("http://x.example/y")),
                                QUrl::fromLocalFile(QStringLiteral("/tmp/b c.png"))};
        QTest::newRow("files among links") << mixed << true << QStringList{"/tmp/a.txt", "/tmp/b c.png"};
        QTest::newRow("drops switched off") << mixed << false << QStringList();
        QTest::newRow("links only") << QList<QUrl>{QUrl(QStringLiteral("http://x.example/y"))} << true << QStringList();
    }

    void fileDragsAreReportedAsPathsOnly()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(bool, acceptDrops);
        QFETCH(QStringList, paths);
        KxWebViewContainer view;
        TestApi api;
        view.publishObject(QStringLiteral("qwebkit"), &api);
        view.setAcceptFileDrops(acceptDrops);
        QVERIFY(loadAndWait(view, QUrl::fromLocalFile(m_pagePath)));
        const QUrl before = view.url();
        QSignalSpy spy(&view, &KxWebViewContainer::dragEnter);
        QSignalSpy objectSpy(&api, &KxWebViewAsynJSObject::dragEnter);
        QMimeData mime;
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.webView(), &enter);
        QCOMPARE(enter.isAccepted(), !paths.isEmpty());
        QCOMPARE(spy.count(), paths.isEmpty() ? 0 : 1);
        QCOMPARE(objectSpy.count(), spy.count());
        if (!paths.isEmpty())
            QCOMPARE(spy.first().first().toStringList(), paths);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.webView(), &drop);
        QTest::qWait(100);
        QCOMPARE(view.url(), before); // a dropped link never loads into the view
    }

    void debuggerFollowsTheHostConfiguration()
    {
        KxWebViewContainer off;
        QVERIFY(!off.isDebuggerEnabled());
        QVERIFY(!off.showDebugger());
        KHostConfig::setValue(QStringLiteral("webDebugger"), true);
        KxWebViewContainer on;
        KHostConfig::reload();
        QVERIFY(on.isDebuggerEnabled());
    }

    void webAddressesComeFromTheHostConfiguration_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("feedbackApp");
        QTest::newRow("shipped") << "" << "" << "qrc:/zdaliteweb/pages/feedback.html#/?appid=a%20b";
        QTest::newRow("configured page") << "webPage.feedback" << "file:///srv/fb.html" << "file:///srv/fb.html#/?appid=a%20b";
        QTest::newRow("configured server") << "serverUrl.FeedbackApp" << "https://fb.example"
                                           << "https://fb.example/static/common_feedback/dist/#/?appid=a%20b";
    }

    void webAddressesComeFromTheHostConfiguration()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, feedbackApp);
        KHostConfig::reload();
        if (!key.isEmpty())
            KHostConfig::setValue(key, value);
        QCOMPARE(krt::product::feedbackAppUrl(QStringLiteral("a b")), feedbackApp);
        KHostConfig::reload();
    }

    void shippedPagesLoad_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"feedback", "about", "declaration", "customerService", "networkError"})
            QTest::newRow(name) << name;
    }

    void shippedPagesLoad()
    {
        QFETCH(QString, name);
        KxWebViewContainer view;
        bool ok = false;
        QVERIFY(loadAndWait(view, QUrl(krt::product::webPageUrl(name)), &ok));
        QVERIFY(ok);
        QVERIFY(!view.runJavaScript(QStringLiteral("document.body.innerText")).toString().trimmed().isEmpty());
    }

    void aFailedSubmissionSaysSoAndWritesNothing()
    {
        QFile::remove(KxFeedbackStandIn::filePath());
        QVERIFY(QDir().mkpath(KxFeedbackStandIn::filePath())); // a folder where the file should be
        QString error;
        QVERIFY(!KxFeedbackStandIn::append(QJsonObject{{QStringLiteral("content"), QStringLiteral("x")}}, &error));
        QVERIFY(!error.isEmpty());
        TestApi api;
        api.registerHandler(QStringLiteral("thisapplication"), new KxFeedbackJSApiHandler(nullptr));
        QSignalSpy spy(api.transport(), SIGNAL(message(QString)));
        QMetaObject::invokeMethod(api.transport(), "post", Q_ARG(QString, QStringLiteral(
            "{\"id\":3,\"handler\":\"thisapplication\",\"method\":\"submit\",\"args\":{\"category\":\"other\",\"content\":\"x\"}}")));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(jsonOf(spy.first().first()).value(QStringLiteral("ok")).toBool(), false);
        QVERIFY(QDir().rmdir(KxFeedbackStandIn::filePath()));
    }

    void errorPageRenders()
    {
        KxWebViewContainer view;
        view.resize(520, 400);
        QVERIFY(loadAndWait(view, QUrl(krt::product::webPageUrl(QStringLiteral("networkError"))
                                       + QStringLiteral("#retry=https%3A%2F%2Ffb.example%2F"))));
        QCOMPARE(view.runJavaScript(QStringLiteral("document.getElementById('retry').style.display")).toString(), QString());
        view.grab().save(ktest::artifactPath(QStringLiteral("webview-error.png")));
        KxWebViewContainer other;
        QVERIFY(loadAndWait(other, QUrl(krt::product::webPageUrl(QStringLiteral("networkError"))
                                       + QStringLiteral("#retry=javascript%3Aalert(1)"))));
        QCOMPARE(other.runJavaScript(QStringLiteral("document.getElementById('retry').style.display")).toString(), QStringLiteral("none"));
    }

    void feedbackPageLoadsQuickly()
    {
        // A fresh container each time, as a window opening the page would have.
        QVector<qint64> times;
        for (int i = 0; i < 21; ++i) {
            KxWebViewContainer view;
            TestApi api;
            api.registerHandler(QStringLiteral("thisapplication"), new KxFeedbackJSApiHandler(&view));
            view.publishObject(QStringLiteral("qwebkit"), &api);
            QElapsedTimer timer;
            timer.start();
            QVERIFY(loadAndWait(view, QUrl(krt::product::webPageUrl(QStringLiteral("feedback")))));
            times << timer.elapsed();
        }
        std::sort(times.begin(), times.end());
        qInfo("feedback page load: median %lld ms, slowest %lld ms", times.at(times.size() / 2), times.last());
        QVERIFY2(times.at(times.size() / 2) < 500, "the shipped feedback page should load in under half a second");
    }
};

KTAVRO_TEST_MAIN(TestWebView)
#include "tst_webview.moc"
