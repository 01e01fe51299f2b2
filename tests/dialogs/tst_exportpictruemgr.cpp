#include "ktestmain.h"

#include <iapplicationadapter.h>
#include <kexportpictruemgr.h>
#include <kesslaunchinfo.h>
#include <kesssandbox.h>
#include <kesstools.h>

class TestExportPictrueMgr : public QObject
{
    Q_OBJECT
private slots:
    void firstUseSetsUpTheFramework()
    {
        KExportPictrueMgr *mgr = KExportPictrueMgr::instance();
        QCOMPARE(KExportPictrueMgr::instance(), mgr);
        QVERIFY(mgr->adapter());
        QCOMPARE(GetApplicationAdapter(), mgr->adapter());

        KEssSandbox *sandbox = GetSandbox();
        QVERIFY(sandbox);
        const SandboxInfo info = sandbox->info();
        QCOMPARE(info.appId, QStringLiteral("export_photo"));
        QCOMPARE(info.source, QStringLiteral("unknow"));
        QCOMPARE(info.entryName, QStringLiteral("ktavro"));
        QCOMPARE(info.entryFolder, KExportPictrueMgr::addonFolder());
        // No meta file beside the test binary: the built-in one is read.
        QCOMPARE(KExportPictrueMgr::metaFilePath(), QStringLiteral(":/ktavro/meta.json"));
        QCOMPARE(info.displayName, QStringLiteral("Export as Picture"));
        QCOMPARE(kesstools::app::getMetaValue(QStringLiteral("appId")).toString(), QStringLiteral("export_photo"));

        const KEssLaunchInfo *launch = kesstools::app::getLaunchInfo();
        QVERIFY(launch);
        QCOMPARE(launch->entry, PairString(QStringLiteral("ktavro"), KExportPictrueMgr::addonFolder()));
        QVERIFY(QMetaType::type("PairString") != QMetaType::UnknownType);
    }

    void themeHookNeedsTheSandbox()
    {
        KExportPictrueMgr *mgr = KExportPictrueMgr::instance();
        const QString temp = GetSandbox()->tempDir().absolutePath();
        QFile file(temp + QStringLiteral("/left.tmp"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        // Unload: the clean-up scheduled at start empties the temp folder.
        DestroySandbox();
        QVERIFY(!file.exists());

        QTest::ignoreMessage(QtCriticalMsg,
                             QRegularExpression(QStringLiteral(
                                 "^\\(0x[0-9a-f]+ KExportPictrueMgr::installThemeHook@\\d+\\) Cannot get sandbox\\. Register resource failed\\.$")));
        QVERIFY(!mgr->installThemeHook());
    }

    void quitReleasesTheAdapter()
    {
        KExportPictrueMgr *mgr = KExportPictrueMgr::instance();
        QVERIFY(GetApplicationAdapter());
        QSignalSpy destroyed(mgr, &QObject::destroyed);
        QMetaObject::invokeMethod(qApp, "aboutToQuit"); // the signal is private to Qt
        QCOMPARE(destroyed.count(), 1);
        QCOMPARE(GetApplicationAdapter(), nullptr);
    }
};

KTAVRO_TEST_MAIN(TestExportPictrueMgr)
#include "tst_exportpictruemgr.moc"
