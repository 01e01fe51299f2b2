#include "ktestmain.h"

#include <koutputpath.h>
#include <pagerange.h>

#include <QTemporaryDir>

class TestExportRules : public QObject
{
    Q_OBJECT
private slots:
    // Each path relative to a folder holding a file "file", a picture "old.png", a folder
    // "shots.png" and links "dangling" and "dangling.png" that lead nowhere.
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
        QCOMPARE(KOutputPath::check(QStringLiteral("C:"), true).message,
                 QStringLiteral("Export path does not exist,please input a valid local path"));

        const KOutputPath::Check doubled = KOutputPath::check(dir.path() + QStringLiteral("//new//deeper/pic.png"), true);
        QVERIFY(doubled.ok);
        QCOMPARE(doubled.normalized, dir.path() + QStringLiteral("/new/deeper/pic.png"));
        QCOMPARE(KOutputPath::normalize(QStringLiteral("\\\\server\\share\\\\x")), QStringLiteral("//server/share/x"));
        QCOMPARE(KOutputPath::withoutExtension(QStringLiteral("a.b.md")), QStringLiteral("a.b"));
        QCOMPARE(KOutputPath::withoutExtension(QStringLiteral(".md")), QStringLiteral(".md"));
        QCOMPARE(KOutputPath::printable(QStringLiteral("a\nb\tc\x7f\u0085d%1")), QStringLiteral("a\\nb\\x09c\\x7f\\x85d%1"));
    }

    void pageRangeTexts()
    {
        QList<PageRange> ranges;
        QVERIFY(parsePageRanges(QStringLiteral("1,3,5-10"), 10, &ranges));
        QCOMPARE(ranges, QList<PageRange>({{1, 1}, {3, 3}, {5, 10}}));
        QVERIFY(parsePageRanges(QStringLiteral(" 3-3 "), 10, &ranges));
        for (const char *bad : {"0-2", "4-3", "11", "9-12", "1-2-3", ",1", "-1", "1,", "1,,2", "", "a"})
            QVERIFY2(!parsePageRanges(QString::fromLatin1(bad), 10, &ranges), bad);
    }
};

KTAVRO_TEST_MAIN(TestExportRules)
#include "tst_exportrules.moc"
