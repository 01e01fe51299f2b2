#include "ktestdocuments.h"
#include "ktestbrindlex.h"
#include "ktestmain.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

namespace {

using Run = ktest::BrindlexRun;
using ktest::brindlex;

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// Two pages whose drawing holds hundreds of unknown operators, behind a table of object
// places that are all off: Poppler rebuilds the table and complains on every page.
QByteArray damagedPdf()
{
    QByteArray body = "%PDF-1.4\n";
    QList<int> offsets;
    auto object = [&](const QByteArray &text) {
        offsets << body.size();
        body += QByteArray::number(offsets.size()) + " 0 obj\n" + text + "\nendobj\n";
    };
    const QByteArray drawing = "0 0 1 rg 20 20 100 100 re f\n" + QByteArray("1 2 bogus\n").repeated(300);
    object("<< /Type /Catalog /Pages 2 0 R >>");
    object("<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>");
    object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 5 0 R >>");
    object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 5 0 R >>");
    object("<< /Length " + QByteArray::number(drawing.size()) + " >>\nstream\n" + drawing + "\nendstream");
    const int xref = body.size();
    body += "xref\n0 6\n0000000000 65535 f \n";
    for (int offset : offsets)
        body += QByteArray::number(offset + 5).rightJustified(10, '0') + " 00000 n \n";
    return body + "trailer\n<< /Size 6 /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
}

} // namespace

class TestBrindlex : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_tmp.reset(new QTemporaryDir);
        m_dir.setPath(m_tmp->path());
    }

    void writerDocumentAsLongPictureAndPerPage()
    {
        const QString doc = writeHtml(QStringLiteral("Report.html"), 3);
        const Run longRun = brindlex({doc, QStringLiteral("--json"), QStringLiteral("--watermark"), QStringLiteral("default")});
        QCOMPARE(longRun.status, 0);
        QCOMPARE(longRun.json.value(QStringLiteral("exitCode")).toInt(), 0);
        QCOMPARE(longRun.json.value(QStringLiteral("pageCount")).toString(), QStringLiteral("3"));
        const QImage picture(longRun.json.value(QStringLiteral("fileName")).toString());
        QCOMPARE(picture.width(), 794);
        QCOMPARE(longRun.json.value(QStringLiteral("fileName")).toString(), m_dir.filePath(QStringLiteral("Report.png")));

        // The long picture exists now: refused, then replaced on request.
        QCOMPARE(brindlex({doc}).status, 1);
        QCOMPARE(brindlex({doc, QStringLiteral("--overwrite")}).status, 0);

        QCOMPARE(brindlex({doc, QStringLiteral("--each-page"), QStringLiteral("--format"), QStringLiteral("jpg"),
                           QStringLiteral("--pages"), QStringLiteral("1,3")}).status, 0);
        QCOMPARE(brindlex({doc, QStringLiteral("--each-page"), QStringLiteral("--quiet")}).status, 0);
        QCOMPARE(filesIn(m_dir.filePath(QStringLiteral("Report"))), QStringList({"Report_01.jpg", "Report_03.jpg"}));
        QCOMPARE(filesIn(m_dir.filePath(QStringLiteral("Report(1)"))).size(), 3);
    }

    void dialogLimitsAndUsageErrors()
    {
        const QString doc = writeHtml(QStringLiteral("Long.html"), 16);
        const Run tooMany = brindlex({doc, QStringLiteral("--quality"), QStringLiteral("200")});
        QCOMPARE(tooMany.status, 1);
        QVERIFY2(tooMany.err.contains(QStringLiteral("15 doc pages can support")), qPrintable(tooMany.err));
        QVERIFY(tooMany.err.contains(QStringLiteral(" or reduce the image quality")));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("Long.png"))));
        QCOMPARE(brindlex({doc, QStringLiteral("--pages"), QStringLiteral("1-15"), QStringLiteral("--quality"),
                           QStringLiteral("200"), QStringLiteral("--quiet")}).status, 0);
        QCOMPARE(brindlex({doc, QStringLiteral("--quality"), QStringLiteral("300")}).status, 64);
        QCOMPARE(brindlex({doc, QStringLiteral("--pages"), QStringLiteral("3-17")}).status, 64);
        QCOMPARE(brindlex({doc, QStringLiteral("--format"), QStringLiteral("gif")}).status, 64);
        QCOMPARE(brindlex({doc, QStringLiteral("--frobnicate")}).status, 64);
        QCOMPARE(brindlex({doc, QStringLiteral("--output"), m_dir.filePath(QStringLiteral("out.gif"))}).status, 1);
        QCOMPARE(brindlex({m_dir.filePath(QStringLiteral("missing.pdf"))}).status, 1);
    }

    void pdfPerPageByDefaultAndLongPictureParts()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("Scan.pdf"));
        QVERIFY(ktest::writePdf(pdf, QVector<QSizeF>(23, QSizeF(595, 842)).toList()));
        const Run perPage = brindlex({pdf, QStringLiteral("--json"), QStringLiteral("--pages"), QStringLiteral("1-2")});
        QCOMPARE(perPage.status, 0);
        QCOMPARE(filesIn(m_dir.filePath(QStringLiteral("Scan"))), QStringList({"Scan_01.png", "Scan_02.png"}));
        const Run parts = brindlex({pdf, QStringLiteral("--long"), QStringLiteral("--quality"), QStringLiteral("200"),
                                    QStringLiteral("--format"), QStringLiteral("jpg"), QStringLiteral("--json")});
        QCOMPARE(parts.status, 0);
        QCOMPARE(filesIn(m_dir.filePath(QStringLiteral("Scan(1)"))), QStringList({"Scan_0.jpg", "Scan_1.jpg"}));
        const QImage first(m_dir.filePath(QStringLiteral("Scan(1)/Scan_0.jpg")));
        QCOMPARE(first.width(), 1587);
        QVERIFY(first.height() <= 20 * 2245);
        QCOMPARE(qRound(first.dotsPerMeterX() * 0.0254), 192);
    }

    void oversizedPageIsRefusedBeforeRendering()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("Banner.pdf"));
        QVERIFY(ktest::writePdf(pdf, {QSizeF(200, 14000)}));
        const Run run = brindlex({pdf, QStringLiteral("--format"), QStringLiteral("jpg"), QStringLiteral("--quality"),
                                  QStringLiteral("600")});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("65535")), qPrintable(run.err));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
    }

    void popplerMessagesAreSummedUpInOneLine_data()
    {
        QTest::addColumn<int>("keptBytes"); // of the damaged file; 0 keeps it whole
        QTest::addColumn<int>("status");
        QTest::newRow("damaged, still exported") << 0 << 0;
        QTest::newRow("cut short, refused") << 600 << 1;
    }

    void popplerMessagesAreSummedUpInOneLine()
    {
        QFETCH(int, keptBytes);
        QFETCH(int, status);
        const QString pdf = m_dir.filePath(QStringLiteral("Damaged.pdf"));
        const QByteArray bytes = damagedPdf();
        QVERIFY(ktest::writeText(pdf, keptBytes ? bytes.left(keptBytes) : bytes));
        const Run run = brindlex({pdf, QStringLiteral("--quiet")});
        QCOMPARE(run.status, status);
        const QStringList lines = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList summaries = lines.filter(QStringLiteral("Damaged.pdf: the PDF has errors ("));
        QCOMPARE(summaries.size(), 1);
        QVERIFY2(lines.size() <= 3, qPrintable(run.err));
        QCOMPARE(lines.filter(QStringLiteral("Error")).size(), 0);
    }

    void terminationCancelsAndRemovesTheOutput()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("Big.pdf"));
        QVERIFY(ktest::writePdf(pdf, QVector<QSizeF>(40, QSizeF(595, 842)).toList()));
        QProcess process;
        process.start(QStringLiteral(BRINDLEX_PATH),
                      {QStringLiteral("export"), pdf, QStringLiteral("--quality"), QStringLiteral("600"), QStringLiteral("--json")});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!filesIn(m_dir.filePath(QStringLiteral("Big"))).isEmpty(), 60000);
        ::kill(process.processId(), SIGTERM);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 2);
        QCOMPARE(QJsonDocument::fromJson(process.readAllStandardOutput()).object().value(QStringLiteral("exitCode")).toInt(), 2);
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("Big"))));
    }

private:
    QString writeHtml(const QString &name, int pages)
    {
        const QString path = m_dir.filePath(name);
        ktest::writeText(path, ktest::blockPagesHtml(pages));
        return path;
    }

    QScopedPointer<QTemporaryDir> m_tmp;
    QDir m_dir;
};

KTAVRO_TEST_MAIN(TestBrindlex)
#include "tst_brindlex.moc"
