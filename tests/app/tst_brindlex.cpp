#include "ktestdocuments.h"
#include "ktestbrindlex.h"
#include "ktestmain.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <csignal>
#include <sys/stat.h>

namespace {

using Run = ktest::BrindlexRun;
using ktest::brindlex;
using ktest::brindlexCommand;

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// Every entry under the folder (links and pipes too) with what it holds or points to.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QByteArray what = info.isSymLink() ? "-> " + info.symLinkTarget().toUtf8() : QByteArray(info.isDir() ? "dir" : "");
        QFile file(info.filePath());
        if (info.isFile() && !info.isSymLink() && file.open(QIODevice::ReadOnly))
            what = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
        entries.insert(info.filePath(), what);
    }
    return entries;
}

const QStringList kErrorKeys = {"errMsg", "errTitle", "detail"};
const QMap<QString, QString> kNoRuntimeFolder = {{QStringLiteral("XDG_RUNTIME_DIR"), QString()}};

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

    void longPicturePageLimits()
    {
        const QString doc = writeHtml(QStringLiteral("Long.html"), 16);
        const Run tooMany = brindlex({doc, QStringLiteral("--quality"), QStringLiteral("200")});
        QCOMPARE(tooMany.status, 1);
        QVERIFY2(tooMany.err.contains(QStringLiteral("15 doc pages can support")), qPrintable(tooMany.err));
        QVERIFY(tooMany.err.contains(QStringLiteral(" or reduce the image quality")));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("Long.png"))));
        QCOMPARE(brindlex({doc, QStringLiteral("--pages"), QStringLiteral("1-15"), QStringLiteral("--quality"),
                           QStringLiteral("200"), QStringLiteral("--quiet")}).status, 0);
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
        QVERIFY2(run.err.contains(QStringLiteral("Page 1 is too large to render at 600 %")), qPrintable(run.err));
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
        const QJsonObject json = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        QCOMPARE(json.value(QStringLiteral("exitCode")).toInt(), 2);
        QVERIFY(!json.contains(QStringLiteral("fileName")));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("Big"))));
    }

    // Refused runs: the exit status, the cause on standard error, the JSON asked for, and
    // nothing in the folder made, replaced or followed through a link.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("cause");
        const QString doc = QStringLiteral("{dir}/Report.html");
        const QString out = QStringLiteral("--output");
        QTest::newRow("output links to the document")
            << QStringList{"{dir}/data.csv", out, "{dir}/link.png", "--overwrite"} << 1 << "replace the document itself";
        QTest::newRow("dangling link is not followed") << QStringList{doc, out, "{dir}/dangling.png"} << 1
                                                       << "already exists";
        QTest::newRow("refused path makes no folders") << QStringList{doc, out, "{dir}/new/sub/x.txt"} << 1
                                                       << "Invalid image format";
        QTest::newRow("output under a file") << QStringList{doc, out, "{dir}/data.csv/x.png"} << 1
                                             << "Invalid file path,please reselect and try again\n{dir}/data.csv: not a folder";
        QTest::newRow("folder named like the picture") << QStringList{doc, out, "{dir}/shots.png", "--overwrite"} << 1
                                                       << "shots.png: is a folder";
        QTest::newRow("unknown suffix") << QStringList{doc, out, "{dir}/out.gif"} << 1 << "out.gif: the name must end in";
        QTest::newRow("suffix and format disagree") << QStringList{doc, out, "{dir}/q.jpeg", "--format", "png"} << 64
                                                    << "--format png does not match the picture's suffix .jpeg";
        QTest::newRow("unknown format") << QStringList{doc, "--format", "gif"} << 64 << "jpg, png, bmp or tif";
        QTest::newRow("long picture at 300") << QStringList{doc, "--quality", "300"} << 64 << "100 or 200 percent";
        const QStringList custom{doc, "--watermark", "custom"};
        QTest::newRow("opacity nan") << custom + QStringList{"--opacity", "nan"} << 64 << "opacity";
        QTest::newRow("opacity inf") << custom + QStringList{"--opacity", "inf"} << 64 << "opacity";
        for (const char *colour : {"+12345", " 12345", "0x1234", "12345", "1234567"})
            QTest::newRow(qPrintable(QStringLiteral("colour '%1'").arg(colour)))
                << custom + QStringList{"--color", colour} << 64 << "six hexadecimal digits";
        QTest::newRow("pages beyond the document") << QStringList{doc, "--pages", "3-17"} << 64
                                                   << "Invalid pages: example: 1,3,5-10; the document has 3 pages";
        QTest::newRow("folder as document") << QStringList{"{dir}/folder.md"} << 1 << "folder.md: is a folder, not a document";
        QTest::newRow("named pipe as document") << QStringList{"{dir}/pipe.md"} << 1 << "pipe.md: is a named pipe";
        QTest::newRow("device as document") << QStringList{"/dev/null"} << 1 << "/dev/null: is a device";
        QTest::newRow("missing document") << QStringList{"{dir}/missing.pdf"} << 1 << "missing.pdf: no such file";
        QTest::newRow("unknown kind of document") << QStringList{"{dir}/data.xyz"} << 64 << "cannot open this kind";
        QTest::newRow("unknown option") << QStringList{doc, "--frobnicate"} << 64 << "frobnicate";
        QTest::newRow("no document") << QStringList{} << 64 << "Name exactly one document";
        QTest::newRow("Qt's own option") << QStringList{doc, "-reverse"} << 64 << "Unknown options: r, e, v";
    }

    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, cause);
        makeFixtures();
        const QMap<QString, QByteArray> before = snapshot(m_dir.path());
        const Run run = brindlex(expand(arguments) << QStringLiteral("--json"), kNoRuntimeFolder);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(cause.replace(QLatin1String("{dir}"), m_dir.path())), qPrintable(run.err));
        QVERIFY2(!run.err.contains(QLatin1String("QStandardPaths")), qPrintable(run.err));
        QCOMPARE(run.json.value(QStringLiteral("exitCode")).toInt(-1), status);
        QVERIFY(!run.json.value(QStringLiteral("errMsg")).toString().isEmpty());
        QCOMPARE(snapshot(m_dir.path()), before);
    }

    void convertRefusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("cause");
        const QString note = QStringLiteral("{dir}/note.txt");
        QTest::newRow("own input") << QStringList{note, note} << 1 << "the document itself";
        QTest::newRow("own input through a link") << QStringList{note, "{dir}/link.pdf", "--overwrite"} << 1
                                                  << "the document itself";
        QTest::newRow("existing output") << QStringList{note, "{dir}/old.pdf"} << 1 << "already exists";
        QTest::newRow("dangling link") << QStringList{note, "{dir}/dangling.png"} << 1 << "already exists";
        QTest::newRow("folder as document") << QStringList{"{dir}/folder.md", "{dir}/x.pdf"} << 1 << "is a folder";
        QTest::newRow("missing folder") << QStringList{note, "{dir}/none/x.pdf"} << 1 << "none: no such folder";
        QTest::newRow("no output") << QStringList{note} << 64 << "Name one document and one output file";
        QTest::newRow("unknown option") << QStringList{note, "{dir}/x.pdf", "--frob"} << 64 << "--frob";
    }

    void convertRefusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, cause);
        makeFixtures();
        const QMap<QString, QByteArray> before = snapshot(m_dir.path());
        const Run run = brindlexCommand(QStringList{QStringLiteral("convert")} + expand(arguments) << QStringLiteral("--json"),
                                        kNoRuntimeFolder);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(cause), qPrintable(run.err));
        QVERIFY2(!run.err.contains(QLatin1String("QPainter")) && !run.err.contains(QLatin1String("QStandardPaths")),
                 qPrintable(run.err));
        QCOMPARE(run.json.value(QStringLiteral("exitCode")).toInt(-1), status);
        QCOMPARE(snapshot(m_dir.path()), before);
    }

    // Runs that succeed print their result on standard output and nothing on standard error,
    // even without a runtime folder; names are printed on one line.
    void whatAPersonSees_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("out");
        QTest::newRow("help") << QStringList{"--help"} << "Usage: brindlex export [options] document";
        QTest::newRow("export help") << QStringList{"export", "-h"} << "--style <normal|r_triangle|";
        QTest::newRow("json") << QStringList{"export", "{dir}/Report.html", "--json"}
                              << "\"fileName\":\"{dir}/Report.png\"";
        QTest::newRow("markdown") << QStringList{"export", "{dir}/Note.md"} << "{dir}/Note.png\n";
        QTest::newRow("--json as a watermark text") << QStringList{"export", "{dir}/Note.md", "--watermark", "custom",
                                                                   "--text", "--json"}
                                                    << "{dir}/Note.png\n";
        QTest::newRow("csv") << QStringList{"export", "{dir}/data.csv", "--json"} << "\"exitCode\":0";
        QTest::newRow("line break in a name") << QStringList{"export", "{dir}/two\nlines.md"} << "{dir}/two\\nlines.png\n";
        QTest::newRow("control byte in a name") << QStringList{"export", "{dir}/bell\a.md"} << "{dir}/bell\\x07.png\n";
        QTest::newRow("convert replaces on request") << QStringList{"convert", "{dir}/note.txt", "{dir}/old.pdf", "--overwrite"}
                                                     << "{dir}/old.pdf\n";
    }

    void whatAPersonSees()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        makeFixtures();
        const Run run = brindlexCommand(expand(arguments), kNoRuntimeFolder);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains(out.replace(QLatin1String("{dir}"), m_dir.path())), qPrintable(run.out));
        for (const QString &key : kErrorKeys)
            QVERIFY2(!run.json.contains(key), qPrintable(key));
        if (!run.json.isEmpty())
            QVERIFY(!run.picture().isNull());
        // Nothing half-made stays beside the output (a converted PDF is printed aside first).
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Hidden | QDir::Files).filter(QRegularExpression("^\\.")),
                 QStringList());
    }

    // Qt's own -style option once swallowed the watermark's: every shape must show.
    void everyWatermarkStyleShows()
    {
        makeFixtures();
        QSet<QByteArray> pictures;
        for (const char *style : {"normal", "r_triangle", "i_triangle", "rectangle", "circle", "ellipse"}) {
            const QString output = m_dir.filePath(QStringLiteral("%1.png").arg(style));
            const Run run = brindlex({m_dir.filePath(QStringLiteral("Note.md")), "--output", output, "--watermark",
                                      "custom", "--text", "Draft", "--style", style, "--json"});
            QCOMPARE(run.status, 0);
            QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
            const QImage picture = run.picture();
            QVERIFY(!picture.isNull());
            pictures.insert(QByteArray(reinterpret_cast<const char *>(picture.constBits()), int(picture.sizeInBytes())));
        }
        QCOMPARE(pictures.size(), 6);
    }

    // The name decides a long picture's format; an explicit --format may only agree.
    void pictureFormatFollowsTheName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("jpeg") << "q.jpeg" << "" << QByteArray("jpeg");
        QTest::newRow("jpeg named jpg") << "q.jpeg" << "jpg" << QByteArray("jpeg");
        QTest::newRow("tiff") << "q.tiff" << "" << QByteArray("tiff");
        QTest::newRow("upper-case TIF as tiff") << "q.TIF" << "tiff" << QByteArray("tiff");
        QTest::newRow("bmp") << "q.bmp" << "bmp" << QByteArray("bmp");
    }

    void pictureFormatFollowsTheName()
    {
        QFETCH(QString, name);
        QFETCH(QString, format);
        QFETCH(QByteArray, written);
        makeFixtures();
        QStringList arguments{m_dir.filePath(QStringLiteral("Note.md")), "--output", m_dir.filePath(name), "--json"};
        if (!format.isEmpty())
            arguments << QStringLiteral("--format") << format;
        const Run run = brindlex(arguments);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.json.value(QStringLiteral("fileName")).toString(), m_dir.filePath(name));
        QCOMPARE(QImageReader(m_dir.filePath(name)).format(), written);
    }

private:
    // The files the tables refer to as {dir}/...
    void makeFixtures()
    {
        writeHtml(QStringLiteral("Report.html"), 3);
        for (const char *name : {"Note.md", "two\nlines.md", "bell\a.md"})
            ktest::writeText(m_dir.filePath(QString::fromUtf8(name)), "# Note\n\nA *short* note.\n");
        ktest::writeText(m_dir.filePath(QStringLiteral("data.csv")), "name,count\npears,3\nplums,5\n");
        ktest::writeText(m_dir.filePath(QStringLiteral("data.xyz")), "?");
        ktest::writeText(m_dir.filePath(QStringLiteral("note.txt")), "A note.\n");
        ktest::writeText(m_dir.filePath(QStringLiteral("old.pdf")), "not yet a PDF");
        QFile::link(m_dir.filePath(QStringLiteral("data.csv")), m_dir.filePath(QStringLiteral("link.png")));
        QFile::link(m_dir.filePath(QStringLiteral("note.txt")), m_dir.filePath(QStringLiteral("link.pdf")));
        QFile::link(m_dir.filePath(QStringLiteral("nowhere.png")), m_dir.filePath(QStringLiteral("dangling.png")));
        m_dir.mkdir(QStringLiteral("folder.md"));
        m_dir.mkdir(QStringLiteral("shots.png"));
        QVERIFY(::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.md"))).constData(), 0600) == 0);
    }

    QStringList expand(QStringList arguments) const
    {
        for (QString &argument : arguments)
            argument.replace(QLatin1String("{dir}"), m_dir.path());
        return arguments;
    }

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
