#include "ktestoffice.h"
#include "ktestmain.h"

#include <kcsvtable.h>
#include <kdocumentloader.h>
#include <khostconfig.h>
#include <kimagepainter.h>
#include <kofficeconverter.h>
#include <kpainterext.h>
#include <kpdfbackend.h>
#include <kpdfdocument.h>
#include <kpresentationbackend.h>
#include <krt.h>
#include <ksecuritydocument.h>
#include <ksheetbackend.h>
#include <kslidedeck.h>
#include <kwriterbackend.h>
#include <kwriterbounds_p.h>

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// A seven-page PDF in the folder, opened through the loader.
KOpenedDocument openSevenPages(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("doc.pdf"));
    if (!ktest::writePdf(path, QVector<QSizeF>(7, QSizeF(500, 700)).toList()))
        return {};
    return KDocumentLoader::open(path);
}

// Pages of running text in several faces and sizes, far more distinct glyphs per font
// than a page of headings.
bool writeTextPages(const QString &path, int pages)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    const QString text = QStringLiteral("The quick brown fox jumps over the lazy dog; PACK MY BOX WITH FIVE DOZEN "
                                        "LIQUOR JUGS! 0123456789 (%&@#) \u00e9\u00e8\u00fc\u00df "
                                        "\u03b1\u03b2\u03b3\u03b4 \u0436\u0437\u0438\u0439 ");
    const QStringList families{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Serif"), QStringLiteral("DejaVu Sans Mono")};
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        int y = 20;
        for (int line = 0; y < 800; ++line) {
            QFont font(families.at((line + page) % families.size()));
            font.setPointSizeF(6 + (line % 4) * 2.5);
            font.setItalic(line % 5 == 0);
            painter.setFont(font);
            painter.drawText(QPointF(20 + line % 3, y), text.mid(line % 7) + text.left(line % 7));
            y += int(font.pointSizeF() * 1.5);
        }
    }
    return painter.end();
}

// The renderer of a writer document's page layout; null when any step fails.
KComPtr<IKPageRenderer> rendererOf(const KComPtr<IKWriterDocument> &doc)
{
    KComPtr<IKDocView> view;
    KComPtr<IKDocLayout> layout;
    KComPtr<IKPageRenderer> renderer;
    if (doc && kSucceeded(doc->activeView(view.put())) && kSucceeded(view->layout(1, layout.put())))
        layout->pageRenderer(renderer.put());
    return renderer;
}

QByteArray nested(const QByteArray &open, const QByteArray &close, int depth, bool closed = true)
{
    return "<html><body>" + open.repeated(depth) + "x" + (closed ? close.repeated(depth) : QByteArray()) + "</body></html>";
}

// About a megabyte on one line.
QByteArray oneLongLine(const QByteArray &word)
{
    return word.repeated(1000000 / word.size());
}

KComPtr<IKSlides> slidesOf(IKUnknown *object)
{
    KComPtr<IKUnknown> held(object);
    object->AddRef();
    const KComPtr<IKPresApplication> app = held.query<IKPresApplication>();
    KComPtr<IKPresentation> presentation;
    KComPtr<IKSlides> slides;
    if (app && kSucceeded(app->activePresentation(presentation.put())))
        presentation->slides(slides.put());
    return slides;
}

KComPtr<IKWorksheet> sheetOf(IKUnknown *object, KComPtr<IKWorkbook> *book = nullptr)
{
    KComPtr<IKUnknown> held(object);
    object->AddRef();
    const KComPtr<IKSheetApplication> app = held.query<IKSheetApplication>();
    KComPtr<IKWorkbook> workbook;
    KComPtr<IKWorksheet> sheet;
    if (app && kSucceeded(app->activeWorkbook(workbook.put())))
        workbook->activeSheet(sheet.put());
    if (book)
        *book = workbook;
    return sheet;
}

KCellRange boundsOf(const KComPtr<IKSheetObjects> &objects, int i)
{
    KComPtr<IKSheetObject> object;
    KComPtr<IKCellRange> range;
    KCellRange bounds;
    if (kSucceeded(objects->item(i, object.put())) && kSucceeded(object->anchorRange(range.put())))
        range->bounds(&bounds);
    return bounds;
}

bool same(const KCellRange &a, const KCellRange &b)
{
    return a.firstRow == b.firstRow && a.lastRow == b.lastRow && a.firstColumn == b.firstColumn
        && a.lastColumn == b.lastColumn;
}

// The used range of a sheet painted at scale 1 in page coordinates.
QImage paintUsed(const KComPtr<IKWorksheet> &sheet, bool plainWatermark)
{
    KComPtr<IKCellRange> used;
    KComPtr<IKSheetLayout> layout;
    sheet->usedRange(used.put());
    sheet->layout(layout.put());
    ImagePainter measure(1);
    QRectF area;
    int values[4];
    layout->drawingArea(used.get(), &measure, &area, values);
    QImage image(measure.pixelSize(area), QImage::Format_RGB32);
    image.fill(Qt::white);
    PainterExt painter(&image);
    painter.setupPageCoordinates();
    layout->draw(&painter, area, plainWatermark);
    return image;
}

int inkColumns(const QImage &image, const QRect &box)
{
    int columns = 0;
    for (int x = box.left(); x <= box.right(); ++x) {
        for (int y = box.top(); y <= box.bottom(); ++y) {
            if (qRed(image.pixel(x, y)) < 150) {
                ++columns;
                break;
            }
        }
    }
    return columns;
}

} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { KHostConfig::reload(); }

    void pdfPagesMeasureAndRenderConsistently()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.pdf"));
        QVERIFY(ktest::writePdf(path, {QSizeF(595, 842), QSizeF(842, 595), QSizeF(300, 144)}));
        const int before = KObjectTracker::liveObjects();
        {
            const KOpenedDocument opened = KDocumentLoader::open(path);
            QVERIFY2(opened.object, qPrintable(opened.error));
            const KComPtr<IKPdfDocument> pdf = opened.object.query<IKPdfDocument>();
            QVERIFY(pdf);
            QCOMPARE(pdf->pageCount(), 3);
            const double screen = krt::host::screenDpi();
            QCOMPARE(pdf->pageSize(2), QSizeF(300 * screen / 72, 144 * screen / 72));
            // Zoom 192 / screen renders at 192 dots per inch.
            const QImage page = pdf->renderPage(2, float(192.0 / screen));
            QCOMPARE(page.size(), QSize(800, 384));
            QVERIFY(pdf->prepareRendering(1.0f));
            QVERIFY(pdf->renderPage(7, 1.0f).isNull());
            QVERIFY(pdf->pageSize(-1).isEmpty());
        }
        QCOMPARE(KObjectTracker::liveObjects(), before);
    }

    void pagesRenderedAheadComeFromTheFileThatWasOpened_data()
    {
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<float>("zoom");
        // Small pages go through the private rasteriser, large ones through Poppler's copies.
        QTest::newRow("renamed over, small pages") << false << 1.0f;
        QTest::newRow("rewritten in place, small pages") << true << 1.0f;
        QTest::newRow("renamed over, large pages") << false << 2.5f;
        QTest::newRow("rewritten in place, large pages") << true << 2.5f;
    }

    void pagesRenderedAheadComeFromTheFileThatWasOpened()
    {
        QFETCH(bool, inPlace);
        QFETCH(float, zoom);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.pdf"));
        QVERIFY(ktest::writePdf(path, QVector<QSizeF>(4, QSizeF(595, 842)).toList()));
        const KOpenedDocument opened = KDocumentLoader::open(path);
        const KComPtr<IKPdfDocument> pdf = opened.object.query<IKPdfDocument>();
        QVERIFY2(pdf, qPrintable(opened.error));
        // Measured on another opening: the copies of the first open on its first page.
        const QImage original = KDocumentLoader::open(path).object.query<IKPdfDocument>()->renderPage(0, zoom);

        const QString other = dir.filePath(QStringLiteral("other.pdf"));
        QVERIFY(ktest::writePdf(other, {QSizeF(300, 300), QSizeF(200, 500)}));
        if (inPlace) {
            QFile source(other);
            QVERIFY(source.open(QIODevice::ReadOnly));
            QVERIFY(ktest::writeText(path, source.readAll()));
        } else {
            QVERIFY(QFile::remove(path) && QFile::rename(other, path));
        }
        for (int i = 0; i < 4; ++i)
            QCOMPARE(pdf->renderPage(i, zoom).size(), original.size());
    }

    // Pages render ahead on one copy per core; whatever order they are asked in, each
    // answer is the page asked for (every page here has a size of its own).
    void pagesComeBackWhateverOrderTheyAreAskedIn_data()
    {
        QTest::addColumn<QList<int>>("order");
        QTest::addColumn<float>("zoom");
        QTest::newRow("in order, small pages") << QList<int>{0, 1, 2, 3, 4, 5, 6} << 1.0f;
        QTest::newRow("backwards, small pages") << QList<int>{6, 5, 4, 3, 2, 1, 0} << 1.0f;
        QTest::newRow("skipping and repeating, large pages") << QList<int>{0, 3, 1, 6, 2, 2, 5} << 2.5f;
    }

    void pagesComeBackWhateverOrderTheyAreAskedIn()
    {
        QFETCH(QList<int>, order);
        QFETCH(float, zoom);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.pdf"));
        QList<QSizeF> sizes;
        for (int i = 0; i < 7; ++i)
            sizes << QSizeF(500 + 20 * i, 700 + 10 * i);
        QVERIFY(ktest::writePdf(path, sizes));
        const KOpenedDocument opened = KDocumentLoader::open(path);
        const KComPtr<IKPdfDocument> pdf = opened.object.query<IKPdfDocument>();
        QVERIFY2(pdf, qPrintable(opened.error));
        for (int i : order) {
            const QSize expected = (pdf->pageSize(i) * double(zoom)).toSize();
            const QImage page = pdf->renderPage(i, zoom);
            QVERIFY2(std::abs(page.width() - expected.width()) <= 1 && std::abs(page.height() - expected.height()) <= 1,
                     qPrintable(QStringLiteral("page %1").arg(i)));
        }
    }

    // Copies of the document are opened to read ahead only while pages come in order: a
    // single page or pages picked here and there parse the file once.
    void copiesOpenOnlyForPagesInOrder_data()
    {
        QTest::addColumn<QList<int>>("order");
        QTest::addColumn<bool>("copies");
        QTest::newRow("one page") << QList<int>{0} << false;
        QTest::newRow("one page in the middle") << QList<int>{3} << false;
        QTest::newRow("here and there") << QList<int>{5, 2, 0, 4} << false;
        QTest::newRow("the same page twice") << QList<int>{2, 2} << false;
        QTest::newRow("in order") << QList<int>{0, 1, 2} << true;
        QTest::newRow("in order from the middle") << QList<int>{4, 5} << true;
    }

    void copiesOpenOnlyForPagesInOrder()
    {
        QFETCH(QList<int>, order);
        QFETCH(bool, copies);
        QTemporaryDir dir;
        const KOpenedDocument opened = openSevenPages(dir);
        auto *pdf = dynamic_cast<KPdfBackend *>(opened.object.get());
        QVERIFY2(pdf, qPrintable(opened.error));
        for (int i : order) {
            const QSize size = pdf->renderPage(i, 1.0f).size();
            QVERIFY(std::abs(size.width() - pdf->pageSize(i).toSize().width()) <= 1);
        }
        QCOMPARE(pdf->copiesOpened() > 0, copies);
    }

    // A walk told which pages it wants starts all copies on its first page, and renders
    // none past the last ahead (nor waits for one when it ends).
    void readAheadStopsAtTheLastWantedPage()
    {
        if (QThread::idealThreadCount() < 2)
            QSKIP("pages are read ahead on a second core only");
        QTemporaryDir dir;
        const KOpenedDocument opened = openSevenPages(dir);
        auto *pdf = dynamic_cast<KPdfBackend *>(opened.object.get());
        QVERIFY2(pdf, qPrintable(opened.error));
        pdf->setPagesWanted({1, 2});
        QVERIFY(!pdf->renderPage(1, 1.0f).isNull());
        QCOMPARE(pdf->pagesRenderedAhead(), 2); // page 2 started beside page 1
        QVERIFY(!pdf->renderPage(2, 1.0f).isNull());
        QCOMPARE(pdf->pagesRenderedAhead(), 2);
    }

    // Copies draw pages through a device of their own that keeps glyphs cached across
    // pages; text-heavy pages must come out pixel for pixel as the document draws them alone.
    void pagesReadAheadMatchThePageDrawnAlone_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::newRow("100 %") << 1.0f;
        QTest::newRow("200 %") << 2.0f;
        QTest::newRow("600 %") << 6.0f;
    }

    void pagesReadAheadMatchThePageDrawnAlone()
    {
        QFETCH(float, zoom);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("text.pdf"));
        QVERIFY(writeTextPages(path, 4));
        const KOpenedDocument opened = KDocumentLoader::open(path);
        auto *pdf = dynamic_cast<KPdfBackend *>(opened.object.get());
        QVERIFY2(pdf, qPrintable(opened.error));
        pdf->setPagesWanted({0, 1, 2, 3});
        for (int i = 0; i < 4; ++i) {
            const QImage ahead = pdf->renderPage(i, zoom).convertToFormat(QImage::Format_RGB32);
            const QImage alone = pdf->renderPageAtDpi(i, zoom * krt::host::screenDpi()).convertToFormat(QImage::Format_RGB32);
            QVERIFY(!ahead.isNull());
            QVERIFY2(ahead == alone, qPrintable(QStringLiteral("page %1 differs").arg(i + 1)));
        }
        QVERIFY(pdf->copiesOpened() > 0 || QThread::idealThreadCount() < 2);
    }

    // A document's kind follows its name in any case: the component that serves it, and
    // whether LibreOffice converts it first.
    void kindFollowsTheName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("component"); // empty: not a kind the host opens
        QTest::addColumn<bool>("converted");
        QTest::newRow("PDF") << "/d/Report.PDF" << "pdf" << false;
        QTest::newRow("text") << "a.Text" << "vyx" << false;
        QTest::newRow("Markdown") << "notes.md" << "vyx" << false;
        QTest::newRow("HTML") << "page.HTM" << "vyx" << false;
        QTest::newRow("office text") << "Letter.DocX" << "vyx" << true;
        QTest::newRow("deck") << "Talk.Slides.MD" << "vyd" << false;
        QTest::newRow("deck, dots in its name") << "/d/v1.2.slides.md" << "vyd" << false;
        QTest::newRow("Markdown named slides") << "slides.md" << "vyx" << false;
        QTest::newRow("office slides") << "Deck.PPT" << "vyd" << true;
        QTest::newRow("TSV") << "data.TSV" << "qz" << false;
        QTest::newRow("office sheet") << "Budget.xlsx" << "qz" << true;
        QTest::newRow("unknown") << "sheet.xyz" << "" << false;
        QTest::newRow("a suffix before the last") << "Report.pdf.bak" << "" << false;
        QTest::newRow("no suffix") << "/d/docx" << "" << false;
        QTest::newRow("suffix of the folder only") << "/d/x.csv/data" << "" << false;
    }

    void kindFollowsTheName()
    {
        QFETCH(QString, path);
        QFETCH(QString, component);
        QFETCH(bool, converted);
        QCOMPARE(KDocumentLoader::componentFor(path), component);
        QCOMPARE(KDocumentLoader::needsConversion(path), converted);
    }

    // Documents open and render their first page, or are refused with the reason, within
    // seconds however hostile they are.
    void documentsOpenOrAreRefusedInBoundedTime_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // null: no such file
        QTest::addColumn<QString>("refusal"); // empty: the document opens
        // The trailer names a standard security handler with a user password we do not know.
        const QByteArray security =
            "<< /Filter /Standard /V 1 /R 2 /P -44 /O <" + QByteArray(64, 'a') + "> /U <" + QByteArray(64, 'b') + "> >>";
        const QByteArray id = QByteArray(32, 'c');
        const QByteArray locked =
            ktest::rawPdf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                           "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>", security},
                          " /Encrypt 4 0 R /ID [<" + id + "> <" + id + ">]");
        QTest::newRow("damaged PDF") << "d.pdf" << QByteArray("%PDF-1.4\nnot really a PDF\n") << "d.pdf: not a readable PDF";
        QTest::newRow("encrypted PDF") << "locked.pdf" << locked << "encrypted";
        QTest::newRow("empty PDF") << "empty.pdf" << QByteArray("") << "not a readable PDF";
        QTest::newRow("missing") << "missing.pdf" << QByteArray() << "missing.pdf: no such file";
        QTest::newRow("unknown kind") << "sheet.xyz" << QByteArray("?") << "cannot open this kind";
        QTest::newRow("deck without slides") << "Empty.slides.md" << QByteArray("\n---\n") << "no slides";
        QTest::newRow("office format without LibreOffice") << "Budget.xlsx" << QByteArray("no workbook") << "needs LibreOffice";
        const QByteArray table = "<table border=\"1\"><tr><td>";
        const QByteArray tableEnd = "</td></tr></table>";
        QTest::newRow("tables 12 deep") << "t.html" << nested(table, tableEnd, 12) << QString();
        QTest::newRow("tables 20 deep") << "t.html" << nested(table, tableEnd, 20) << "t.html: tables are nested 20 deep; at most 12";
        QTest::newRow("tables 5000 deep") << "t.html" << nested(table, tableEnd, 5000) << "at most 12 levels";
        QTest::newRow("lists 150 deep") << "l.html" << nested("<ul><li>", "</li></ul>", 150) << QString();
        QTest::newRow("paragraphs never closed") << "p.html" << nested("<p>", "", 20000, false) << QString();
        QTest::newRow("divisions 100000 deep, never closed")
            << "d.html" << nested("<div>", "", 100000, false) << "d.html: elements are nested 100002 deep; at most 200";
        QTest::newRow("spans 100000 deep") << "s.html" << nested("<span>", "</span>", 100000) << "at most 200 levels";
        QTest::newRow("a 1 MB line of words") << "w.txt" << oneLongLine("lorem ipsum ") << QString();
        QTest::newRow("a 1 MB line without a space") << "n.txt" << oneLongLine("abcdefghij") << QString();
        QTest::newRow("Markdown, 1 MB without a space") << "n.md" << oneLongLine("abcdefghij") << QString();
        QTest::newRow("HTML, 1 MB without a space") << "n.html" << "<p>" + oneLongLine("abcdefghij") + "</p>" << QString();
    }

    void documentsOpenOrAreRefusedInBoundedTime()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(content.isNull() || ktest::writeText(path, content));
        const QByteArray searchPath = qgetenv("PATH");
        qputenv("PATH", dir.path().toUtf8()); // no LibreOffice to convert with
        QElapsedTimer clock;
        clock.start();
        const KOpenedDocument opened = KDocumentLoader::open(path);
        qputenv("PATH", searchPath);
        if (opened.object) {
            const KComPtr<IKPageRenderer> renderer = rendererOf(opened.object.query<IKWriterDocument>());
            KComPtr<IKPage> page;
            QImage image;
            QVERIFY(renderer && kSucceeded(renderer->page(1, page.put())) && kSucceeded(page->render(&image, 96, 96)));
        }
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
        QCOMPARE(!opened.object, !refusal.isEmpty());
        QVERIFY2(opened.error.contains(refusal), qPrintable(opened.error));
    }

    void longRunsGetInvisibleBreaks_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<int>("breaks");
        const QString words = QString(QStringLiteral("lorem ipsum ")).repeated(500);
        QTest::newRow("words need none") << words << 0;
        QTest::newRow("a run of 2500") << QString(2500, QLatin1Char('x')) << 2;
        QTest::newRow("runs end at spaces") << QString(999, QLatin1Char('x')) + " " + QString(999, QLatin1Char('y')) << 0;
        QTest::newRow("in table cells, markup untouched")
            << "<table><tr><td><b>" + QString(1500, QLatin1Char('x')) + "</b></td><td>" + QString(1001, QLatin1Char('y'))
                   + "</td></tr></table>"
            << 2;
        // A character outside the basic plane is never split in two.
        QTest::newRow("surrogate pairs") << QString::fromUtf8("\xF0\x9F\x98\x80").repeated(1500) << 2;
    }

    void longRunsGetInvisibleBreaks()
    {
        QFETCH(QString, html);
        QFETCH(int, breaks);
        QTextDocument document;
        document.setHtml(html);
        const QString before = document.toPlainText();
        QCOMPARE(kwriterbounds::breakLongRuns(&document), breaks);
        const QString after = document.toPlainText();
        QCOMPARE(QString(after).remove(QChar(0x200B)), before);
        for (int i = after.indexOf(QChar(0x200B)); i >= 0; i = after.indexOf(QChar(0x200B), i + 1))
            QVERIFY(!after.at(i - 1).isHighSurrogate());
        const QStringList runs = QString(after).replace(QChar(0x200B), QLatin1Char(' ')).split(QRegularExpression(QStringLiteral("\\s")));
        for (const QString &run : runs)
            QVERIFY(run.size() <= kwriterbounds::kLongestRun);
        if (html.contains(QLatin1String("<b>")))
            QVERIFY(document.find(QString(QChar(0x200B))).charFormat().fontWeight() == QFont::Bold);
    }

    void htmlNestingIsMeasuredLikeABrowserReadsIt_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<int>("tables");
        QTest::addColumn<int>("elements");
        QTest::newRow("siblings do not nest") << "<div></div><div><p>a</p></div><table></table>" << 1 << 1;
        QTest::newRow("tables in a division") << "<DIV><table><tr><td><Table></table></table></div>" << 2 << 3;
        QTest::newRow("inline elements nest") << "<b><i><span>x</span></i></b><a href=x>y</a>" << 0 << 3;
        QTest::newRow("cells, items, empty and self-closed do not")
            << "<table><tr><td>a<td>b<tr><td>c</table><ul><li>a<li>b</ul><br><hr/><img src=a.png><span/>" << 1 << 1;
        QTest::newRow("stray end tags ignored") << "</div></div><ul><li><ul></ul></ul>" << 0 << 2;
        QTest::newRow("unclosed stay open") << "<blockquote><blockquote><blockquote>" << 0 << 3;
        QTest::newRow("comments and quoted '>' are not tags")
            << "<!DOCTYPE html><!-- <div><div> --><div title=\"a > <div>\"><div></div></div>" << 0 << 2;
        QTest::newRow("'<' in the text") << "1 < 2 and 'x' <div>" << 0 << 1;
        QTest::newRow("scripts are not markup") << "<script>if (a<b && c<b) go();</script><style>p<b{}</STYLE><div>" << 0 << 1;
    }

    void htmlNestingIsMeasuredLikeABrowserReadsIt()
    {
        QFETCH(QString, html);
        QFETCH(int, tables);
        QFETCH(int, elements);
        const KHtmlNesting nesting = KHtmlNesting::measure(html);
        QCOMPARE(nesting.tables, tables);
        QCOMPARE(nesting.elements, elements);
    }

    void writerDocumentsPaginateAndRenderThroughTheChain()
    {
        const int before = KObjectTracker::liveObjects();
        {
            KComPtr<IKWriterDocument> doc(
                KWriterBackend::fromText(QString::fromUtf8(ktest::blockPagesHtml(4, {2}, 10)), KWriterBackend::Source::Html));
            KComPtr<IKDocView> view;
            KComPtr<IKDocLayout> layout;
            QVERIFY(kSucceeded(doc->activeView(view.put())));
            QCOMPARE(view->layout(0, layout.put()), long(K_NOINTERFACE));
            const KComPtr<IKPageRenderer> renderer = rendererOf(doc);
            QVERIFY(renderer);
            int count = 0;
            QVERIFY(kSucceeded(renderer->pageCount(&count)));
            QCOMPARE(count, 4);

            KComPtr<IKPage> page;
            QVERIFY(kSucceeded(renderer->page(1, page.put())));
            QImage image;
            QVERIFY(page->render(&image, 192, 192) >= 0);
            QCOMPARE(image.size(), QSize(1587, 2245)); // A4 at 192 dots per inch
            QCOMPARE(image.pixel(300, 160), qRgb(0, 0, 0)); // the block, inside the margins
            QCOMPARE(image.pixel(50, 50), qRgb(255, 255, 255));
            QVERIFY(page->render(&image, 0, 0) < 0);
            QVERIFY(!kSucceeded(renderer->page(5, page.put())));

            QCOMPARE(spacingOf(doc), 10.0f);
        }
        QCOMPARE(KObjectTracker::liveObjects(), before);
    }

    // Markdown names no page spacing, and renders off the interface thread unless told.
    void markdownHasNoSpacingAndNoRenderLock()
    {
        KComPtr<IKWriterDocument> doc(KWriterBackend::fromText(QStringLiteral("# Title\n\nSome *text*.\n"),
                                                              KWriterBackend::Source::Markdown));
        QCOMPARE(spacingOf(doc), kDocSpacingUnset);
        KComPtr<IKDocStateLock> state;
        KComPtr<IKUnknown> lock;
        QVERIFY(kSucceeded(doc->documentState(state.put())) && kSucceeded(state->renderThreadLock(lock.put())));
        QVERIFY(!lock);
    }

    void longTextSpillsOntoMorePages()
    {
        QByteArray text;
        for (int i = 0; i < 400; ++i)
            text += "Line " + QByteArray::number(i) + " of a long plain text document.\n";
        const KComPtr<IKWriterDocument> doc(
            KWriterBackend::fromText(QString::fromUtf8(text), KWriterBackend::Source::PlainText));
        const KComPtr<IKPageRenderer> renderer = rendererOf(doc);
        int count = 0;
        QVERIFY(renderer && kSucceeded(renderer->pageCount(&count)));
        QVERIFY2(count >= 5 && count <= 12, qPrintable(QString::number(count)));
    }

    void deckSplitsAtSeparatorLinesOutsideCode()
    {
        const QString deck = QStringLiteral("---\r\n# Opening\r\n---\n\n## Plan ##\n- one\n----\n```\n---\n```\n"
                                            "  ---  \nNo heading here\n\n---\n\n---\n# Last\n---\n");
        const QList<KSlideDeck::Slide> slides = KSlideDeck::parse(deck);
        QCOMPARE(slides.size(), 5);
        QCOMPARE(slides.at(0).title, QStringLiteral("Opening"));
        QVERIFY(slides.at(0).body.isEmpty());
        QCOMPARE(slides.at(1).title, QStringLiteral("Plan"));
        QVERIFY(slides.at(1).body.contains(QStringLiteral("----"))); // not a separator
        QVERIFY(slides.at(1).body.contains(QStringLiteral("```\n---\n```"))); // fenced
        QVERIFY(slides.at(2).title.isEmpty());
        QCOMPARE(slides.at(2).body, QStringLiteral("No heading here"));
        QVERIFY(slides.at(3).title.isEmpty() && slides.at(3).body.isEmpty()); // a deliberate blank slide
        QCOMPARE(slides.at(4).title, QStringLiteral("Last"));
        QVERIFY(KSlideDeck::parse(QStringLiteral(" \n---\n\n")).isEmpty());
    }

    void decksOpenAsPresentationsAndRenderAtTheirZoom()
    {
        QTemporaryDir dir;
        const QString deck = dir.filePath(QStringLiteral("Talk.slides.md"));
        QVERIFY(ktest::writeText(deck, "# One\n\nBody\n\n---\n\n# Two\n"));

        const int before = KObjectTracker::liveObjects();
        {
            const KOpenedDocument opened = KDocumentLoader::open(deck);
            QVERIFY2(opened.object, qPrintable(opened.error));
            const KComPtr<IKSlides> slides = slidesOf(opened.object.get());
            QVERIFY(slides);
            int count = 0;
            QVERIFY(kSucceeded(slides->count(&count)));
            QCOMPARE(count, 2);
            KComPtr<IKSlide> slide;
            QVERIFY(!kSucceeded(slides->item(QVariant(qint32(0)), slide.put())));
            QVERIFY(!kSucceeded(slides->item(QVariant(qint32(3)), slide.put())));
            QVERIFY(!kSucceeded(slides->item(QVariant(QStringLiteral("two")), slide.put())));
            QVERIFY(kSucceeded(slides->item(QVariant(qint32(1)), slide.put())));
            QImage image;
            const float zoom = 192.0f / krt::host::screenDpi();
            QVERIFY(slide->render(&image, zoom, true) >= 0);
            QCOMPARE(image.size(), QSize(2560, 1440));
            QVERIFY(slide->render(&image, 0.0f, true) < 0);
            QVERIFY(image.isNull());
        }
        QCOMPARE(KObjectTracker::liveObjects(), before);
    }

    void csvFieldsKeepQuotedDelimitersAndBreaks()
    {
        const QList<QStringList> rows =
            KCsvTable::parse(QStringLiteral("\xFEFF" "a,\"b, c\",\"say \"\"hi\"\"\"\r\n\"two\nlines\",,x\r\nlast"), QLatin1Char(','));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0), QStringList({"a", "b, c", "say \"hi\""}));
        QCOMPARE(rows.at(1), QStringList({"two\nlines", "", "x"}));
        QCOMPARE(rows.at(2), QStringList({"last"}));
        QCOMPARE(KCsvTable::parse(QStringLiteral("a\tb,c\n"), QLatin1Char('\t')), QList<QStringList>({{"a", "b,c"}}));
        QVERIFY(KCsvTable::parse(QString(), QLatin1Char(',')).isEmpty());
    }

    void sheetReportsCellsPicturesAndNotes()
    {
        QTemporaryDir dir;
        QImage logo(100, 30, QImage::Format_RGB32);
        logo.fill(Qt::red);
        QVERIFY(logo.save(dir.filePath(QStringLiteral("logo.png"))));
        QVERIFY(ktest::writeText(dir.filePath(QStringLiteral("data.tsv")), "\t\t\nx\t1\n\ty\t2\n"));
        QVERIFY(ktest::writeText(dir.filePath(QStringLiteral("data.tsv.sheet")),
                                 "# layout\nwidth B 50\npicture D2 logo.png\npicture B6:C7 logo.png\n"
                                 "note A1 see here\npicture E1 missing.png\nwidth ZZZZ 3\nheight 2 -4\nfrobnicate\n"));
        QString error;
        KComPtr<KSheetBackend> backend(KSheetBackend::open(dir.filePath(QStringLiteral("data.tsv")), &error));
        QVERIFY2(backend, qPrintable(error));
        QCOMPARE(backend->warnings().size(), 4);
        const KComPtr<IKWorksheet> sheet = sheetOf(backend.get());
        KComPtr<IKCellRange> used;
        KCellRange bounds;
        QVERIFY(kSucceeded(sheet->usedRange(used.put())) && kSucceeded(used->bounds(&bounds)));
        QVERIFY(same(bounds, {1, 2, 0, 2}));
        KComPtr<IKSheetObjects> pictures;
        KComPtr<IKSheetObjects> notes;
        QVERIFY(kSucceeded(sheet->drawingObjects(pictures.put())) && kSucceeded(sheet->anchoredObjects(notes.put())));
        int count = 0;
        pictures->count(&count);
        QCOMPARE(count, 2);
        QVERIFY(same(boundsOf(pictures, 0), {1, 2, 3, 4})); // 100 x 30 over 64-wide columns, rows of 20
        QVERIFY(same(boundsOf(pictures, 1), {5, 6, 1, 2}));
        const KCellRange note = boundsOf(notes, 0);
        QCOMPARE(note.firstColumn, 0);
        QVERIFY(note.lastColumn >= 2); // the note box lies beside its cell
        int rows = 0;
        sheet->rowCount(&rows);
        KComPtr<IKCellRange> ref;
        QVERIFY(kSucceeded(sheet->range({0, rows - 1, 0, 0}, ref.put())));
        QVERIFY(!kSucceeded(sheet->range({0, rows, 0, 0}, ref.put())));
        QVERIFY(!kSucceeded(sheet->range({3, 2, 0, 0}, ref.put())));
        KComPtr<IKSheetApplication> emptySheet(KSheetBackend::fromCells({{"", ""}}));
        QCOMPARE(sheetOf(emptySheet.get())->usedRange(used.put()), long(K_FALSE));
        QVERIFY(!used);
    }

    void sheetLayoutPaintsGridAlignedTextAndWatermark()
    {
        KComPtr<IKWorkbook> workbook;
        KComPtr<IKSheetApplication> backend(KSheetBackend::fromCells(
            {{"Item", "12"}, {"Nut", "7"}}, QStringLiteral("width A 120\nwidth B 120\nwatermark DRAFT\n")));
        const KComPtr<IKWorksheet> sheet = sheetOf(backend.get(), &workbook);
        QVERIFY(SecurityDocumentSpace::GetShowPlainWatermarkWhenPrint(workbook.get()));
        const QImage plain = paintUsed(sheet, false);
        QCOMPARE(plain.width(), 240);
        QCOMPARE(plain.pixel(0, 5), qRgb(212, 212, 212));   // grid on the left edge
        QCOMPARE(plain.pixel(120, 5), qRgb(212, 212, 212)); // between the columns
        QCOMPARE(plain.pixel(239, 5), qRgb(212, 212, 212)); // closing line inside the area
        // Text starts at the left of its cell, numbers end at the right of theirs.
        QVERIFY(inkColumns(plain, QRect(1, 2, 40, 16)) > 0);
        QCOMPARE(inkColumns(plain, QRect(80, 2, 39, 16)), 0);
        QCOMPARE(inkColumns(plain, QRect(121, 2, 60, 16)), 0);
        QVERIFY(inkColumns(plain, QRect(200, 2, 38, 16)) > 0);
        const QImage marked = paintUsed(sheet, true);
        QVERIFY(marked != plain);

        KComPtr<IKSheetLayout> layout;
        sheet->layout(layout.put());
        QImage image(10, 10, QImage::Format_RGB32);
        PainterExt notInPage(&image);
        QCOMPARE(layout->draw(&notInPage, QRectF(0, 0, 10, 10), false), long(K_FAIL));
    }

    void imagePainterMeasuresAgainstTheEditionLimit()
    {
        ImagePainter wide(2);
        QCOMPARE(wide.sizeLimit(), 10000);
        QCOMPARE(wide.pixelSize(QRectF(0, 0, 10.2, 3)), QSize(21, 6));
        QVERIFY(wide.measure(QRectF(0, 0, 5000, 5000)));
        QVERIFY(!wide.measure(QRectF(0, 0, 5000, 5000.5)));
        QVERIFY(wide.isTooLarge());
        QVERIFY(!wide.measure(QRectF(0, 0, 1e10, 1))); // beyond a picture's size altogether
        KHostConfig::setEditionNumber(7);
        QCOMPARE(ImagePainter(1).sizeLimit(), 3072);
    }

    // A cancel reaches the converter through a signal; that is tried end to end.
    void converterPastItsTimeIsEndedWithItsFolder()
    {
        if (ktest::soffice().isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("Letter.rtf"));
        QVERIFY(ktest::writeText(source, "{\\rtf1\\ansi A letter\\par}"));
        const QString temp = QDir::tempPath();
        const QStringList before = QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        QElapsedTimer clock;
        clock.start();
        const KOfficeConverter::Result result = KOfficeConverter::convert(source, QStringLiteral("pdf"), 400);
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(result.path.isEmpty());
        QVERIFY2(result.error.contains(QStringLiteral("did not finish the conversion")), qPrintable(result.error));
        QCOMPARE(ktest::processesNaming(temp), QStringList());
        QCOMPARE(QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }

    // Presentations converted by LibreOffice are opened end to end by the brindlex suite.
    void officeDocumentsAreConvertedAndServed()
    {
        if (ktest::soffice().isEmpty())
            QSKIP("LibreOffice (soffice) is not installed; office formats cannot be converted here");
        QTemporaryDir dir;
        QVERIFY(ktest::writeText(dir.filePath(QStringLiteral("Letter.fodt")),
                                 ktest::flatText({"Dear reader,", "this letter was written by a test."})));
        QVERIFY(ktest::writeText(dir.filePath(QStringLiteral("Sheet.csv")), "Item,Qty\nBolts,120\nNuts,75\n"));
        auto convert = [&dir](const char *name, const char *target) {
            const QString converted = ktest::sofficeConvert(dir.filePath(QLatin1String(name)), QLatin1String(target), dir.path());
            return KDocumentLoader::open(converted);
        };
        const KOpenedDocument letter = convert("Letter.fodt", "docx");
        QVERIFY2(letter.object, qPrintable(letter.error));
        QCOMPARE(letter.component, QStringLiteral("vyx"));
        const KComPtr<IKPageRenderer> renderer = rendererOf(letter.object.query<IKWriterDocument>());
        KComPtr<IKPage> page;
        QImage image;
        QVERIFY(renderer && kSucceeded(renderer->page(1, page.put())) && page->render(&image, 96, 96) >= 0);
        QVERIFY(qAbs(image.width() - 794) <= 24 && qAbs(image.height() - 1123) <= 24); // A4 or Letter
        QVERIFY(inkColumns(image, image.rect()) > 50);

        const KOpenedDocument sheet = convert("Sheet.csv", "xlsx");
        QVERIFY2(sheet.object, qPrintable(sheet.error));
        QCOMPARE(sheet.component, QStringLiteral("qz"));
        KComPtr<IKCellRange> used;
        KCellRange bounds;
        const KComPtr<IKWorksheet> cells = sheetOf(sheet.object.get());
        QVERIFY(cells && kSucceeded(cells->usedRange(used.put())) && kSucceeded(used->bounds(&bounds)));
        QVERIFY(same(bounds, {0, 2, 0, 1}));
    }

private:
    static float spacingOf(const KComPtr<IKWriterDocument> &doc)
    {
        KComPtr<IKDocSettings> settings;
        KComPtr<IKPageSetup> setup;
        float spacing = -1;
        if (kSucceeded(doc->settings(settings.put())) && kSucceeded(settings->pageSetup(setup.put())))
            setup->spacing(&spacing);
        return spacing;
    }
};

KTAVRO_TEST_MAIN(TestDocuments)
#include "tst_documents.moc"
