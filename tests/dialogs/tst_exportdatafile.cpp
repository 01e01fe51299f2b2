#include "ktestfiles.h"
#include "ktestmain.h"

#include <kexportdatafile.h>
#include <kexportpictruemgr.h>

#include <QDir>
#include <QTemporaryDir>


namespace {
QByteArray watermarkXml(const QString &attributes)
{
    return QStringLiteral("<data><watermark %1/></data>").arg(attributes).toUtf8();
}

} // namespace

class TestExportDataFile : public QObject
{
    Q_OBJECT
private slots:
    void pathIsTheAddonsDataFile()
    {
        const QString expected = qEnvironmentVariable("XDG_DATA_HOME")
            + QStringLiteral("/brindlex/vyx/addons/data/win-i386/ktavro/data");
        QCOMPARE(kexportdata::defaultPath(), QDir::toNativeSeparators(expected));
    }

    void readsWatermarkAttributes_data()
    {
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("policy");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("rotate");
        QTest::addColumn<double>("opacity");
        QTest::addColumn<QString>("color");

        // Defaults: text stamp, tile, mid, 330 degrees, 0.1, black.
        QTest::newRow("none present") << "" << 0 << 1 << 1 << 330 << 0.1 << "#000000";
        QTest::newRow("all in range") << "style='3' policy='0' size='2' rotate='45' opacity='0.5' color='12ab9f'"
                                      << 3 << 0 << 2 << 45 << 0.5 << "#12ab9f";
        QTest::newRow("picture style") << "style='6'" << 6 << 1 << 1 << 330 << 0.1 << "#000000";
        QTest::newRow("style 9 keeps the default") << "style='9'" << 0 << 1 << 1 << 330 << 0.1 << "#000000";
        QTest::newRow("style none becomes text") << "style='-1'" << 0 << 1 << 1 << 330 << 0.1 << "#000000";
        QTest::newRow("policy 2 ignored") << "policy='2'" << 0 << 1 << 1 << 330 << 0.1 << "#000000";
        QTest::newRow("size 3 ignored") << "size='3' policy='0'" << 0 << 0 << 1 << 330 << 0.1 << "#000000";
        QTest::newRow("rotate taken as read") << "rotate='720'" << 0 << 1 << 1 << 720 << 0.1 << "#000000";
        QTest::newRow("rotate not a number") << "rotate='abc'" << 0 << 1 << 1 << 330 << 0.1 << "#000000";
        QTest::newRow("opacity below 0 is full") << "opacity='-0.5'" << 0 << 1 << 1 << 330 << 1.0 << "#000000";
        QTest::newRow("opacity above 1 is full") << "opacity='2'" << 0 << 1 << 1 << 330 << 1.0 << "#000000";
        QTest::newRow("opacity 0 kept") << "opacity='0'" << 0 << 1 << 1 << 330 << 0.0 << "#000000";
        QTest::newRow("opacity garbage ignored") << "opacity='x'" << 0 << 1 << 1 << 330 << 0.1 << "#000000";
        QTest::newRow("opacity nan ignored") << "opacity='nan'" << 0 << 1 << 1 << 330 << 0.1 << "#000000";
        QTest::newRow("colour ffffff") << "color='FFFFFF'" << 0 << 1 << 1 << 330 << 0.1 << "#ffffff";
        QTest::newRow("colour of eight digits dropped") << "color='ff123456'" << 0 << 1 << 1 << 330 << 0.1 << "#000000";
        QTest::newRow("colour not hex dropped") << "color='zz0000'" << 0 << 1 << 1 << 330 << 0.1 << "#000000";
    }

    void readsWatermarkAttributes()
    {
        QFETCH(QString, attributes);
        QFETCH(int, style);
        QFETCH(int, policy);
        QFETCH(int, size);
        QFETCH(int, rotate);
        QFETCH(double, opacity);
        QFETCH(QString, color);
        const WatermarkSetting w = kexportdata::parse(watermarkXml(attributes)).watermark;
        QCOMPARE(w.style(), style);
        QCOMPARE(w.policy(), policy);
        QCOMPARE(w.size(), size);
        QCOMPARE(w.rotate(), rotate);
        QCOMPARE(w.opacity(), opacity);
        QCOMPARE(w.color().name(), color);
        QCOMPARE(w.color().alpha(), 255);
    }

    void readsRecentColors_data()
    {
        QTest::addColumn<QString>("colors");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("in order") << "ff0000;00ff00;0000FF" << QStringList{"#ff0000", "#00ff00", "#0000ff"};
        QTest::newRow("empty parts dropped") << ";ff0000;;00ff00;" << QStringList{"#ff0000", "#00ff00"};
        QTest::newRow("eight digits dropped") << "ff0000;ff00ff00;123456" << QStringList{"#ff0000", "#123456"};
        QTest::newRow("not hex dropped") << "red;abc" << QStringList{"#000abc"};
        QTest::newRow("empty") << "" << QStringList{};
    }

    void readsRecentColors()
    {
        QFETCH(QString, colors);
        QFETCH(QStringList, expected);
        const QByteArray xml = QStringLiteral("<data><recentcolors colors='%1'/></data>").arg(colors).toUtf8();
        QStringList names;
        for (const QColor &c : kexportdata::parse(xml).recentColors)
            names << c.name();
        QCOMPARE(names, expected);
    }

    void badFilesGiveDefaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not xml") << QByteArray("\x01\x02 garbage <<");
        QTest::newRow("cut short") << QByteArray("<data><watermark style='3'");
        QTest::newRow("other root") << QByteArray("<other><watermark style='3'/></other>");
    }

    void badFilesGiveDefaults()
    {
        QFETCH(QByteArray, content);
        const KExportData data = kexportdata::parse(content);
        QCOMPARE(data.watermark.style(), 0);
        QCOMPARE(data.watermark.opacity(), 0.1);
        QVERIFY(data.recentColors.isEmpty());
    }

    void writeThenReadKeepsEverything()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("new/ktavro/data"));
        KExportData data;
        data.watermark.setStyle(WatermarkStyleEllipse);
        data.watermark.setPolicy(WatermarkPolicyCenter);
        data.watermark.setSize(WatermarkSizeLarge);
        data.watermark.setRotate(15);
        data.watermark.setOpacity(0.35);
        data.watermark.setColor(QColor(0x0a, 0xbc, 0xde));
        data.recentColors = {QColor(Qt::red), QColor(0x0a, 0x0b, 0x0c)};
        QVERIFY(kexportdata::write(path, data));

        const QByteArray bytes = ktest::readFile(path);
        QVERIFY(bytes.contains("color=\"0abcde\""));
        QVERIFY(bytes.contains("colors=\"ff0000;0a0b0c\""));
        QVERIFY(bytes.contains("\n    <watermark")); // indentation 4

        const KExportData back = kexportdata::read(path);
        QCOMPARE(back.watermark.style(), int(WatermarkStyleEllipse));
        QCOMPARE(back.watermark.policy(), int(WatermarkPolicyCenter));
        QCOMPARE(back.watermark.size(), int(WatermarkSizeLarge));
        QCOMPARE(back.watermark.rotate(), 15);
        QCOMPARE(back.watermark.opacity(), 0.35);
        QCOMPARE(back.watermark.color(), QColor(0x0a, 0xbc, 0xde));
        QCOMPARE(back.recentColors, data.recentColors);
    }

    void readingCreatesTheFolder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a/b/data"));
        kexportdata::read(path);
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("a/b"))).isDir());
        QVERIFY(!QFile::exists(path));
    }

    void failedSaveKeepsThePreviousFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data"));
        KExportData first;
        first.watermark.setRotate(12);
        QVERIFY(kexportdata::write(path, first));
        const QByteArray before = ktest::readFile(path);

        KExportData second;
        for (int i = 0; i < 400; ++i)
            second.recentColors << QColor(QRgb(i));
        {
            const ktest::FileSizeLimit limit(before.size() + 64);
            QVERIFY(!kexportdata::write(path, second));
        }
        QCOMPARE(ktest::readFile(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("data")});
    }

    void recentColorGoesFirst_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QStringList>("after");
        const QStringList eleven{"#000001", "#000002", "#000003", "#000004", "#000005", "#000006",
                                 "#000007", "#000008", "#000009", "#00000a", "#00000b"};
        QTest::newRow("into empty") << QStringList{} << "#ff0000" << QStringList{"#ff0000"};
        QTest::newRow("third moves to front")
            << QStringList{"#000001", "#000002", "#000003", "#000004"} << "#000003"
            << QStringList{"#000003", "#000001", "#000002", "#000004"};
        QStringList dropped = eleven.mid(0, 10);
        dropped.prepend(QStringLiteral("#ffffff"));
        QTest::newRow("twelfth drops the oldest") << eleven << "#ffffff" << dropped;
        QTest::newRow("invalid ignored") << QStringList{"#000001"} << "" << QStringList{"#000001"};
    }

    void recentColorGoesFirst()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, added);
        QFETCH(QStringList, after);
        QList<QColor> colors;
        for (const QString &name : before)
            colors << QColor(name);
        QStringList names;
        for (const QColor &c : kexportdata::withRecentColor(colors, QColor(added)))
            names << c.name();
        QCOMPARE(names, after);
    }

    void managerStoresAndSaves()
    {
        KExportPictrueMgr *mgr = KExportPictrueMgr::instance();
        QCOMPARE(mgr->dataFilePath(), kexportdata::defaultPath());
        QCOMPARE(mgr->customWatermark().style(), 0);

        WatermarkSetting w;
        w.setStyle(WatermarkStyleCircle);
        w.setColor(QColor(0x11, 0x22, 0x33));
        QVERIFY(mgr->setCustomWatermark(w));
        QCOMPARE(kexportdata::read(mgr->dataFilePath()).watermark.style(), int(WatermarkStyleCircle));

        mgr->addRecentColor(QColor(Qt::blue));
        mgr->setRecentColors({});
        QCOMPARE(mgr->recentColors(), QList<QColor>{QColor(Qt::blue)});
        QVERIFY(kexportdata::read(mgr->dataFilePath()).recentColors.isEmpty()); // not saved yet
        QVERIFY(mgr->saveDataFile());
        QCOMPARE(kexportdata::read(mgr->dataFilePath()).recentColors, QList<QColor>{QColor(Qt::blue)});
        QCOMPARE(kexportdata::read(mgr->dataFilePath()).watermark.color(), QColor(0x11, 0x22, 0x33));
    }
};

KTAVRO_TEST_MAIN(TestExportDataFile)
#include "tst_exportdatafile.moc"
