#include "ktestmain.h"
#include "logrecorder.h"
#include "ktestweb.h"

#include <kessjsapi.h>
#include <kesssandbox.h>

#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

namespace {

const QByteArray kListeners = R"(window.heard = [];
['first', 'second'].forEach(function (name) {
  kxBridge.on(name, function (data, base64) { window.heard.push({name: name, data: data, base64: base64}); });
});
)";

class AppHandler : public KEssJsApiHandler
{
    Q_OBJECT
public:
    Q_INVOKABLE void hello(KxWebViewJSContext &context) { context.publishResult(QStringLiteral("hello")); }
};

// Serves the applications it is told about, under one profile.
class AppFactory : public KEssJsApiAppFactory
{
public:
    AppFactory(const QString &profile, const QString &appId) : m_profile(profile), m_appId(appId) {}
    QString profile() const override { return m_profile; }
    bool accepts(const QString &appId) const override { return appId == m_appId; }
    KEssJsApiHandler *create(KEssJsApi *) override { return new AppHandler; }

private:
    QString m_profile;
    QString m_appId;
};

} // namespace

class TestJsApi : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_page;
    LogRecorder m_log;

    struct Page
    {
        KxWebViewContainer view;
        KEssJsApi api;
    };

    std::unique_ptr<Page> openPage()
    {
        auto page = std::make_unique<Page>();
        page->view.publishObject(QStringLiteral("qwebkit"), &page->api);
        ktest::loadAndWait(page->view, QUrl::fromLocalFile(m_page));
        return page;
    }

    QJsonObject call(Page &page, const QString &handler, const QString &method, const QJsonObject &args = {})
    {
        return ktest::callBridge(page.view, handler, method, args);
    }

    QJsonArray heard(Page &page) { return ktest::pageJson(page.view, QStringLiteral("window.heard")).array(); }

    void setBuiltinLibrary(const QString &file)
    {
        SandboxInfo info = GetSandbox()->info();
        info.dependencies = {{QStringLiteral("kappessbuiltinjsapi"), file}};
        GetSandbox()->setInfo(info);
    }

private slots:
    void initTestCase()
    {
        m_page = m_dir.filePath(QStringLiteral("page.html"));
        QVERIFY(ktest::writeText(m_page, ktest::bridgePage(kListeners)));

        // Before any sandbox exists the library cannot be found.
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("There's no sandbox")));
        KEssJsApi lonely;
        QVERIFY(!lonely.isInitialised());

        SandboxInfo info;
        info.appId = QStringLiteral("app.bridge");
        CreateSandbox(info);
        setBuiltinLibrary(QStringLiteral(KTAVRO_BUILTIN_JSAPI));
        KEssJsApi::registerApplicationFactory(new AppFactory(QStringLiteral("1_0"), QStringLiteral("app.bridge")));
        KEssJsApi::registerApplicationFactory(new AppFactory(QStringLiteral("2_0"), QStringLiteral("another.app")));
    }

    void cleanupTestCase() { KEssJsApi::clearApplicationFactories(); }

    // Profiles as pages name them: "" is "1_0", "1.0" is looked up as "1_0", an application
    // factory serves only the applications it accepts.
    void initChoosesTheProfiles_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("appProfile");
        QTest::addColumn<bool>("builtin");
        QTest::addColumn<bool>("application");
        QTest::addColumn<QString>("builtinProfile");
        QTest::newRow("defaults") << "" << "" << true << true << "1_0";
        QTest::newRow("application 1.0") << "1_0" << "1.0" << true << true << "1_0";
        QTest::newRow("unknown built-in profile") << "3_0" << "" << false << true << "3_0";
        QTest::newRow("application of another app") << "" << "2.0" << true << false << "1_0";
        QTest::newRow("no such application profile") << "" << "9.9" << true << false << "1_0";
    }

    void initChoosesTheProfiles()
    {
        QFETCH(QString, profile);
        QFETCH(QString, appProfile);
        QFETCH(bool, builtin);
        QFETCH(bool, application);
        QFETCH(QString, builtinProfile);
        auto page = openPage();
        const QJsonObject out = call(*page, QString(), QStringLiteral("init"),
                                     {{QStringLiteral("profile"), profile}, {QStringLiteral("app_profile"), appProfile}});
        const QJsonObject answer = out.value(QStringLiteral("value")).toObject();
        QCOMPARE(answer.value(QStringLiteral("builtin")).toBool(), builtin);
        QCOMPARE(answer.value(QStringLiteral("application")).toBool(), application);
        QCOMPARE(answer.value(QStringLiteral("builtinprofile")).toString(), builtinProfile);
        QCOMPARE(answer.value(QStringLiteral("result")).toBool(), builtin && application);
        // The page reaches exactly the handlers of the profiles it got.
        const QJsonObject hello = call(*page, QStringLiteral("thisapplication"), QStringLiteral("hello"));
        QCOMPARE(hello.value(QStringLiteral("ok")).toBool(), application && !appProfile.isEmpty());
        const QJsonObject trace = call(*page, QStringLiteral("event"), QStringLiteral("trace"),
                                       {{QStringLiteral("message"), QStringLiteral("x")}});
        QCOMPARE(trace.value(QStringLiteral("ok")).toBool(), builtin);
    }

    void secondInitChangesNothing()
    {
        auto page = openPage();
        QSignalSpy applicationSet(&page->api, &KEssJsApi::applicationJsSet);
        call(*page, QString(), QStringLiteral("init"), {{QStringLiteral("app_profile"), QStringLiteral("1.0")}});
        QCOMPARE(applicationSet.count(), 1);
        const QJsonObject again = call(*page, QString(), QStringLiteral("init"),
                                       {{QStringLiteral("profile"), QStringLiteral("3_0")}});
        QCOMPARE(again.value(QStringLiteral("value")).toObject().value(QStringLiteral("builtinprofile")).toString(),
                 QStringLiteral("1_0"));
        QCOMPARE(applicationSet.count(), 1);
        const QJsonObject info = call(*page, QString(), QStringLiteral("info")).value(QStringLiteral("value")).toObject();
        QCOMPARE(info.value(QStringLiteral("profiles")).toArray(), QJsonArray({"1_0"}));
        QCOMPARE(info.value(QStringLiteral("app_profiles")).toArray(), QJsonArray({"1_0", "2_0"}));
    }

    // Both listeners hear an event, each with its own Base64 flag; an empty callback is
    // skipped; a removed one hears nothing more.
    void listenersHearBroadcastsWithTheirOwnFlags()
    {
        auto page = openPage();
        call(*page, QString(), QStringLiteral("init"));
        QSignalSpy added(&page->api, &KEssJsApi::eventListenerAdded);
        const auto listen = [&](const QString &callback, bool base64) {
            return call(*page, QStringLiteral("event"), QStringLiteral("addEventListener"),
                        {{QStringLiteral("event"), QStringLiteral("news")},
                         {QStringLiteral("callback"), callback},
                         {QStringLiteral("base64"), base64}});
        };
        listen(QStringLiteral("first"), false);
        listen(QStringLiteral("second"), true);
        QCOMPARE(added.count(), 2);
        page->api.addEventListener(QStringLiteral("news"), QString(), false);
        QVERIFY(page->api.hasEventListener(QStringLiteral("news")));

        page->api.broadcastEvent(QStringLiteral("news"), QStringLiteral("déjà"));
        QTRY_COMPARE(heard(*page).size(), 2);
        const QJsonArray got = heard(*page);
        QCOMPARE(got.at(0).toObject().value(QStringLiteral("data")).toString(), QStringLiteral("déjà"));
        QCOMPARE(got.at(1).toObject().value(QStringLiteral("data")).toString(),
                 QString::fromLatin1(QStringLiteral("déjà").toUtf8().toBase64()));
        QCOMPARE(got.at(1).toObject().value(QStringLiteral("base64")).toBool(), true);

        call(*page, QStringLiteral("event"), QStringLiteral("removeEventListener"),
             {{QStringLiteral("event"), QStringLiteral("news")}, {QStringLiteral("callback"), QStringLiteral("first")}});
        call(*page, QStringLiteral("event"), QStringLiteral("broadcastEvent"),
             {{QStringLiteral("event"), QStringLiteral("news")}, {QStringLiteral("data"), QStringLiteral("b")}});
        QTRY_COMPARE(heard(*page).size(), 3);
        QCOMPARE(heard(*page).at(2).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("second"));
    }

    void broadcastFromAWorkerArrivesOnTheOwnerThread()
    {
        auto page = openPage();
        call(*page, QString(), QStringLiteral("init"));
        page->api.addEventListener(QStringLiteral("tick"), QStringLiteral("first"), false);
        QThread *worker = QThread::create([&page] { page->api.broadcastEvent(QStringLiteral("tick"), QStringLiteral("w")); });
        worker->start();
        QVERIFY(worker->wait(5000));
        delete worker;
        QTRY_COMPARE(heard(*page).size(), 1);
        QCOMPARE(heard(*page).at(0).toObject().value(QStringLiteral("data")).toString(), QStringLiteral("w"));
    }

    // Page arguments are checked before a handler sees them.
    void badArgumentsAreRefused_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QJsonObject>("args");
        QTest::newRow("event name too long") << "event" << "addEventListener"
                                             << QJsonObject{{"event", QString(300, 'e')}, {"callback", "first"}};
        QTest::newRow("callback missing") << "event" << "addEventListener" << QJsonObject{{"event", "news"}};
        QTest::newRow("flag of the wrong type") << "event" << "addEventListener"
                                                << QJsonObject{{"event", "e"}, {"callback", "c"}, {"base64", "yes"}};
        QTest::newRow("profile not a text") << "" << "init" << QJsonObject{{"profile", 1}};
    }

    void badArgumentsAreRefused()
    {
        QFETCH(QString, handler);
        QFETCH(QString, method);
        QFETCH(QJsonObject, args);
        auto page = openPage();
        if (!handler.isEmpty())
            call(*page, QString(), QStringLiteral("init"));
        const QJsonObject out = call(*page, handler, method, args);
        QCOMPARE(out.value(QStringLiteral("code")).toString(), QStringLiteral("badArgument"));
        QVERIFY(!page->api.hasEventListener(QStringLiteral("news")));
    }

    // A library that cannot be had leaves the page without built-in handlers, said in the log.
    void missingLibraryIsLogged_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("logged");
        QTest::newRow("no dependency") << "" << "Cannot find dependency 'kappessbuiltinjsapi'.";
        QTest::newRow("not a library") << m_page << "Cannot load library '" + m_page + "'";
    }

    void missingLibraryIsLogged()
    {
        QFETCH(QString, file);
        QFETCH(QString, logged);
        setBuiltinLibrary(file);
        m_log.clear();
        auto page = openPage();
        setBuiltinLibrary(QStringLiteral(KTAVRO_BUILTIN_JSAPI));
        QVERIFY2(m_log.has(logged), qPrintable(m_log.lines.join('\n')));
        const QJsonObject out = call(*page, QString(), QStringLiteral("init"));
        QCOMPARE(out.value(QStringLiteral("value")).toObject().value(QStringLiteral("builtin")).toBool(), false);
    }
};

KTAVRO_TEST_MAIN(TestJsApi)
#include "tst_jsapi.moc"
