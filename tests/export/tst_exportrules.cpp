#include "ktestmain.h"

#include <kexportcomponent.h>
#include <kexportrules.h>
#include <koutputpath.h>
#include <kpathtext.h>
#include <pagerange.h>

#include <QSet>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(KExportComponent::Kind)

namespace {

const QDateTime kNow(QDate(2026, 1, 2), QTime(3, 4, 5));

} // namespace

class TestExportRules : public QObject
{
    Q_OBJECT
private slots:
    void formats_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("format");
        for (const char *name : {"jpg", "png", "bmp", "tif"})
            QTest::newRow(name) << name << name;
        QTest::newRow("jpeg") << "jpeg" << "jpg";
        QTest::newRow("upper-case JPEG") << "JPEG" << "jpg";
        QTest::newRow("mixed-case Tiff") << "Tiff" << "tif";
        QTest::newRow("upper-case PNG") << "PNG" << "png";
        QTest::newRow("gif") << "gif" << "";
        QTest::newRow("trailing blank") << "png " << "";
        QTest::newRow("with its dot") << ".png" << "";
        QTest::newRow("empty") << "" << "";
    }

    // The command line's format names and the writer's suffixes are one list.
    void formats()
    {
        QFETCH(QString, name);
        QFETCH(QString, format);
        QCOMPARE(KExportRules::formatOf(name), format);
        QCOMPARE(KExportRules::formatForSuffix(name), format.toLatin1());
        QCOMPARE(KExportRules::formats().contains(format), !format.isEmpty());
    }

    void qualities_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<bool>("offered");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("longAllowed");
        QTest::newRow("100") << 100 << true << 96 << true;
        QTest::newRow("200") << 200 << true << 192 << true;
        QTest::newRow("300") << 300 << true << 288 << false;
        QTest::newRow("600") << 600 << true << 576 << false;
        QTest::newRow("150 is not offered") << 150 << false << 144 << true;
        QTest::newRow("400 is not offered") << 400 << false << 384 << false;
    }

    void qualities()
    {
        QFETCH(int, percent);
        QFETCH(bool, offered);
        QFETCH(int, dpi);
        QFETCH(bool, longAllowed);
        QCOMPARE(KExportRules::qualities().contains(percent), offered);
        QCOMPARE(KExportRules::dpiForQuality(percent), dpi);
        QCOMPARE(KExportRules::qualityForDpi(dpi), percent);
        for (const auto kind : {KExportComponent::Writer, KExportComponent::Spreadsheet, KExportComponent::Pdf})
            QCOMPARE(KExportRules::allowsLongQuality(KExportComponent::of(kind), percent), longAllowed);
    }

    void longPageLimit_data()
    {
        QTest::addColumn<KExportComponent::Kind>("kind");
        QTest::addColumn<int>("percent");
        QTest::addColumn<qint64>("pages");
        QTest::addColumn<QString>("message"); // "" when the pages may be exported
        const auto text = [](int limit, int percent, const char *tail) {
            return QStringLiteral("%1 doc pages can support when export image as long picture\n whit %2 %,please adjust "
                                  "doc pages%3 and try again")
                .arg(limit)
                .arg(percent)
                .arg(QLatin1String(tail));
        };
        const char *lower = " or reduce the image quality";
        QTest::newRow("writer, 25 pages at 100") << KExportComponent::Writer << 100 << qint64(25) << "";
        QTest::newRow("writer, 26 pages at 100") << KExportComponent::Writer << 100 << qint64(26) << text(25, 100, "");
        QTest::newRow("writer, 15 pages at 200") << KExportComponent::Writer << 200 << qint64(15) << "";
        QTest::newRow("writer, 16 pages at 200") << KExportComponent::Writer << 200 << qint64(16) << text(15, 200, lower);
        QTest::newRow("slides, 16 pages at 300") << KExportComponent::Presentation << 300 << qint64(16)
                                                 << text(15, 300, lower);
        QTest::newRow("sheet, no page") << KExportComponent::Spreadsheet << 100 << qint64(0) << text(25, 100, "");
        QTest::newRow("more pages than an int") << KExportComponent::Writer << 100 << (qint64(1) << 33)
                                                << text(25, 100, "");
        QTest::newRow("PDF has no limit") << KExportComponent::Pdf << 200 << qint64(5000) << "";
    }

    void longPageLimit()
    {
        QFETCH(KExportComponent::Kind, kind);
        QFETCH(int, percent);
        QFETCH(qint64, pages);
        QFETCH(QString, message);
        const KExportRules::Refusal r = KExportRules::longPageLimit(KExportComponent::of(kind),
                                                                    KExportRules::dpiForQuality(percent), pages);
        QCOMPARE(r.isSet(), !message.isEmpty());
        QCOMPARE(r.title, message.isEmpty() ? QString() : QStringLiteral("Out of range"));
        QCOMPARE(r.message, message);
    }

    void sizeLimits_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("problem");
        const QString jpeg = QStringLiteral("a JPEG picture can be at most 65535 pixels wide and high, this one is %1");
        const QString png = QStringLiteral("a PNG picture can be at most 1000000 pixels wide and high, this one is %1");
        QTest::newRow("jpg at its limit") << "jpg" << QSize(65535, 65535) << "";
        QTest::newRow("jpg one too wide") << "jpg" << QSize(65536, 10) << jpeg.arg("65536 x 10");
        QTest::newRow("jpeg one too high") << "JPEG" << QSize(10, 65536) << jpeg.arg("10 x 65536");
        QTest::newRow("png past the jpeg limit") << "png" << QSize(10, 65536) << "";
        QTest::newRow("png at its limit") << "png" << QSize(1000000, 1) << "";
        QTest::newRow("png one too high") << "png" << QSize(1, 1000001) << png.arg("1 x 1000001");
        QTest::newRow("bmp has no side limit") << "bmp" << QSize(2000000, 2000000) << "";
        QTest::newRow("tiff has no side limit") << "tiff" << QSize(2000000, 2000000) << "";
        QTest::newRow("unknown format") << "gif" << QSize(2000000, 2000000) << "";
    }

    void sizeLimits()
    {
        QFETCH(QString, suffix);
        QFETCH(QSize, size);
        QFETCH(QString, problem);
        QCOMPARE(KExportRules::sizeProblem(size, KExportRules::formatForSuffix(suffix)), problem);
    }

    void outputNames_data()
    {
        QTest::addColumn<KExportComponent::Kind>("kind");
        QTest::addColumn<QString>("document");
        QTest::addColumn<bool>("longPicture");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("output");
        QTest::newRow("writer, long") << KExportComponent::Writer << "/d/Report.md" << true << "Report" << "/d/Report.png";
        QTest::newRow("writer, each page") << KExportComponent::Writer << "/d/Report.md" << false << "Report" << "/d";
        QTest::newRow("last dot only") << KExportComponent::Presentation << "/d/a.b.slides.md" << true << "a.b.slides"
                                       << "/d/a.b.slides.png";
        QTest::newRow("placeholder kept") << KExportComponent::Spreadsheet << "/d/R%1.csv" << true << "R%1" << "/d/R%1.png";
        QTest::newRow("leading dot kept") << KExportComponent::Writer << "/d/.md" << true << ".md" << "/d/.md.png";
        QTest::newRow("PDF long goes to the folder") << KExportComponent::Pdf << "/d/Scan.pdf" << true << "Scan" << "/d";
        QTest::newRow("untitled PDF") << KExportComponent::Pdf << "/d/" << false << "PDF20260102030405" << "/d";
        QTest::newRow("untitled writer") << KExportComponent::Writer << "/d/" << true << "20260102030405"
                                         << "/d/20260102030405.png";
    }

    void outputNames()
    {
        QFETCH(KExportComponent::Kind, kind);
        QFETCH(QString, document);
        QFETCH(bool, longPicture);
        QFETCH(QString, base);
        QFETCH(QString, output);
        const KExportComponent &component = KExportComponent::of(kind);
        QCOMPARE(KExportRules::baseName(document, component, kNow), base);
        QCOMPARE(KExportRules::defaultOutput(document, component, longPicture, QStringLiteral("png"), kNow), output);
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("part");
        QTest::newRow("first") << "/o/Report/" << "Report" << 1 << "/o/Report/Report_01.png" << "/o/Report/Report_1.png";
        QTest::newRow("zero") << "/o/R/" << "R" << 0 << "/o/R/R_00.png" << "/o/R/R_0.png";
        QTest::newRow("three digits") << "/o/R/" << "R" << 100 << "/o/R/R_100.png" << "/o/R/R_100.png";
        QTest::newRow("placeholder in the name") << "/o/R%1/" << "R%1" << 2 << "/o/R%1/R%1_02.png" << "/o/R%1/R%1_2.png";
        QTest::newRow("encoded slash in the name") << "/o/a%2Fb/" << "a%2Fb" << 100 << "/o/a%2Fb/a%2Fb_100.png"
                                                   << "/o/a%2Fb/a%2Fb_100.png";
    }

    void fileNames()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(int, number);
        QFETCH(QString, page);
        QFETCH(QString, part);
        QCOMPARE(KExportRules::pageFilePath(folder, name, number, QStringLiteral("png")), page);
        QCOMPARE(KExportRules::partFilePath(folder, name, number, QStringLiteral("png")), part);
    }

    void claimNumberedFolder_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QStringList>("taken"); // "*" for every name
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("claimed");
        QTest::addColumn<int>("tries");
        QTest::newRow("free") << "/o/R" << QStringList() << "" << "/o/R" << 1;
        QTest::newRow("taken names skipped") << "/o/R" << QStringList{"/o/R", "/o/R(1)"} << "" << "/o/R(2)" << 3;
        QTest::newRow("a gap is used") << "/o/R" << QStringList{"/o/R", "/o/R(2)"} << "" << "/o/R(1)" << 2;
        QTest::newRow("placeholder kept") << "/o/R%1" << QStringList{"/o/R%1"} << "" << "/o/R%1(1)" << 2;
        QTest::newRow("a failure stops") << "/o/R" << QStringList{"/o/R"} << "/o/R(1)" << "" << 2;
        QTest::newRow("every name taken") << "/o/R" << QStringList{"*"} << "" << "" << KExportRules::kMaxNumberedFolders;
    }

    void claimNumberedFolder()
    {
        QFETCH(QString, base);
        QFETCH(QStringList, taken);
        QFETCH(QString, failing);
        QFETCH(QString, claimed);
        QFETCH(int, tries);
        QStringList tried;
        const QString result = KExportRules::claimNumberedFolder(base, [&](const QString &folder) {
            tried.append(folder);
            if (folder == failing)
                return KExportRules::Claim::Failed;
            if (taken.contains(folder) || taken.contains(QStringLiteral("*")))
                return KExportRules::Claim::Taken;
            return KExportRules::Claim::Claimed;
        });
        QCOMPARE(result, claimed);
        QCOMPARE(tried.size(), tries);
        QCOMPARE(QSet<QString>(tried.begin(), tried.end()).size(), tries); // no name asked twice
        QCOMPARE(tried.last(), tries == 1 ? base : base + QStringLiteral("(%1)").arg(tries - 1));
    }

    void paths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("longPicture");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<bool>("exists");
        const QString format = QStringLiteral("Invalid image format,please reselect and try again");
        const QString place = QStringLiteral("Export path does not exist,please input a valid local path");
        const QString folder = QStringLiteral("Invalid file path,please reselect and try again");
        QTest::newRow("upper-case suffix") << "Report.PNG" << true << "" << "" << false;
        QTest::newRow("jpeg") << "Report.jpeg" << true << "" << "" << false;
        QTest::newRow("tiff") << "Report.tiff" << true << "" << "" << false;
        QTest::newRow("one-letter base") << "a.png" << true << "" << "" << false;
        QTest::newRow("missing folders are creatable") << "new/deeper/pic.png" << true << "" << "" << false;
        QTest::newRow("missing folder for pages") << "new/deeper" << false << "" << "" << false;
        QTest::newRow("existing picture") << "old.png" << true << "" << "" << true;
        QTest::newRow("link that leads nowhere") << "dangling.png" << true << "" << "" << true;
        QTest::newRow("gif") << "Report.gif" << true << format << "Report.gif: the name must end in" << false;
        QTest::newRow("no suffix") << "Report" << true << format << "Report: the name" << false;
        QTest::newRow("refused name in missing folders") << "new/sub/x.txt" << true << format << "x.txt" << false;
        QTest::newRow("only a dot and suffix") << ".png" << true << place << ".png: the picture needs a file name" << false;
        QTest::newRow("forbidden character") << "a*b.png" << true
                                             << "A file name can't contain any of the following characters: \\/:*?\"<>|"
                                             << "a*b.png" << false;
        QTest::newRow("folder under a file") << "file/sub" << false << folder << "file: not a folder" << false;
        QTest::newRow("picture under a file") << "file/sub/x.png" << true << folder << "file: not a folder" << false;
        QTest::newRow("under a link to nowhere") << "dangling/sub/x.png" << true << folder << "dangling: not a folder"
                                                 << false;
        QTest::newRow("folder named like the picture") << "shots.png" << true << folder << "shots.png: is a folder"
                                                       << false;
    }

    // Checking creates nothing, whatever the answer: folders are made when pictures are written.
    void paths()
    {
        QFETCH(QString, path);
        QFETCH(bool, longPicture);
        QFETCH(QString, message);
        QFETCH(QString, detail);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("shots.png"));
        QFile(dir.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly);
        QFile(dir.filePath(QStringLiteral("old.png"))).open(QIODevice::WriteOnly);
        QFile::link(dir.filePath(QStringLiteral("nowhere")), dir.filePath(QStringLiteral("dangling")));
        QFile::link(dir.filePath(QStringLiteral("nowhere.png")), dir.filePath(QStringLiteral("dangling.png")));
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        const KOutputPath::Check check = KOutputPath::check(dir.filePath(path), longPicture);
        QCOMPARE(check.ok, message.isEmpty());
        QCOMPARE(check.message, message);
        QVERIFY2(check.detail.contains(detail), qPrintable(check.detail));
        QCOMPARE(check.detail.isEmpty(), detail.isEmpty());
        QCOMPARE(check.exists, exists);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), before);
    }

    void pathShapes()
    {
        QTemporaryDir dir;
        QCOMPARE(KOutputPath::check(QString(), true).message, QStringLiteral("Export path can't be empty,please input file path"));
        QCOMPARE(KOutputPath::check(QStringLiteral("/"), false).message,
                 QStringLiteral("Export path length must be between 2 and 260 characters"));
        QVERIFY(!KOutputPath::check(QLatin1Char('/') + QString(300, QLatin1Char('a')), false).ok);
        // A drive letter passes the length test, then names no place here.
        for (const char *drive : {"C:", "D:\\pics\\a.png"})
            QCOMPARE(KOutputPath::check(QString::fromLatin1(drive), true).message,
                     QStringLiteral("Export path does not exist,please input a valid local path"));

        const KOutputPath::Check doubled = KOutputPath::check(dir.path() + QStringLiteral("//new//deeper/pic.png"), true);
        QVERIFY(doubled.ok);
        QCOMPARE(doubled.normalized, dir.path() + QStringLiteral("/new/deeper/pic.png"));
        QCOMPARE(KOutputPath::normalize(QStringLiteral("\\\\server\\share\\\\x")), QStringLiteral("//server/share/x"));
        QCOMPARE(KOutputPath::withoutExtension(QStringLiteral("a.b.md")), QStringLiteral("a.b"));
        QCOMPARE(KOutputPath::withoutExtension(QStringLiteral(".md")), QStringLiteral(".md"));
        QCOMPARE(kpathtext::printable(QStringLiteral("a\nb\tc\x7f\u0085d%1")), QStringLiteral("a\\nb\\x09c\\x7f\\x85d%1"));
    }

    void pageRangeTexts()
    {
        QList<PageRange> ranges;
        QVERIFY(parsePageRanges(QStringLiteral("1,3,5-10"), 10, &ranges));
        QCOMPARE(ranges, QList<PageRange>({{1, 1}, {3, 3}, {5, 10}}));
        QVERIFY(parsePageRanges(QStringLiteral(" 3-3 "), 10, &ranges));
        QVERIFY(parsePageRanges(QStringLiteral("10"), 10, &ranges));
        QCOMPARE(ranges, QList<PageRange>({{10, 10}}));
        for (const char *bad : {"0-2", "4-3", "11", "9-12", "1-2-3", ",1", "-1", "1,", "1,,2", "3-", "", "a", "99999999999"})
            QVERIFY2(!parsePageRanges(QString::fromLatin1(bad), 10, &ranges), bad);
    }
};

KTAVRO_TEST_MAIN(TestExportRules)
#include "tst_exportrules.moc"
