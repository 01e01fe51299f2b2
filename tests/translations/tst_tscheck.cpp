#include "ktestmain.h"

#include <tscheck.h>

#include <QProcess>
#include <QTemporaryDir>

namespace {

QByteArray tsWith(const QByteArray &messages)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\" language=\"zh_CN\">\n"
           "<context>\n    <name>KSample</name>\n"
        + messages + "</context>\n</TS>\n";
}

QByteArray message(const QByteArray &source, const QByteArray &translation, const QByteArray &type = QByteArray())
{
    const QByteArray attribute = type.isEmpty() ? QByteArray() : " type=\"" + type + "\"";
    return "    <message>\n        <source>" + source + "</source>\n        <translation" + attribute + ">"
        + translation + "</translation>\n    </message>\n";
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

} // namespace

class TestTsCheck : public QObject
{
    Q_OBJECT

    // Runs the build's translation check over one source folder and one .ts file.
    static int runCheck(const QString &root, QString *output)
    {
        QProcess cmake;
        cmake.setProcessChannelMode(QProcess::MergedChannels);
        cmake.start(QStringLiteral(KTAVRO_CMAKE),
                    {QStringLiteral("-DNAME=sample"), QStringLiteral("-DLANG=zh_CN"), QStringLiteral("-DSOURCE_DIR=") + root,
                     QStringLiteral("-DDIRS=src"), QStringLiteral("-DTS_DIR=") + root + QStringLiteral("/ts"),
                     QStringLiteral("-DLUPDATE=" KTAVRO_LUPDATE), QStringLiteral("-DTSCHECK=" KTAVRO_TSCHECK),
                     QStringLiteral("-DWORK=") + root + QStringLiteral("/work"),
                     QStringLiteral("-P"), QStringLiteral(KTAVRO_CHECK_SCRIPT)});
        if (!cmake.waitForFinished(120000))
            return -1;
        *output = QString::fromUtf8(cmake.readAll());
        return cmake.exitStatus() == QProcess::NormalExit ? cmake.exitCode() : -1;
    }

private slots:
    void messagesAreJudged_data()
    {
        QTest::addColumn<QByteArray>("messages");
        QTest::addColumn<int>("checked");
        QTest::addColumn<QString>("problem"); // empty: none expected

        QTest::newRow("finished") << message("Export", "导出") << 1 << QString();
        QTest::newRow("unfinished") << message("Export", "导出", "unfinished") << 1 << QStringLiteral("\"Export\" has no finished");
        QTest::newRow("empty") << message("Export", "") << 1 << QStringLiteral("\"Export\" has an empty translation");
        QTest::newRow("blank") << message("Export", "  ") << 1 << QStringLiteral("\"Export\" has an empty translation");
        QTest::newRow("no translation element")
            << QByteArray("    <message>\n        <source>Export</source>\n    </message>\n") << 1
            << QStringLiteral("\"Export\" has no translation");
        QTest::newRow("obsolete is ignored") << message("Gone", "", "obsolete") << 0 << QString();
        QTest::newRow("vanished is ignored") << message("Gone", "", "vanished") << 0 << QString();
        QTest::newRow("placeholder kept") << message("Page %1 of %2", "第 %1/%2 页") << 1 << QString();
        QTest::newRow("placeholder lost") << message("Page %1 of %2", "第 %1 页") << 1 << QStringLiteral("has placeholders %1 %2");
        QTest::newRow("placeholder invented") << message("Page", "第 %1 页") << 1 << QStringLiteral("has placeholders ");
        QTest::newRow("placeholder renumbered") << message("%1 of %2", "%2 / %3") << 1 << QStringLiteral("has placeholders");
        QTest::newRow("accelerator kept") << message("Ok(&amp;O)", "确定(&amp;O)") << 1 << QString();
        QTest::newRow("accelerator lost") << message("Ok(&amp;O)", "确定") << 1 << QStringLiteral("lost its accelerator");
        QTest::newRow("escaped ampersand is no accelerator") << message("Fish &amp;&amp; Chips", "炸鱼薯条") << 1 << QString();
        QTest::newRow("plural forms")
            << QByteArray("    <message numerus=\"yes\">\n        <source>%n page(s)</source>\n        <translation>\n"
                          "            <numerusform>%n 页</numerusform>\n        </translation>\n    </message>\n")
            << 1 << QString();
        QTest::newRow("empty plural form")
            << QByteArray("    <message numerus=\"yes\">\n        <source>%n page(s)</source>\n        <translation>\n"
                          "            <numerusform></numerusform>\n        </translation>\n    </message>\n")
            << 1 << QStringLiteral("has an empty translation");
        QTest::newRow("second of two broken") << message("Export", "导出") + message("Cancel", "", "unfinished") << 2
                                              << QStringLiteral("\"Cancel\"");
    }

    void messagesAreJudged()
    {
        QFETCH(QByteArray, messages);
        QFETCH(int, checked);
        QFETCH(QString, problem);
        const tscheck::Report report = tscheck::checkText(tsWith(messages));
        QVERIFY2(report.readError.isEmpty(), qPrintable(report.readError));
        QCOMPARE(report.messages, checked);
        if (problem.isEmpty()) {
            QVERIFY2(report.ok(), qPrintable(report.problems.join(QLatin1Char('\n'))));
        } else {
            QCOMPARE(report.problems.size(), 1);
            QVERIFY2(report.problems.first().contains(problem), qPrintable(report.problems.first()));
            QVERIFY(report.problems.first().contains(QLatin1String("KSample")));
        }
    }

    void unreadableFilesAreProblems_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("not xml") << QByteArray("Export=导出\n");
        QTest::newRow("other root") << QByteArray("<?xml version=\"1.0\"?><html/>");
        QTest::newRow("cut short") << tsWith(message("Export", "导出")).left(150);
    }

    void unreadableFilesAreProblems()
    {
        QFETCH(QByteArray, text);
        const tscheck::Report report = tscheck::checkText(text);
        QVERIFY(!report.readError.isEmpty());
        QVERIFY(!report.ok());
    }

    void accelerators_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accelerator");
        QTest::newRow("leading") << QStringLiteral("&Red:") << true;
        QTest::newRow("inside") << QStringLiteral("Bl&ue:") << true;
        QTest::newRow("bracketed") << QStringLiteral("打开(&O)") << true;
        QTest::newRow("none") << QStringLiteral("Export") << false;
        QTest::newRow("doubled") << QStringLiteral("R&&D") << false;
        QTest::newRow("entity") << QStringLiteral("a &amp; b &lt;") << false;
        QTest::newRow("numeric entity") << QStringLiteral("&#169; 2026") << false;
        QTest::newRow("trailing") << QStringLiteral("Save &") << false;
    }

    void accelerators()
    {
        QFETCH(QString, text);
        QFETCH(bool, accelerator);
        QCOMPARE(tscheck::hasAccelerator(text), accelerator);
    }

    void placeholdersAreSortedAndUnique()
    {
        QCOMPARE(tscheck::placeholders(QStringLiteral("%2 then %10 then %1 and %2 again, 100 % sure")),
                 (QStringList{QStringLiteral("%1"), QStringLiteral("%2"), QStringLiteral("%10")}));
    }

    // The translations the project ships: every text finished, nothing broken.
    void shippedTranslationsAreComplete_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("add-on") << QStringLiteral(KTAVRO_TS_FOLDER "/ktavro_zh_CN.ts");
        QTest::newRow("host") << QStringLiteral(KTAVRO_TS_FOLDER "/brindlex_zh_CN.ts");
    }

    void shippedTranslationsAreComplete()
    {
        QFETCH(QString, file);
        const tscheck::Report report = tscheck::checkFile(file);
        QVERIFY2(report.readError.isEmpty(), qPrintable(report.readError));
        QVERIFY2(report.problems.isEmpty(), qPrintable(report.problems.join(QLatin1Char('\n'))));
        QVERIFY(report.messages > 50);
    }

    // The build's check: a text added in the sources without a translation stops the build
    // and is named; a translation left unfinished too.
    void buildCheckStopsAtUntranslatedTexts_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("ts");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("named");

        const QByteArray code = "#include <QObject>\nclass KSample : public QObject\n{\n    Q_OBJECT\n"
                                "    QString a() { return tr(\"Export\"); }\n";
        const QByteArray both = code + "    QString b() { return tr(\"Add watermark\"); }\n};\n";
        QTest::newRow("all translated") << both << tsWith(message("Export", "导出") + message("Add watermark", "添加水印"))
                                        << 0 << QString();
        QTest::newRow("text missing from the file") << both << tsWith(message("Export", "导出")) << 1
                                                    << QStringLiteral("\"Add watermark\"");
        QTest::newRow("translation unfinished")
            << both << tsWith(message("Export", "导出") + message("Add watermark", "添加水印", "unfinished")) << 1
            << QStringLiteral("\"Add watermark\"");
        QTest::newRow("no file yet") << both << QByteArray() << 1 << QStringLiteral("\"Export\"");
        QTest::newRow("stale entry only") << code + "};\n"
                                          << tsWith(message("Export", "导出") + message("Old text", "旧文字")) << 0
                                          << QString();
    }

    void buildCheckStopsAtUntranslatedTexts()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, ts);
        QFETCH(int, status);
        QFETCH(QString, named);
        QTemporaryDir root;
        QVERIFY(writeFile(root.filePath(QStringLiteral("src/ksample.h")), source));
        QDir().mkpath(root.filePath(QStringLiteral("ts")));
        const QString tsPath = root.filePath(QStringLiteral("ts/sample_zh_CN.ts"));
        if (!ts.isEmpty())
            QVERIFY(writeFile(tsPath, ts));
        QString output;
        QCOMPARE(runCheck(root.path(), &output) == 0 ? 0 : 1, status);
        if (!named.isEmpty())
            QVERIFY2(output.contains(named), qPrintable(output));
        // The check never rewrites the committed file.
        QCOMPARE(QFileInfo::exists(tsPath), !ts.isEmpty());
        if (!ts.isEmpty()) {
            QFile file(tsPath);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), ts);
        }
    }
};

KTAVRO_TEST_MAIN(TestTsCheck)
#include "tst_tscheck.moc"
