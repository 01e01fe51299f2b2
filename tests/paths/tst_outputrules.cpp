#include "ktestmain.h"

#include <koutputpath.h>
#include <pagerange.h>

#include <QTemporaryDir>

class TestOutputRules : public QObject
{
    Q_OBJECT
private slots:
    void longPicturePaths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("message");
        const QString format = QStringLiteral("Invalid image format,please reselect and try again");
        const QString place = QStringLiteral("Export path does not exist,please input a valid local path");
        QTest::newRow("upper-case suffix") << "Report.PNG" << true << "";
        QTest::newRow("jpeg") << "Report.jpeg" << true << "";
        QTest::newRow("one-letter base") << "a.png" << true << "";
        QTest::newRow("gif") << "Report.gif" << false << format;
        QTest::newRow("no suffix") << "Report" << false << format;
        QTest::newRow("only a dot and suffix") << ".png" << false << place;
        QTest::newRow("forbidden character") << "a*b.png" << false
                                             << "A file name can't contain any of the following characters: \\/:*?\"<>|";
    }

    void longPicturePaths()
    {
        QFETCH(QString, name);
        QFETCH(bool, ok);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const KOutputPath::Check check = KOutputPath::check(dir.path() + QLatin1Char('/') + name, true);
        QCOMPARE(check.ok, ok);
        QCOMPARE(check.message, message);
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
        QVERIFY(QFileInfo(dir.path() + QStringLiteral("/new/deeper")).isDir());
        QVERIFY(!doubled.exists);
        QFile(doubled.normalized).open(QIODevice::WriteOnly);
        QVERIFY(KOutputPath::check(doubled.normalized, true).exists);

        QFile(dir.path() + QStringLiteral("/file")).open(QIODevice::WriteOnly);
        QCOMPARE(KOutputPath::check(dir.path() + QStringLiteral("/file/sub"), false).message,
                 QStringLiteral("Invalid file path,please reselect and try again"));
        QCOMPARE(KOutputPath::normalize(QStringLiteral("\\\\server\\share\\\\x")), QStringLiteral("//server/share/x"));
        QCOMPARE(KOutputPath::withoutExtension(QStringLiteral("a.b.md")), QStringLiteral("a.b"));
        QCOMPARE(KOutputPath::withoutExtension(QStringLiteral(".md")), QStringLiteral(".md"));
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

KTAVRO_TEST_MAIN(TestOutputRules)
#include "tst_outputrules.moc"
