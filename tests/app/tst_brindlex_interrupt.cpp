#include "ktestdocuments.h"
#include "ktestmain.h"
#include "ktestoffice.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray largeCsv(int rows)
{
    QByteArray csv;
    for (int r = 0; r < rows; ++r)
        csv += "r" + QByteArray::number(r) + ",alpha,beta,gamma,delta," + QByteArray::number(r * 7) + ",epsilon,zeta\n";
    return csv;
}

QByteArray largeHtml(int paragraphs)
{
    QByteArray html = "<html><body>";
    for (int p = 0; p < paragraphs; ++p)
        html += "<p>Paragraph " + QByteArray::number(p) + " of a long report, with words enough to wrap.</p>";
    return html + "</body></html>";
}

// A child process whose files may grow to at most the given size.
class KLimitedProcess : public QProcess
{
public:
    rlim_t fileSizeLimit = RLIM_INFINITY;

protected:
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
    void setupChildProcess() override
    {
        const struct rlimit limit = {fileSizeLimit, fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
QT_WARNING_POP
};

} // namespace

class TestBrindlexInterrupt : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_tmp.reset(new QTemporaryDir);
        m_dir.setPath(m_tmp->path());
        QVERIFY(m_dir.mkpath(QStringLiteral("tmp")));
    }

    void signalWhileOpeningCancelsPromptly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("converted"); // wait for the converter before signalling
        const QByteArray rtf = "{\\rtf1\\ansi A letter\\par}";
        QTest::newRow("office conversion, SIGTERM") << "Letter.rtf" << rtf << int(SIGTERM) << true;
        QTest::newRow("office conversion, SIGINT") << "Letter.rtf" << rtf << int(SIGINT) << true;
        QTest::newRow("sheet parsing, SIGINT") << "Table.csv" << largeCsv(250000) << int(SIGINT) << false;
        QTest::newRow("text layout, SIGTERM") << "Report.html" << largeHtml(160000) << int(SIGTERM) << false;
    }

    void signalWhileOpeningCancelsPromptly()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, signal);
        QFETCH(bool, converted);
        if (converted && ktest::soffice().isEmpty())
            QSKIP("LibreOffice is not installed");
        const QString document = m_dir.filePath(name);
        QVERIFY(ktest::writeText(document, content));
        const QString scratch = m_dir.filePath(QStringLiteral("tmp"));

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), scratch);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(BRINDLEX_PATH), {QStringLiteral("export"), document, QStringLiteral("--json")});
        QVERIFY(process.waitForStarted());
        if (converted)
            QTRY_VERIFY_WITH_TIMEOUT(!ktest::processesNaming(scratch).isEmpty(), 30000);
        else
            QTest::qWait(1000); // well inside an opening of several seconds
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(process.processId()), signal);
        QVERIFY(process.waitForFinished(30000));
        const qint64 took = clock.elapsed();

        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 2);
        QVERIFY2(took < 1500, qPrintable(QStringLiteral("%1 ms").arg(took)));
        const QJsonObject json = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        QCOMPARE(json.value(QStringLiteral("exitCode")).toInt(), 2);
        QCOMPARE(ktest::processesNaming(scratch), QStringList());
        QCOMPARE(QDir(scratch).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        QCOMPARE(m_dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({name, "tmp"}));
    }

    void fileSizeLimitFailsTheExportAndLeavesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("PDF, one picture per page") << "Scan.pdf" << QStringList{"--quality", "300"};
        QTest::newRow("writer, long picture") << "Notes.html" << QStringList{"--long"};
        QTest::newRow("writer, one picture per page") << "Notes.html" << QStringList{"--each-page"};
    }

    void fileSizeLimitFailsTheExportAndLeavesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, options);
        const QString document = m_dir.filePath(name);
        if (name.endsWith(QLatin1String(".pdf")))
            QVERIFY(ktest::writePdf(document, QVector<QSizeF>(3, QSizeF(595, 842)).toList()));
        else
            QVERIFY(ktest::writeText(document, ktest::blockPagesHtml(3)));
        QDir(m_dir.filePath(QStringLiteral("tmp"))).removeRecursively();

        KLimitedProcess process;
        process.fileSizeLimit = 1024; // no picture fits
        process.start(QStringLiteral(BRINDLEX_PATH), QStringList{QStringLiteral("export"), document, QStringLiteral("--json")} + options);
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        const QJsonObject json = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        QCOMPARE(json.value(QStringLiteral("exitCode")).toInt(), 1);
        QCOMPARE(m_dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({name}));
    }

private:
    QScopedPointer<QTemporaryDir> m_tmp;
    QDir m_dir;
};

KTAVRO_TEST_MAIN(TestBrindlexInterrupt)
#include "tst_brindlex_interrupt.moc"
