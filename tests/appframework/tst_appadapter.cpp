#include "ktestmain.h"
#include "logrecorder.h"

#include <kcloudserviceproxy.h>
#include <kdrawhelper.h>
#include <kessappadapterproxy.h>
#include <kessapplicationadapter.h>
#include <kesslaunchinfo.h>
#include <kesssandbox.h>
#include <kesssandboxhelper.h>
#include <khostconfig.h>
#include <kshell.h>

#include <QTemporaryDir>
#include <QWidget>

namespace {

struct Launch
{
    QString program;
    QStringList arguments;
};

QString writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return path;
}

const QByteArray kTheme = R"(<theme name="default">
  <class name="KAppTitleBar">
    <color name="background" value="#2b579a"/>
    <color name="text" value="#ffffff"/>
    <metric name="height" value="32"/>
  </class>
</theme>)";

} // namespace

class TestAppAdapter : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<KEssApplicationAdapter> m_adapter;
    std::unique_ptr<LogRecorder> m_log;
    QList<Launch> m_launches;
    bool m_launchResult = true;

    QVariantMap launchMap(const QVariantMap &meta)
    {
        const QString metaPath = writeFile(m_dir.filePath(QStringLiteral("meta.json")), QJsonDocument(QJsonObject::fromVariantMap(meta)).toJson());
        return {
            {QStringLiteral("appId"), QStringLiteral("export_photo")},
            {QStringLiteral("src"), QStringLiteral("unknow")},
            {QStringLiteral("entry"), QVariant::fromValue(PairString(QStringLiteral("ktavro"), m_dir.path()))},
            {QStringLiteral("file"), QStringList{QStringLiteral("a.pdf")}},
            {QStringLiteral("dependency"), QVariantList{QVariant::fromValue(PairString(QStringLiteral("lib"), QStringLiteral("/x/lib.so"))),
                                                        QVariantMap{{QStringLiteral("name"), QStringLiteral("nofile")}}}},
            {QStringLiteral("meteFilePath"), metaPath},
            {QStringLiteral("posx"), 40},
            {QStringLiteral("posy"), 50},
        };
    }

    bool call(int method, const QVariantList &arguments = {}, QVariantList *results = nullptr)
    {
        QVariantList ignored;
        return m_adapter->call(method, arguments, results ? *results : ignored);
    }

    bool setApplication(const QVariantMap &meta, SandboxInfo *info)
    {
        return call(Method_SetApplication, {launchMap(meta), QVariant::fromValue(info)});
    }

private slots:
    void init()
    {
        m_adapter = std::make_unique<KEssApplicationAdapter>();
        m_log = std::make_unique<LogRecorder>(m_adapter.get());
        m_launches.clear();
        m_launchResult = true;
        CreateSandbox(SandboxInfo()); // framework messages then reach the recorder
        KShell::setLauncher([this](const QString &program, const QStringList &arguments) {
            m_launches << Launch{program, arguments};
            return m_launchResult;
        });
    }
    void cleanup()
    {
        KShell::setLauncher(nullptr);
        m_log.reset();
        m_adapter.reset();
        DestroySandbox();
        KCloudServiceProxy::stop();
        KHostConfig::reload();
    }

    void setApplicationFillsLaunchAndApplicationInfo()
    {
        SandboxInfo info;
        QVERIFY(setApplication({{QStringLiteral("applicationName"), QStringLiteral("Export Tool")}}, &info));
        QCOMPARE(info.appId, QStringLiteral("export_photo"));
        QCOMPARE(info.appKey, QStringLiteral("export_photo"));
        QCOMPARE(info.source, QStringLiteral("unknow"));
        QCOMPARE(info.frameworkVersion, QStringLiteral("1.0"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$")).match(info.moduleVersion).hasMatch());
        QCOMPARE(info.displayName, QStringLiteral("Export Tool"));
        QCOMPARE(info.entryName, QStringLiteral("ktavro"));
        QCOMPARE(info.entryFolder, m_dir.path());
        QCOMPARE(info.dependencies, (QList<KEssDependency>{{QStringLiteral("lib"), QStringLiteral("/x/lib.so")}}));

        QVariantList results;
        QVERIFY(call(Method_GetLaunchInfo, {}, &results));
        QCOMPARE(results.size(), 1);
        QCOMPARE(QByteArray(results.first().typeName()), QByteArray("const KEssLaunchInfo*"));
        const KEssLaunchInfo *launch = results.first().value<const KEssLaunchInfo *>();
        QCOMPARE(launch->files, QStringList{QStringLiteral("a.pdf")});
        QCOMPARE(launch->posX, 40);
        QCOMPARE(launch->posY, 50);
        QVERIFY(launch->hasPosition());
        QCOMPARE(launch->properties.value(QStringLiteral("applicationName")).toString(), QStringLiteral("Export Tool"));
    }

    void refusedCallsSayWhy()
    {
        SandboxInfo info;
        QVERIFY(!call(Method_SetApplication, {launchMap({})}));
        QVERIFY(m_log->has(QStringLiteral("Wrong arguments for method ApplicationAdapterMethod 4, 2 arguments is required")));
        QVariantMap noSource = launchMap({});
        noSource.remove(QStringLiteral("src"));
        QVERIFY(!call(Method_SetApplication, {noSource, QVariant::fromValue(&info)}));
        QVERIFY(!call(Method_SetApplication, {launchMap({}), 5}));
        QCOMPARE(m_log->count(QStringLiteral("Failed to init application info!")), 2);
        // The line names the method that refused, not the helper that wrote it.
        QVERIFY(!call(Method_OpenUrl));
        QCOMPARE(m_log->lines.filter(QRegularExpression(QStringLiteral(
                     " KEssApplicationAdapter::call@\\d+\\) Wrong arguments for method ApplicationAdapterMethod 13, 1 arguments is required$"))).size(), 1);

        m_log->clear();
        QVariantList results;
        for (int method : {2, 3, 8, 11, 12, 15, -1})
            QVERIFY(!m_adapter->call(method, {0, QStringLiteral("line")}, results));
        QVERIFY(results.isEmpty());
        QVERIFY(m_log->lines.isEmpty());
    }

    void mainWindowMustBeTheFrameworksOwn()
    {
        QWidget plain;
        QVERIFY(!call(Method_SetMainWindow, {QVariant::fromValue(&plain)}));
        QVERIFY(m_log->has(QStringLiteral("KAppMainWindow is not ready!")));
        QVERIFY(!call(Method_SetMainWindow, {QStringLiteral("no widget")}));
        QVERIFY(m_log->has(QStringLiteral("ApplicationAdapterMethod 5, 1 arguments is required")));
        QVERIFY(!call(Method_CloseMainWindow));
        QVERIFY(m_log->has(QStringLiteral("mainwindow is not set!")));
    }

    void defaultThemeSetsColoursWidgetsRead()
    {
        // The theme file lives beside the module: run from a copy of this executable in a
        // folder of its own, so that nothing is written beside the build's binaries.
        if (!qEnvironmentVariableIsSet("KTAVRO_MODULE_COPY")) {
            QTemporaryDir folder;
            const QString copy = folder.filePath(QStringLiteral("tst_appadapter"));
            QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
            QProcess run;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("KTAVRO_MODULE_COPY"), QStringLiteral("1"));
            run.setProcessEnvironment(environment);
            run.setProcessChannelMode(QProcess::MergedChannels);
            run.start(copy, {QStringLiteral("defaultThemeSetsColoursWidgetsRead")});
            QVERIFY(run.waitForFinished(120000));
            QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, run.readAll().constData());
            QVERIFY(QFileInfo::exists(folder.filePath(QStringLiteral("resource/theme"))));
            QVERIFY(!QFileInfo::exists(KessSandBoxHelper::resourcePath(QStringLiteral("resource/theme/default.kuip"))));
            return;
        }
        DestroySandbox();
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("\\) sandbox is not ready$")));
        QVERIFY(!call(Method_InstallDefaultTheme));
        CreateSandbox(SandboxInfo());
        const QString path = KessSandBoxHelper::resourcePath(QStringLiteral("resource/theme/default.kuip"));
        QFile::remove(path);
        QVERIFY(!call(Method_InstallDefaultTheme));
        QVERIFY(m_log->has(QStringLiteral("default theme file not found.")));
        writeFile(path, "<theme><class name=\"X\"><color name=\"a\" value=\"nocolour\"/></class></theme>");
        QVERIFY(!call(Method_InstallDefaultTheme));
        QVERIFY(m_log->has(QStringLiteral("setup theme file \"%1\" failed").arg(path)));

        writeFile(path, kTheme);
        QVERIFY(call(Method_InstallDefaultTheme));
        QVERIFY(!call(Method_InstallDefaultTheme));
        QVERIFY(m_log->has(QStringLiteral("another default theme is already installed.")));
        KDrawHelper *draw = KDrawHelper::instance();
        QCOMPARE(draw->getMetric(QStringLiteral("KAppTitleBar"), QStringLiteral("height")), 32);
        QWidget bar;
        draw->applyPalette(&bar, QStringLiteral("KAppTitleBar"));
        QCOMPARE(bar.palette().color(QPalette::Window), QColor(QStringLiteral("#2b579a")));
        QCOMPARE(bar.palette().color(QPalette::WindowText), QColor(Qt::white));

        QVERIFY(call(Method_RemoveDefaultTheme));
        QVERIFY(!draw->getColor(QStringLiteral("KAppTitleBar"), QStringLiteral("background")).isValid());
        QVERIFY(!call(Method_RemoveDefaultTheme));
        QVERIFY(m_log->has(QStringLiteral("There's no default theme")));
        QFile::remove(path);
    }

    void openUrlChoosesTheBrowser()
    {
        SandboxInfo info;
        setApplication({}, &info);
        // Logged in: the cloud service opens it and answers the proxy later.
        KCloudServiceProxy::start()->setLogined(true);
        m_launchResult = false;
        QVERIFY(call(Method_OpenUrl, {QStringLiteral("https://example.com/vip")}));
        QCOMPARE(m_launches.last().arguments, QStringList{QStringLiteral("https://example.com/vip")});
        QVERIFY(!m_log->has(QStringLiteral("The cloud service could not open the address.")));
        QTRY_VERIFY(m_log->has(QStringLiteral("The cloud service could not open the address.")));
        m_launchResult = true;

        setApplication({{QStringLiteral("usePyrelithBrowser"), true}}, &info);
        QVERIFY(call(Method_OpenUrl, {QStringLiteral("https://example.com/p")}));
        QCOMPARE(m_launches.last().program, KessSandBoxHelper::getModuleInfo().hostExecutablePath);
        QCOMPARE(m_launches.last().arguments, QStringList{QStringLiteral("plugin://pageBrowser?https://example.com/p")});
    }

    void openUrlTakesOneWebAddress_data()
    {
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("opened"); // empty: refused
        const QString plain = QStringLiteral("https://example.com/a?b=1");
        QTest::newRow("plain") << QVariantList{plain} << plain;
        QTest::newRow("spaces around") << QVariantList{QStringLiteral(" \t") + plain + QStringLiteral("  \n")} << plain;
        QTest::newRow("braces") << QVariantList{QStringLiteral("{http://x}")} << QStringLiteral("http://x");
        QTest::newRow("braces and spaces") << QVariantList{QStringLiteral(" { ") + plain + QStringLiteral(" } ")} << plain;
        QTest::newRow("quoted") << QVariantList{QLatin1Char('"') + plain + QLatin1Char('"')} << plain;
        QTest::newRow("upper-case scheme") << QVariantList{QStringLiteral("HTTPS://Example.com/P")} << QStringLiteral("https://example.com/P");
        QTest::newRow("as a QUrl") << QVariantList{QUrl(plain)} << plain;
        QTest::newRow("space inside") << QVariantList{QStringLiteral("https://example.com/a b")} << QStringLiteral("https://example.com/a%20b");
        for (const char *refused : {"file:///etc/passwd", "/usr/bin/xterm", "{file:///etc/passwd}", "http:///no-host", "ftp://example.com",
                                    "javascript:alert(1)", "{}", "", "example.com", "{https://example.com"})
            QTest::newRow(refused) << QVariantList{QString::fromLatin1(refused)} << QString();
        QTest::newRow("no argument") << QVariantList{} << QString();
        QTest::newRow("two arguments") << QVariantList{plain, plain} << QString();
    }
    void openUrlTakesOneWebAddress()
    {
        QFETCH(QVariantList, arguments);
        QFETCH(QString, opened);
        SandboxInfo info;
        setApplication({}, &info);
        QCOMPARE(call(Method_OpenUrl, arguments), !opened.isEmpty());
        QCOMPARE(m_launches.size(), opened.isEmpty() ? 0 : 1);
        if (!opened.isEmpty()) {
            QCOMPARE(m_launches.last().program, QStringLiteral("xdg-open"));
            QCOMPARE(m_launches.last().arguments, QStringList{opened});
        } else if (arguments.size() != 1) {
            QVERIFY(m_log->has(QStringLiteral("ApplicationAdapterMethod 13, 1 arguments is required")));
        }
    }

    void requestWidgetNeedsTheListedPlugin()
    {
        KHostConfig::setValue(QStringLiteral("plugins"), QStringList{QStringLiteral("ktavro=1.0")});
        QVERIFY(!call(Method_RequestWidget, {1}));
        QVERIFY(m_log->has(QStringLiteral("Cannot load yunkit plugin because it is not in the plg file.")));
        QVERIFY(m_launches.isEmpty());
        KHostConfig::setValue(QStringLiteral("plugins"), QStringList{QStringLiteral("vuziroz=2.0")});
        QVERIFY(call(Method_RequestWidget, {1}));
        QCOMPARE(m_launches.last().arguments, QStringList{QStringLiteral("plugin://vuziroz")});

        QVariantList results;
        QVERIFY(!call(Method_RequestWidget, {2}, &results));
        QCOMPARE(results.size(), 1);
        QCOMPARE(results.first().value<QWidget *>(), nullptr);
    }

    void proxyFollowsTheCloudService()
    {
        QVERIFY(!m_adapter->proxy()->isConnected());
        QVERIFY(m_log->has(QStringLiteral("should not using adapterproxy before cloudServiceproxy created")));

        KCloudServiceProxy *cloud = KCloudServiceProxy::start();
        KEssApplicationAdapter adapter;
        KEssAppAdapterProxy *proxy = adapter.proxy();
        QCOMPARE(adapter.proxy(), proxy);
        QCOMPARE(proxy->accountState(), KEssAppAdapterProxy::AccountLoggedOut);
        cloud->setLogined(true);
        QCOMPARE(proxy->accountState(), KEssAppAdapterProxy::AccountLoggedIn);

        QSignalSpy autoLogin(proxy, &KEssAppAdapterProxy::autoLogin);
        cloud->notify(QStringLiteral("somethingElse"));
        QCOMPARE(autoLogin.count(), 0);
        cloud->notify(QStringLiteral("autoLoginFail"));
        QCOMPARE(autoLogin.count(), 1);
        QCOMPARE(autoLogin.first().first().toBool(), false);
        QCOMPARE(proxy->accountState(), KEssAppAdapterProxy::AccountAutoLoginFailed);
        QVERIFY(m_log->has(QStringLiteral("CloudSrv received a notify: autoLoginFail")));
    }
};

KTAVRO_TEST_MAIN(TestAppAdapter)
#include "tst_appadapter.moc"
