#include "ktestdocuments.h"
#include "ktestmain.h"
#include "ktestoffice.h"
#include "ktestprocess.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <csignal>
#include <sys/stat.h>

namespace {

using ktest::finish;
using ktest::Run;

void start(QProcess &process, const QStringList &arguments, const QMap<QString, QString> &environment = {})
{
    ktest::startBrindlex(process, QStringLiteral(BRINDLEX_PATH), arguments, environment);
}

Run brindlex(const QStringList &arguments, const QMap<QString, QString> &environment = {})
{
    return ktest::runBrindlex(QStringLiteral(BRINDLEX_PATH), arguments, environment);
}

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

const QMap<QString, QString> kNoRuntimeFolder = {{QStringLiteral("XDG_RUNTIME_DIR"), QString()}};

// Two pages whose drawing holds hundreds of unknown operators, behind a table of object
// places that are all off: Poppler rebuilds the table and complains on every page.
QByteArray damagedPdf()
{
    const QByteArray drawing = "0 0 1 rg 20 20 100 100 re f\n" + QByteArray("1 2 bogus\n").repeated(300);
    const QByteArray page = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 5 0 R >>";
    return ktest::rawPdf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>", page,
                          page, "<< /Length " + QByteArray::number(drawing.size()) + " >>\nstream\n" + drawing + "\nendstream"},
                         {}, 5);
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

    void existingOutputsAreRefusedReplacedOrNumbered()
    {
        const QString doc = write(QStringLiteral("Report.html"), ktest::blockPagesHtml(3));
        const Run first = brindlex({"export", doc, "--json", "--watermark", "default"});
        QCOMPARE(first.status, 0);
        QCOMPARE(first.json.value(QStringLiteral("pageCount")).toString(), QStringLiteral("3"));
        QCOMPARE(first.picture().width(), 794); // A4 at 100 %
        QCOMPARE(brindlex({"export", doc}).status, 1);
        QCOMPARE(brindlex({"export", doc, "--overwrite"}).status, 0);
        QCOMPARE(brindlex({"export", doc, "--each-page", "--format", "jpg", "--pages", "1,3"}).status, 0);
        QCOMPARE(brindlex({"export", doc, "--each-page", "--quiet"}).status, 0);
        QCOMPARE(filesIn(m_dir.filePath(QStringLiteral("Report"))), QStringList({"Report_01.jpg", "Report_03.jpg"}));
        QCOMPARE(filesIn(m_dir.filePath(QStringLiteral("Report(1)"))).size(), 3);
    }

    void longPicturePageLimits()
    {
        const QString doc = write(QStringLiteral("Long.html"), ktest::blockPagesHtml(16));
        const Run tooMany = brindlex({"export", doc, "--quality", "200"});
        QCOMPARE(tooMany.status, 1);
        QVERIFY2(tooMany.err.contains(QStringLiteral("15 doc pages can support"))
                     && tooMany.err.contains(QStringLiteral(" or reduce the image quality")),
                 qPrintable(tooMany.err));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("Long.png"))));
        QCOMPARE(brindlex({"export", doc, "--pages", "1-15", "--quality", "200", "--quiet"}).status, 0);
    }

    // An export loads what it uses: the add-on's export module but not the add-on with its
    // dialogs and services (network, cloud transfer, IPC), no web engine, and no picture
    // plug-in it does not write with (Qt asks the plug-ins in turn until one writes the
    // format; PNG, JPG and BMP are ours).
    void exportLoadsOnlyWhatItUses_data()
    {
        const QStringList heavy{"libqsvg.so",  "libqmng.so", "libqwebp.so", "libqgif.so",  "libqico.so",
                                "libqicns.so", "libqtga.so", "libqwbmp.so", "libktavro.so", "libqjpeg.so"};
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("needed");
        QTest::addColumn<QStringList>("unwanted");
        QTest::newRow("PDF to PNG") << "Lean.pdf" << "png" << QStringList() << (heavy + QStringList{"libqtiff.so"});
        QTest::newRow("PDF to JPG") << "Lean.pdf" << "jpg" << QStringList() << (heavy + QStringList{"libqtiff.so"});
        QTest::newRow("PDF to BMP") << "Lean.pdf" << "bmp" << QStringList() << (heavy + QStringList{"libqtiff.so"});
        QTest::newRow("PDF to TIF") << "Lean.pdf" << "tif" << QStringList{"libqtiff.so"} << heavy;
        QTest::newRow("Markdown to PNG") << "Lean.md" << "png" << QStringList() << (heavy + QStringList{"libqtiff.so"});
    }

    void exportLoadsOnlyWhatItUses()
    {
        QFETCH(QString, document);
        QFETCH(QString, format);
        QFETCH(QStringList, needed);
        QFETCH(QStringList, unwanted);
        const QString path = write(document, document.endsWith(QLatin1String(".pdf")) ? QByteArray("1")
                                                                                      : QByteArray("# Lean\n\nText.\n"));
        QVERIFY(!path.isEmpty());
        const Run run = brindlex({"export", path, "--each-page", "--format", format, "--json"},
                                 {{QStringLiteral("LD_DEBUG"), QStringLiteral("files")}});
        QCOMPARE(run.status, 0);
        const QStringList loaded = loadedLibraries(run);
        QVERIFY2(loaded.contains(QStringLiteral("libktavro_export.so")), qPrintable(loaded.join(' ')));
        static const QRegularExpression unused(QStringLiteral("WebKit|^libQt5Network\\.|^libcurl|^libthrift|^liblumoipc"));
        for (const QString &name : qAsConst(loaded)) {
            QVERIFY2(!unused.match(name).hasMatch(), qPrintable(name));
            QVERIFY2(!unwanted.contains(name), qPrintable(name));
        }
        for (const QString &name : qAsConst(needed))
            QVERIFY2(loaded.contains(name), qPrintable(name));
    }

    // The font configuration (tens of files and caches) is read only when text is drawn.
    void fontConfigurationOnlyForText_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("reads");
        QTest::newRow("no watermark") << QStringList() << false;
        QTest::newRow("picture watermark") << QStringList{"--watermark", "default"} << false;
        QTest::newRow("text watermark") << QStringList{"--watermark", "custom", "--text", "Draft"} << true;
    }

    void fontConfigurationOnlyForText()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, reads);
        const QString path = write(QStringLiteral("Fonts.pdf"), "1");
        const Run run = brindlex(QStringList{"export", path, "--format", "png", "--json"} + options,
                                 {{QStringLiteral("FC_DEBUG"), QStringLiteral("1024")}});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out.contains(QLatin1String("Loading config file")), reads);
    }

    // A run that shows no window never connects to a display: one that is gone (a closed
    // remote session) must not abort it.
    void windowlessRunsIgnoreTheDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("export") << QStringList{"export", "Gone.pdf", "--json"};
        QTest::newRow("convert") << QStringList{"convert", "Gone.md", "Gone-converted.pdf"};
    }

    void windowlessRunsIgnoreTheDisplay()
    {
        QFETCH(QStringList, arguments);
        QVERIFY(!write(QStringLiteral("Gone.pdf"), "1").isEmpty());
        QVERIFY(!write(QStringLiteral("Gone.md"), "# Gone\n").isEmpty());
        for (QString &argument : arguments) {
            if (argument.contains(QLatin1Char('.')))
                argument = m_dir.filePath(argument);
        }
        const Run run = brindlex(arguments, {{QStringLiteral("DISPLAY"), QStringLiteral(":9999")},
                                             {QStringLiteral("WAYLAND_DISPLAY"), QString()},
                                             {QStringLiteral("QT_QPA_PLATFORM"), QString()}});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QVERIFY(!run.err.contains(QLatin1String("xcb")));
    }

    // The export module is found beside the add-on a suite names; a suite that names the
    // full add-on as the export module still exports through it.
    void exportModuleFollowsTheAddon_data()
    {
        const QString addonFolder = QFileInfo(QStringLiteral(BRINDLEX_PATH)).dir().filePath(QStringLiteral("../../addon/"));
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("loads");
        QTest::addColumn<QString>("skips");
        QTest::newRow("nothing named") << "" << "" << "libktavro_export.so" << "libktavro.so";
        QTest::newRow("add-on named") << "BRINDLEX_ADDON" << addonFolder + "libktavro.so" << "libktavro_export.so"
                                      << "libktavro.so";
        QTest::newRow("full add-on as export module") << "BRINDLEX_EXPORT_MODULE" << addonFolder + "libktavro.so"
                                                      << "libktavro.so" << "";
    }

    void exportModuleFollowsTheAddon()
    {
        QFETCH(QString, variable);
        QFETCH(QString, module);
        QFETCH(QString, loads);
        QFETCH(QString, skips);
        const QString path = write(QStringLiteral("Module.pdf"), "1");
        QMap<QString, QString> environment{{QStringLiteral("LD_DEBUG"), QStringLiteral("files")}};
        if (!variable.isEmpty())
            environment.insert(variable, module);
        const Run run = brindlex({"export", path, "--format", "jpg", "--json"}, environment);
        QCOMPARE(run.status, 0);
        QCOMPARE(filesIn(m_dir.filePath(QStringLiteral("Module"))).size(), 1);
        const QStringList loaded = loadedLibraries(run);
        QVERIFY2(loaded.contains(loads), qPrintable(loaded.join(' ')));
        QVERIFY2(skips.isEmpty() || !loaded.contains(skips), qPrintable(loaded.join(' ')));
    }

    void pdfPerPageByDefaultAndLongPictureParts()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("Scan.pdf"));
        QVERIFY(ktest::writePdf(pdf, QVector<QSizeF>(23, QSizeF(595, 842)).toList()));
        QCOMPARE(brindlex({"export", pdf, "--json", "--pages", "1-2"}).status, 0);
        QCOMPARE(filesIn(m_dir.filePath(QStringLiteral("Scan"))), QStringList({"Scan_01.png", "Scan_02.png"}));
        QCOMPARE(brindlex({"export", pdf, "--long", "--quality", "200", "--format", "jpg", "--json"}).status, 0);
        QCOMPARE(filesIn(m_dir.filePath(QStringLiteral("Scan(1)"))), QStringList({"Scan_0.jpg", "Scan_1.jpg"}));
        const QImage first(m_dir.filePath(QStringLiteral("Scan(1)/Scan_0.jpg")));
        QCOMPARE(first.width(), 1587);
        QVERIFY(first.height() <= 20 * 2245);
        QCOMPARE(qRound(first.dotsPerMeterX() * 0.0254), 192);
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
        const Run run = brindlex({"export", pdf, "--quiet"});
        QCOMPARE(run.status, status);
        const QStringList lines = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.filter(QStringLiteral("Damaged.pdf: the PDF has errors (")).size(), 1);
        QVERIFY2(lines.size() <= 3, qPrintable(run.err));
        QCOMPARE(lines.filter(QStringLiteral("Error")).size(), 0);
    }

    // Refused runs: the exit status, the cause on standard error, the JSON asked for, and
    // nothing in the folder made, replaced or followed through a link.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("cause");
        auto row = [](const char *name, const QString &command, int status, const char *cause) {
            QTest::newRow(name) << command.split(QLatin1Char(' ')) << status << QString::fromUtf8(cause);
        };
        const QString doc = QStringLiteral("export {dir}/Report.html ");
        row("output links to the document", "export {dir}/data.csv --output {dir}/link.png --overwrite", 1,
            "replace the document itself");
        row("dangling link is not followed", doc + "--output {dir}/dangling.png", 1, "already exists");
        row("refused path makes no folders", doc + "--output {dir}/new/sub/x.txt", 1, "Invalid image format");
        row("output under a file", doc + "--output {dir}/data.csv/x.png", 1,
            "Invalid file path,please reselect and try again\n{dir}/data.csv: not a folder");
        row("folder named like the picture", doc + "--output {dir}/shots.png --overwrite", 1, "shots.png: is a folder");
        row("suffix and format disagree", doc + "--output {dir}/q.jpeg --format png", 64,
            "--format png does not match the picture's suffix .jpeg");
        row("unknown format", doc + "--format gif", 64, "jpg, png, bmp or tif");
        row("long picture at 300", doc + "--quality 300", 64, "100 or 200 percent");
        row("sheet per page", "export {dir}/data.csv --each-page", 64, "one long picture only");
        row("opacity nan", doc + "--watermark custom --opacity nan", 64, "opacity");
        row("opacity inf", doc + "--watermark custom --opacity inf", 64, "opacity");
        for (const char *colour : {"+12345", " 12345", "0x1234", "12345", "1234567"})
            QTest::newRow(qPrintable(QStringLiteral("colour '%1'").arg(colour)))
                << QStringList{"export", "{dir}/Report.html", "--watermark", "custom", "--color", colour} << 64
                << "six hexadecimal digits";
        row("pages beyond the document", doc + "--pages 3-17", 64,
            "Invalid pages: example: 1,3,5-10; the document has 3 pages");
        row("folder as document", "export {dir}/folder.md", 1, "folder.md: is a folder, not a document");
        row("named pipe as document", "export {dir}/pipe.md", 1, "pipe.md: is a named pipe");
        row("device as document", "export /dev/null", 1, "/dev/null: is a device");
        row("missing document", "export {dir}/missing.pdf", 1, "missing.pdf: no such file");
        row("unknown kind of document", "export {dir}/data.xyz", 64, "cannot open this kind");
        row("unknown option", doc + "--frobnicate", 64, "frobnicate");
        row("no document", "export", 64, "Name exactly one document");
        row("Qt's own option", doc + "-reverse", 64, "Unknown options: r, e, v");
        const QString note = QStringLiteral("convert {dir}/note.txt ");
        row("convert: own input", note + "{dir}/note.txt", 1, "the document itself");
        row("convert: own input through a link", note + "{dir}/link.pdf --overwrite", 1, "the document itself");
        row("convert: existing output", note + "{dir}/old.pdf", 1, "already exists");
        row("convert: dangling link", note + "{dir}/dangling.png", 1, "already exists");
        row("convert: folder as document", "convert {dir}/folder.md {dir}/x.pdf", 1, "is a folder");
        row("convert: missing folder", note + "{dir}/none/x.pdf", 1, "none: no such folder");
        row("convert: no output", note.trimmed(), 64, "Name one document and one output file");
        row("convert: unknown option", note + "{dir}/x.pdf --frob", 64, "--frob");
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
        QVERIFY2(!run.err.contains(QLatin1String("QPainter")) && !run.err.contains(QLatin1String("QStandardPaths")),
                 qPrintable(run.err));
        QCOMPARE(run.json.value(QStringLiteral("exitCode")).toInt(-1), status);
        QVERIFY(!run.json.value(QStringLiteral("errMsg")).toString().isEmpty());
        QCOMPARE(snapshot(m_dir.path()), before);
    }

    // Runs that succeed print their result on standard output and nothing on standard error,
    // even without a runtime folder; names are printed on one line. The name decides a
    // picture's format; an explicit --format may only agree.
    void whatAPersonSees_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QByteArray>("format"); // of the picture written, when given
        auto row = [](const char *name, const QString &command, const char *out, const QByteArray &format = {}) {
            QTest::newRow(name) << command.split(QLatin1Char(' ')) << QString::fromUtf8(out) << format;
        };
        row("help", "--help", "Usage: brindlex export [options] document");
        row("export help", "export -h", "--style <normal|r_triangle|");
        row("json", "export {dir}/Report.html --json", "\"fileName\":\"{dir}/Report.png\"", "png");
        row("markdown", "export {dir}/Note.md", "{dir}/Note.png\n");
        row("--json as a watermark text", "export {dir}/Note.md --watermark custom --text --json", "{dir}/Note.png\n");
        row("csv", "export {dir}/data.csv --json", "\"exitCode\":0");
        row("line break in a name", "export {dir}/two\nlines.md", "{dir}/two\\nlines.png\n");
        row("control byte in a name", "export {dir}/bell\a.md", "{dir}/bell\\x07.png\n");
        row("convert replaces on request", "convert {dir}/note.txt {dir}/old.pdf --overwrite", "{dir}/old.pdf\n");
        const QString note = QStringLiteral("export {dir}/Note.md --json --output {dir}/");
        row("jpeg", note + "q.jpeg", "\"fileName\":\"{dir}/q.jpeg\"", "jpeg");
        row("jpeg named jpg", note + "q.jpeg --format jpg", "\"fileName\":\"{dir}/q.jpeg\"", "jpeg");
        row("tiff", note + "q.tiff", "\"fileName\":\"{dir}/q.tiff\"", "tiff");
        row("upper-case TIF as tiff", note + "q.TIF --format tiff", "\"fileName\":\"{dir}/q.TIF\"", "tiff");
        row("bmp", note + "q.bmp --format bmp", "\"fileName\":\"{dir}/q.bmp\"", "bmp");
    }

    void whatAPersonSees()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        QFETCH(QByteArray, format);
        makeFixtures();
        const Run run = brindlex(expand(arguments), kNoRuntimeFolder);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains(out.replace(QLatin1String("{dir}"), m_dir.path())), qPrintable(run.out));
        for (const char *key : {"errMsg", "errTitle", "detail"})
            QVERIFY2(!run.json.contains(QLatin1String(key)), key);
        if (!run.json.isEmpty())
            QVERIFY(!run.picture().isNull());
        if (!format.isEmpty())
            QCOMPARE(QImageReader(run.json.value(QStringLiteral("fileName")).toString()).format(), format);
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
            const Run run = brindlex({"export", m_dir.filePath(QStringLiteral("Note.md")), "--output",
                                      m_dir.filePath(QStringLiteral("%1.png").arg(style)), "--watermark", "custom", "--text",
                                      "Draft", "--style", style, "--json"});
            QCOMPARE(run.status, 0);
            QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
            const QImage picture = run.picture();
            pictures.insert(QByteArray(reinterpret_cast<const char *>(picture.constBits()), int(picture.sizeInBytes())));
        }
        QCOMPARE(pictures.size(), 6);
    }

    // The options that place a single slide reach the presentation's export.
    void deckOptionsReachTheSlides()
    {
        const QString deck = m_dir.filePath(QStringLiteral("Talk.slides.md"));
        QVERIFY(ktest::writeText(deck, "# One\n\nFirst\n\n---\n\n# Two\n\n---\n\n# Three\n"));
        const Run one =
            brindlex({"export", deck, "--json", "--pages", "2", "--quality", "200", "--first-top", "10", "--last-bottom", "10"});
        QCOMPARE(one.status, 0);
        QCOMPARE(one.json.value(QStringLiteral("pageCount")).toString(), QStringLiteral("1"));
        QCOMPARE(one.picture().size(), QSize(2560, 20 + 15 + 1440 + 15 + 20));
    }

    void sheetAboveTheSizeLimitIsWrittenWithAWarning()
    {
        const QString csv = m_dir.filePath(QStringLiteral("Poster.csv"));
        QVERIFY(ktest::writeText(csv, "x\n") && ktest::writeText(csv + ".sheet", "width A 1600\nheight 1 1600\n"));
        const Run run = brindlex({"export", csv, "--quality", "200"}, {{"BRINDLEX_EDITION", "5"}});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.contains(QStringLiteral("Warning: The picture is larger")), qPrintable(run.err));
        QCOMPARE(QImage(m_dir.filePath(QStringLiteral("Poster.png"))).size(), QSize(3230, 3230));
    }

    void convertedPresentationExportsItsSlides()
    {
        if (ktest::soffice().isEmpty())
            QSKIP("LibreOffice (soffice) is not installed; office formats cannot be converted here");
        const QString fodp = m_dir.filePath(QStringLiteral("Pitch.fodp"));
        QVERIFY(ktest::writeText(fodp, ktest::flatPresentation({"Hello", "World"})));
        const QString pptx = ktest::sofficeConvert(fodp, QStringLiteral("pptx"), m_dir.path());
        QVERIFY2(!pptx.isEmpty(), "LibreOffice did not make the test presentation");
        const Run run = brindlex({"export", pptx, "--json"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.json.value(QStringLiteral("pageCount")).toString(), QStringLiteral("2"));
        const QImage picture = run.picture();
        picture.save(ktest::artifactPath(QStringLiteral("brindlex-pptx.png")));
        QCOMPARE(qRound(picture.width() * 2 * 100.0 / picture.height()), 178); // two 16:9 slides, no gap
    }

    // A signal while the document opens or pictures are written cancels within a moment:
    // exit 2 with the JSON saying so, no converter left running, nothing left behind.
    void signalsCancelPromptlyAndLeaveNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // for a PDF, the number of pages
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("waitFor"); // the converter, the first picture, or a second
        const QByteArray rtf = "{\\rtf1\\ansi A letter\\par}";
        QTest::newRow("office conversion, SIGTERM") << "Letter.rtf" << rtf << QStringList() << int(SIGTERM) << "converter";
        QTest::newRow("office conversion, SIGINT") << "Letter.rtf" << rtf << QStringList() << int(SIGINT) << "converter";
        QTest::newRow("sheet parsing, SIGINT") << "Table.csv"
                                               << QByteArray("r1,alpha,beta,gamma,delta,7,epsilon,zeta\n").repeated(250000)
                                               << QStringList() << int(SIGINT) << "";
        QTest::newRow("text layout, SIGTERM")
            << "Report.html"
            << "<html><body>" + QByteArray("<p>A paragraph of a long report, with words enough to wrap.</p>").repeated(160000)
                   + "</body></html>"
            << QStringList() << int(SIGTERM) << "";
        QTest::newRow("pages being written, SIGTERM") << "Big.pdf" << QByteArray("40") << QStringList{"--quality", "600"}
                                                      << int(SIGTERM) << "picture";
    }

    void signalsCancelPromptlyAndLeaveNothing()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QStringList, options);
        QFETCH(int, signal);
        QFETCH(QString, waitFor);
        if (waitFor == QLatin1String("converter") && ktest::soffice().isEmpty())
            QSKIP("LibreOffice is not installed");
        QVERIFY(!write(name, content).isEmpty());
        const QString scratch = m_dir.filePath(QStringLiteral("tmp"));
        QVERIFY(m_dir.mkdir(QStringLiteral("tmp")));

        QProcess process;
        start(process, QStringList{"export", m_dir.filePath(name), "--json"} + options, {{QStringLiteral("TMPDIR"), scratch}});
        QVERIFY(process.waitForStarted());
        if (waitFor == QLatin1String("converter")) {
            QTRY_VERIFY_WITH_TIMEOUT(!ktest::processesNaming(scratch).isEmpty() || process.state() == QProcess::NotRunning, 30000);
            QVERIFY2(process.state() != QProcess::NotRunning, process.readAllStandardError().constData());
        }
        else if (waitFor == QLatin1String("picture"))
            QTRY_VERIFY_WITH_TIMEOUT(!filesIn(m_dir.filePath(QFileInfo(name).completeBaseName())).isEmpty(), 60000);
        else
            QTest::qWait(1000); // well inside an opening of several seconds
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(process.processId()), signal);
        const Run run = finish(process);
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
        QCOMPARE(run.status, 2);
        QCOMPARE(run.json.value(QStringLiteral("exitCode")).toInt(), 2);
        QVERIFY(!run.json.contains(QStringLiteral("fileName")));
        QCOMPARE(ktest::processesNaming(scratch), QStringList());
        QCOMPARE(QDir(scratch).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        QCOMPARE(m_dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({name, "tmp"}));
    }

    // The dialog opens from the command line, the compact one in editions 0, 5 and 7, and
    // stays until the user closes it (here a signal does); nothing is left.
    void dialogFromTheCommandLine_data()
    {
        QTest::addColumn<QString>("edition");
        QTest::newRow("compact edition 0") << "0";
        QTest::newRow("compact edition 5") << "5";
        QTest::newRow("compact edition 7") << "7";
        QTest::newRow("full dialog") << "1";
    }

    void dialogFromTheCommandLine()
    {
        QFETCH(QString, edition);
        const QString document = write(QStringLiteral("Notes.md"), "# Notes\n\nOne page.\n");
        QProcess process;
        start(process, {"export", document, "--dialog", "--json"}, {{"BRINDLEX_EDITION", edition}});
        QVERIFY(process.waitForStarted());
        QVERIFY(!process.waitForFinished(3000)); // the dialog waits for its user
        ::kill(pid_t(process.processId()), SIGTERM);
        const Run run = finish(process);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.json.value(QStringLiteral("exitCode")).toInt(), 2);
        QCOMPARE(m_dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"Notes.md"}));
    }

    void fileSizeLimitFailsWithItsCauseAndLeavesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("PDF, one picture per page") << "Scan.pdf" << QByteArray("3") << QStringList{"--quality", "300"};
        QTest::newRow("writer, long picture") << "Notes.html" << ktest::blockPagesHtml(3) << QStringList{"--long"};
        QTest::newRow("writer, one picture per page") << "Notes.html" << ktest::blockPagesHtml(3) << QStringList{"--each-page"};
    }

    void fileSizeLimitFailsWithItsCauseAndLeavesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QStringList, options);
        QVERIFY(!write(name, content).isEmpty());
        QProcess process; // no picture fits in 1024 bytes (two blocks of 512)
        process.start(QStringLiteral("/bin/sh"), QStringList{"-c", "ulimit -f 2 && exec \"$0\" \"$@\"", BRINDLEX_PATH,
                                                             "export", m_dir.filePath(name), "--json"} + options);
        const Run run = finish(process);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("Cannot write ")) && run.err.contains(QStringLiteral("File too large")),
                 qPrintable(run.err));
        QCOMPARE(run.json.value(QStringLiteral("exitCode")).toInt(), 1);
        // A script reading --json learns the cause too, not only the title and message.
        const QString detail = run.json.value(QStringLiteral("detail")).toString();
        QVERIFY2(detail.startsWith(QStringLiteral("Cannot write ")) && detail.contains(QStringLiteral("File too large")),
                 qPrintable(run.out));
        QVERIFY(!run.json.value(QStringLiteral("errMsg")).toString().isEmpty());
        QCOMPARE(m_dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({name}));
    }

private:
    // The files the tables refer to as {dir}/...
    void makeFixtures()
    {
        write(QStringLiteral("Report.html"), ktest::blockPagesHtml(3));
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

    // A PDF of `content` A4 pages, or any other document holding `content`; its path, or
    // nothing when it could not be written.
    // The libraries a run loaded, as LD_DEBUG=files reports them.
    // What brindlex itself loaded: the first process in the loader's log. Helpers it starts
    // inherit the log (a sanitizer's symbolizer does) and are left out.
    static QStringList loadedLibraries(const Run &run)
    {
        QStringList loaded;
        static const QRegularExpression opened(QStringLiteral("^ *(\\d+):\\s+file=(\\S+) \\[\\d+\\];  (needed|dynamically)"),
                                               QRegularExpression::MultilineOption);
        QString process;
        for (auto it = opened.globalMatch(run.err); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            if (process.isEmpty())
                process = match.captured(1);
            if (match.captured(1) == process)
                loaded << QFileInfo(match.captured(2)).fileName();
        }
        return loaded;
    }

    QString write(const QString &name, const QByteArray &content)
    {
        const QString path = m_dir.filePath(name);
        const bool written = name.endsWith(QLatin1String(".pdf"))
            ? ktest::writePdf(path, QVector<QSizeF>(content.toInt(), QSizeF(595, 842)).toList())
            : ktest::writeText(path, content);
        return written ? path : QString();
    }

    QScopedPointer<QTemporaryDir> m_tmp;
    QDir m_dir;
};

KTAVRO_TEST_MAIN(TestBrindlex)
#include "tst_brindlex.moc"
