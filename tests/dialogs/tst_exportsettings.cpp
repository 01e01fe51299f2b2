#include "ktestmain.h"

#include <kesssandbox.h>
#include <kexportpictruemgr.h>
#include <kexportsettings.h>
#include <kregistry.h>
#include <klitestyle.h>
#include <kresourcemgr.h>

#include <QIcon>
#include <QTemporaryDir>

namespace {
const QString kSandboxKey = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Brindlex\\Office\\6.0\\plugins\\export_photo");
}

class TestExportSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(KExportPictrueMgr::instance());
        QVERIFY(GetSandbox());
    }

    void defaultsWhenAbsent()
    {
        QCOMPARE(kexportsettings::imageFormat(), -1);
        QCOMPARE(kexportsettings::outputFilePath(), QString());
        QCOMPARE(kexportsettings::backupToCloud(), false);
        QCOMPARE(kexportsettings::compactBackupToCloud(), false);
    }

    void storedFormat_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("read");
        QTest::newRow("jpg") << QVariant(0) << 0;
        QTest::newRow("tif") << QVariant(3) << 3;
        QTest::newRow("above the list") << QVariant(4) << -1;
        QTest::newRow("negative") << QVariant(-7) << -1;
        QTest::newRow("not a number") << QVariant(QStringLiteral("png")) << -1;
    }

    void storedFormat()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, read);
        // Written as another version or a person may have left it in the store.
        QVERIFY(KRegistry::setValue(kSandboxKey, QStringLiteral("SelectedImageFormat"), stored));
        QCOMPARE(kexportsettings::imageFormat(), read);
    }

    void roundTripThroughTheSandboxStore_data()
    {
        QTest::addColumn<bool>("inFile");
        QTest::newRow("registry") << false;
        QTest::newRow("settings.ini") << true;
    }

    void roundTripThroughTheSandboxStore()
    {
        QFETCH(bool, inFile);
        GetSandbox()->setSettingsInFile(inFile);
        kexportsettings::setImageFormat(2);
        kexportsettings::setOutputFilePath(QStringLiteral("/pics/out/"));
        kexportsettings::setBackupToCloud(true);
        QCOMPARE(kexportsettings::imageFormat(), 2);
        QCOMPARE(kexportsettings::outputFilePath(), QStringLiteral("/pics/out/"));
        QCOMPARE(kexportsettings::backupToCloud(), true);
        QCOMPARE(GetSandbox()->value(QStringLiteral("SelectedOutputFilePath")).toString(), QStringLiteral("/pics/out/"));
        kexportsettings::setBackupToCloud(false);
        QCOMPARE(kexportsettings::backupToCloud(), false);
        GetSandbox()->setSettingsInFile(false);
    }

    void compactDialogUsesItsOwnKey()
    {
        kexportsettings::setCompactBackupToCloud(true);
        QCOMPARE(KRegistry::value(kexportsettings::compactDialogKey(), QStringLiteral("enableBackupToCloud")).toBool(), true);
        QCOMPARE(kexportsettings::compactBackupToCloud(), true);
        QCOMPARE(kexportsettings::backupToCloud(), false);
    }

    void iconsByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("folder");
        for (const char *name : {"eachpage", "longpicture", "corner-tick", "preview-template"})
            QTest::newRow(name) << name << "other";
        QTest::newRow("logo") << "logo" << "32x32";
        QTest::newRow("browser") << "browser" << "16x16";
    }

    void iconsByName()
    {
        QFETCH(QString, name);
        QFETCH(QString, folder);
        KExportPictrueMgr *mgr = KExportPictrueMgr::instance();
        QCOMPARE(mgr->resourceMgr()->iconPath(name),
                 QStringLiteral(":kexportpic/shape/svg/%1/%2.svg").arg(folder, name));
        const QImage image = mgr->icon(name).pixmap(32, 32).toImage();
        QVERIFY(!image.isNull());
        bool painted = false;
        for (int y = 0; y < image.height() && !painted; ++y)
            for (int x = 0; x < image.width() && !painted; ++x)
                painted = qAlpha(image.pixel(x, y)) > 0;
        QVERIFY2(painted, "the icon draws nothing");
    }

    void unknownIconIsNull()
    {
        QVERIFY(KExportPictrueMgr::instance()->icon(QStringLiteral("no-such-icon")).isNull());
        QVERIFY(KExportPictrueMgr::instance()->icon(QString()).isNull());
    }

    void languageFileFallsBack_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("found");
        QTest::newRow("full name first") << QStringList{"zh_CN", "zh", "default"} << "zh_CN" << "zh_CN";
        QTest::newRow("bare language") << QStringList{"zh", "default"} << "zh-CN" << "zh";
        QTest::newRow("default") << QStringList{"default"} << "de_DE" << "default";
        QTest::newRow("none") << QStringList{"fr"} << "de_DE" << "";
    }

    void languageFileFallsBack()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, locale);
        QFETCH(QString, found);
        QTemporaryDir mui;
        for (const QString &language : present) {
            QVERIFY(QDir(mui.path()).mkpath(language));
            QFile file(mui.filePath(language + QStringLiteral("/icons_svg.data")));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString expected = found.isEmpty() ? QString() : mui.filePath(found + QStringLiteral("/icons_svg.data"));
        QCOMPARE(KResourceMgr::languageFile(mui.path(), QStringLiteral("icons_svg.data"), locale), expected);
    }

    void imagesFollowTheDisplayScale_data()
    {
        QTest::addColumn<double>("factor");
        QTest::addColumn<QString>("path");
        QTest::newRow("100 %") << 1.0 << ":/localindex/shape/watermark.png";
        QTest::newRow("199 %") << 1.99 << ":/localindex/shape/watermark.png";
        QTest::newRow("200 %") << 2.0 << ":/localindex/shape/highdpi/watermark.png";
    }

    void imagesFollowTheDisplayScale()
    {
        QFETCH(double, factor);
        QFETCH(QString, path);
        KLiteStyle::setScaleFactor(factor);
        const QString found = KExportPictrueMgr::imageFilePath(QStringLiteral("watermark.png"));
        KLiteStyle::setScaleFactor(1.0);
        QCOMPARE(found, path);
        QVERIFY(!QImage(found).isNull());
    }

    void vectorImagesFallBackToSvg_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::newRow("png without picture") << "eachpage.png" << ":/localindex/shape/svg/eachpage.svg";
        QTest::newRow("svg as given") << "eachpage.svg" << ":/localindex/shape/svg/eachpage.svg";
        QTest::newRow("other suffix as given") << "x.gif" << ":/localindex/shape/svg/x.gif";
    }

    void vectorImagesFallBackToSvg()
    {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QCOMPARE(KExportPictrueMgr::vectorImagePath(name), path);
    }

    void releasedResourcesAreUnregistered()
    {
        const QString data = KExportPictrueMgr::addonFolder() + QStringLiteral("/mui/default/icons_svg.data");
        {
            KResourceMgr mgr({QStringLiteral(":/kexportpic/shape/svg/other/")});
            QVERIFY(mgr.registerResource(data));
            QVERIFY(mgr.registerResource(data)); // once only
            QCOMPARE(mgr.registeredFiles().size(), 1);
        }
        // The manager's own registration still holds.
        QVERIFY(!KExportPictrueMgr::instance()->icon(QStringLiteral("logo")).isNull());
        QVERIFY(!KResourceMgr({}).registerResource(QStringLiteral("/no/such.rcc")));
    }
};

KTAVRO_TEST_MAIN(TestExportSettings)
#include "tst_exportsettings.moc"
