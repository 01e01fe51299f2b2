#include "ktestmain.h"
#include "logrecorder.h"

#include <kcloudserviceproxy.h>
#include <kdcinfo.h>
#include <kessaccount.h>
#include <kessapplicationadapter.h>
#include <kesssandbox.h>
#include <kesstools.h>
#include <khostconfig.h>
#include <kregistry.h>
#include <kshell.h>
#include <kxapplication.h>

#include <QCryptographicHash>
#include <QNetworkRequest>
#include <QTemporaryDir>

using namespace kesstools;

namespace {
const QString kDeviceKey = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\roamingdevice");
} // namespace

class TestKessTools : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    static QString helperDeviceId()
    {
        QProcess helper;
        ktest::startHelper(helper, QStringLiteral("device-id"));
        if (!helper.waitForFinished(30000) || helper.exitCode() != 0)
            return QStringLiteral("helper failed");
        return QString::fromLatin1(helper.readAllStandardOutput()).trimmed();
    }

    QString folder(const QString &name)
    {
        QDir(m_dir.path()).mkpath(name);
        return m_dir.filePath(name);
    }

private slots:
    void cleanup()
    {
        DestroySandbox();
        SetApplicationAdapter(nullptr);
        KShell::setLauncher(nullptr);
        KCloudServiceProxy::stop();
        KHostConfig::reload();
    }

    void versionsComeFromFolderNames_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("version");
        QTest::newRow("plain") << "tool_1.2.3.4" << "tool" << "1.2.3.4";
        QTest::newRow("underscore in the name") << "my_tool_10.0.0.12/" << "my_tool" << "10.0.0.12";
        QTest::newRow("platform after the version") << "ktavro_1.0.0.1_x64" << "ktavro" << "1.0.0.1";
        QTest::newRow("suffix after the version") << "tool_1.2.3.4-beta" << "tool" << "1.2.3.4";
        QTest::newRow("three parts") << "tool_1.2.3" << "" << "";
        QTest::newRow("three parts, long last") << "tool_1.2.345" << "" << "";
        QTest::newRow("no dots") << "tool_1x2x3x4" << "" << "";
        QTest::newRow("no version") << "tool" << "" << "";
    }
    void versionsComeFromFolderNames()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, version);
        QCOMPARE(app::folderNameAndVersion(this->folder(folder)), PairString(name, version));
        QCOMPARE(app::folderNameAndVersion(m_dir.filePath(QStringLiteral("gone_1.2.3.4"))), PairString());
    }

    void pluginAndDependencyVersions()
    {
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$")).match(app::moduleVersion()).hasMatch());
        LogRecorder log;
        SandboxInfo info;
        info.entryFolder = folder(QStringLiteral("ktavro_2.3.4.5"));
        info.dependencies = {{QStringLiteral("js"), folder(QStringLiteral("jsapi_1.0.0.7")) + QStringLiteral("/libjs.so")},
                             {QStringLiteral("plain"), folder(QStringLiteral("plain")) + QStringLiteral("/x.so")}};
        CreateSandbox(info);
        QCOMPARE(app::pluginVersion(), QStringLiteral("2.3.4.5"));
        QCOMPARE(app::dependenciesVersion(), (QMap<QString, QString>{{QStringLiteral("jsapi"), QStringLiteral("1.0.0.7")}}));
        QCOMPARE(app::getApplicationInfo().entryFolder, info.entryFolder);
    }

    // One id per user: made once, then read by every process; kept for the process.
    void deviceIdIsMadeOnceAndShared()
    {
        const QRegularExpression form(QStringLiteral("^UUID-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
        QDir(QFileInfo(KRegistry::storePath(kDeviceKey)).absolutePath()).removeRecursively();
        const QString made = helperDeviceId(); // a fresh store, in a fresh process
        QVERIFY2(form.match(made).hasMatch(), qPrintable(made));
        QCOMPARE(KRegistry::value(kDeviceKey, QStringLiteral("deviceid")).toString(), made);
        QCOMPARE(account::loadDeviceId(), made);
        QCOMPARE(account::deviceId(), made);
        QCOMPARE(helperDeviceId(), made);

        KRegistry::setValue(kDeviceKey, QStringLiteral("deviceid"), QStringLiteral("UUID-CHANGED"));
        QCOMPARE(account::loadDeviceId(), QStringLiteral("UUID-CHANGED"));
        QCOMPARE(helperDeviceId(), QStringLiteral("UUID-CHANGED"));
        QCOMPARE(account::deviceId(), made); // this process keeps the id it started with

        KRegistry::remove(kDeviceKey, QStringLiteral("deviceid"));
        const QString again = account::loadDeviceId();
        QVERIFY(form.match(again).hasMatch());
        QVERIFY(again != made);
    }

    void signedHeadersMatchAnIndependentDigest()
    {
        QNetworkRequest request;
        account::signRequest(request, QStringLiteral("AK"), QStringLiteral("s3cret"), QByteArray());
        QCOMPARE(request.rawHeaderList(), (QList<QByteArray>{"Date", "Content-Md5", "Content-Type", "Authorization", "Device-Id", "Device-Name"}));
        const QByteArray date = request.rawHeader("Date");
        QVERIFY(QRegularExpression(QStringLiteral("^[A-Z][a-z]{2}, \\d{2} [A-Z][a-z]{2} \\d{4} \\d{2}:\\d{2}:\\d{2} GMT$"))
                    .match(QString::fromLatin1(date)).hasMatch());
        const QDateTime parsed = QLocale(QLocale::English).toDateTime(QString::fromLatin1(date.chopped(4)), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss"));
        QVERIFY(qAbs(QDateTime(parsed.date(), parsed.time(), Qt::UTC).secsTo(QDateTime::currentDateTimeUtc())) < 5);
        QCOMPARE(request.rawHeader("Content-Md5"), QByteArray());
        QCOMPARE(request.rawHeader("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
        const QByteArray emptySignature =
            QCryptographicHash::hash("s3cret" "application/x-www-form-urlencoded" + date, QCryptographicHash::Sha1).toHex();
        QCOMPARE(request.rawHeader("Authorization"), "VYX-2:AK:" + emptySignature);

        const QByteArray body = "a=1&b=%E4%BD%A0";
        account::signRequest(request, QStringLiteral("AK"), QStringLiteral("s3cret"), body, QStringLiteral("OTHER"));
        const QByteArray md5 = QCryptographicHash::hash(body, QCryptographicHash::Md5).toHex();
        QCOMPARE(request.rawHeader("Content-Md5"), md5);
        const QByteArray signature = QCryptographicHash::hash(
            "s3cret" + md5 + "application/x-www-form-urlencoded" + request.rawHeader("Date"), QCryptographicHash::Sha1).toHex();
        QCOMPARE(request.rawHeader("Authorization"), "OTHER:AK:" + signature);
        QCOMPARE(request.rawHeader("Device-Id"), account::deviceId().toUtf8());
        for (const QByteArray &name : request.rawHeaderList())
            QVERIFY(!request.rawHeader(name).contains("s3cret"));
    }

    void launchInfoFailuresAreNamed()
    {
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("The result of GetApplicationAdapter is nullptr\\.$")));
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("Cannot get launch info\\.$")));
        QVERIFY(!app::getMetaValue(QStringLiteral("x")).isValid());

        // Answers method 9 as told, to see how the tools take wrong answers.
        bool served = false;
        QVariantList answer;
        LogRecorder adapter;
        adapter.answer = [&](int method, QVariantList &results) {
            results = answer;
            return served && method == Method_GetLaunchInfo;
        };
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("Wrong call of Method_GetLaunchInfo\\.$")));
        QCOMPARE(app::getLaunchInfo(), nullptr);
        served = true;
        answer = {QStringLiteral("not a launch info")};
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("Wrong return arguments of Method_GetLaunchInfo\\.$")));
        QCOMPARE(app::getLaunchInfo(), nullptr);

        KEssLaunchInfo info;
        info.properties.insert(QStringLiteral("UrlID"), QStringLiteral("u1"));
        answer = {QVariant::fromValue<const KEssLaunchInfo *>(&info)};
        QCOMPARE(app::getMetaValue(QStringLiteral("UrlID")).toString(), QStringLiteral("u1"));
    }

    void infoCollectionAddsTheFlaggedFields()
    {
        KDcInfoC *statistics = KxApplication::coreApplication()->getDcInfo();
        QVERIFY(statistics);
        statistics->clearEvents();
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("Cannot get sandbox\\. Send failed\\.$")));
        app::sendInfoCollection(QStringLiteral("e"), {}, 0);
        QVERIFY(statistics->events().isEmpty());

        SandboxInfo info;
        info.displayName = QStringLiteral("Export Tool");
        info.entryFolder = folder(QStringLiteral("ktavro_2.3.4.5"));
        CreateSandbox(info);
        QCoreApplication::setApplicationName(QStringLiteral("vyd"));
        KCloudServiceProxy::start()->setLogined(true);
        app::sendInfoCollection(QStringLiteral("vas_matrix_start"), {{QStringLiteral("name"), QStringLiteral("n")}}, 0xf);
        app::sendInfoCollection(QStringLiteral("plain"), {{QStringLiteral("name"), QStringLiteral("n")}}, app::CollectRole);
        QCOMPARE(statistics->events().size(), 2);
        const KDcEvent all = statistics->events().first();
        QCOMPARE(all.name, QStringLiteral("vas_matrix_start"));
        QCOMPARE(all.fields, (QHash<QString, QString>{{QStringLiteral("name"), QStringLiteral("n")},
                                                      {QStringLiteral("appname"), QStringLiteral("Export Tool")},
                                                      {QStringLiteral("role"), QStringLiteral("login")},
                                                      {QStringLiteral("src"), QStringLiteral("vyd_public")},
                                                      {QStringLiteral("plugin_version"), QStringLiteral("2.3.4.5")}}));
        QCOMPARE(statistics->events().last().fields.size(), 2);

        LogRecorder log;
        KHostConfig::setValue(QStringLiteral("statisticsService"), false);
        app::sendInfoCollection(QStringLiteral("e"), {}, 0);
        QVERIFY(log.has(QStringLiteral("Cannot get KDcInfoC instance. Send failed.")));
    }

    void feedbackAddressCarriesAppAndSession()
    {
        QStringList opened;
        KShell::setLauncher([&opened](const QString &, const QStringList &arguments) {
            opened << arguments;
            return true;
        });
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("Cannot get application adapter\\. Cannot open url\\.$")));
        app::openUrl(QStringLiteral("https://example.com"));

        KEssApplicationAdapter adapter;
        SetApplicationAdapter(&adapter);
        SandboxInfo info;
        info.appId = QStringLiteral("export_photo");
        info.displayName = QStringLiteral("Export Tool");
        CreateSandbox(info);
        KHostConfig::setValue(QStringLiteral("serverUrl.FeedbackServer"), QStringLiteral("https://fb.example.com"));
        KCloudServiceProxy::start()->setSessionId(QStringLiteral("S&1"));
        app::openFeedbackUrl();
        QCOMPARE(opened.size(), 1);
        const QUrl url(opened.first());
        QCOMPARE(url.path(), QStringLiteral("/feedback/front"));
        const QUrlQuery query(url);
        QCOMPARE(query.queryItemValue(QStringLiteral("product_name")), QStringLiteral("export_photo"));
        QCOMPARE(query.queryItemValue(QStringLiteral("app_type")), QStringLiteral("client"));
        QCOMPARE(query.queryItemValue(QStringLiteral("app_name"), QUrl::FullyDecoded), QStringLiteral("Export Tool"));
        QCOMPARE(query.queryItemValue(QStringLiteral("app_version")), app::getVYXVersion());
        QCOMPARE(query.queryItemValue(QStringLiteral("vyxid"), QUrl::FullyDecoded), QStringLiteral("S&1"));
    }
};

namespace {
int helper(const QString &name, const QStringList &)
{
    if (name != QLatin1String("device-id"))
        return 64;
    std::printf("%s\n", qPrintable(account::deviceId()));
    return 0;
}
} // namespace

KTAVRO_TEST_MAIN_WITH_HELPER(TestKessTools, helper)
#include "tst_kesstools.moc"
