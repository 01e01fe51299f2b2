#include "ktestdocuments.h"
#include "ktestmain.h"

#include <kdocumentloader.h>
#include <kpdfdocument.h>
#include <krt.h>
#include <kwriterbackend.h>
#include <kwriterbounds_p.h>

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// A PDF whose trailer names a standard security handler with a user password we do not
// know: it opens only as an encrypted document.
QByteArray encryptedPdf()
{
    QByteArray body = "%PDF-1.4\n";
    QList<int> offsets;
    auto object = [&](const QByteArray &text) {
        offsets << body.size();
        body += QByteArray::number(offsets.size()) + " 0 obj\n" + text + "\nendobj\n";
    };
    object("<< /Type /Catalog /Pages 2 0 R >>");
    object("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>");
    object("<< /Filter /Standard /V 1 /R 2 /P -44 /O <" + QByteArray(64, 'a') + "> /U <" + QByteArray(64, 'b') + "> >>");
    const int xref = body.size();
    body += "xref\n0 5\n0000000000 65535 f \n";
    for (int offset : offsets)
        body += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    body += "trailer\n<< /Size 5 /Root 1 0 R /Encrypt 4 0 R /ID [<" + QByteArray(32, 'c') + "> <" +
            QByteArray(32, 'c') + ">] >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return body;
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

} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT
private slots:
    void pdfPagesMeasureAndRenderConsistently()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.pdf"));
        QVERIFY(ktest::writePdf(path, {QSizeF(595, 842), QSizeF(842, 595), QSizeF(300, 144)}));
        const int before = KObjectTracker::liveObjects();
        {
            const KOpenedDocument opened = KDocumentLoader::open(path);
            QVERIFY2(opened.object, qPrintable(opened.error));
            QCOMPARE(opened.component, QStringLiteral("pdf"));
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

    void hostileWriterDocumentsAreBoundedInTime_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("refusal"); // empty: the document opens
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

    void hostileWriterDocumentsAreBoundedInTime()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(ktest::writeText(path, content));
        QElapsedTimer clock;
        clock.start();
        const KOpenedDocument opened = KDocumentLoader::open(path);
        KComPtr<IKDocView> view;
        KComPtr<IKDocLayout> layout;
        KComPtr<IKPageRenderer> renderer;
        KComPtr<IKPage> page;
        QImage image;
        if (const KComPtr<IKWriterDocument> doc = opened.object.query<IKWriterDocument>()) {
            QVERIFY(kSucceeded(doc->activeView(view.put())) && kSucceeded(view->layout(1, layout.put())));
            QVERIFY(kSucceeded(layout->pageRenderer(renderer.put())) && kSucceeded(renderer->page(1, page.put())));
            QVERIFY(kSucceeded(page->render(&image, 96, 96)));
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

    void badPdfsAreRefusedWithAReason()
    {
        QTemporaryDir dir;
        const QString damaged = dir.filePath(QStringLiteral("damaged.pdf"));
        QVERIFY(ktest::writeText(damaged, "%PDF-1.4\nthis is not really a PDF\n"));
        const QString locked = dir.filePath(QStringLiteral("locked.pdf"));
        QVERIFY(ktest::writeText(locked, encryptedPdf()));
        const QString empty = dir.filePath(QStringLiteral("empty.pdf"));
        QVERIFY(ktest::writeText(empty, QByteArray()));

        const KOpenedDocument a = KDocumentLoader::open(damaged);
        QVERIFY(!a.object);
        QVERIFY2(a.error.contains(QStringLiteral("not a readable PDF")), qPrintable(a.error));
        const KOpenedDocument b = KDocumentLoader::open(locked);
        QVERIFY(!b.object);
        QVERIFY2(b.error.contains(QStringLiteral("encrypted")), qPrintable(b.error));
        QVERIFY(!KDocumentLoader::open(empty).object);
        QVERIFY(KDocumentLoader::open(dir.filePath(QStringLiteral("missing.pdf"))).error.contains(QStringLiteral("no such file")));
        QVERIFY(!KDocumentLoader::open(dir.filePath(QStringLiteral("sheet.xyz"))).object);
    }

    void writerDocumentsPaginateAndRenderThroughTheChain()
    {
        const int before = KObjectTracker::liveObjects();
        {
            KComPtr<IKWriterDocument> doc(
                KWriterBackend::fromText(QString::fromUtf8(ktest::blockPagesHtml(4, {2}, 10)), KWriterBackend::Source::Html));
            KComPtr<IKDocView> view;
            KComPtr<IKDocLayout> layout;
            KComPtr<IKPageRenderer> renderer;
            QVERIFY(kSucceeded(doc->activeView(view.put())));
            QCOMPARE(view->layout(0, layout.put()), long(K_NOINTERFACE));
            QVERIFY(kSucceeded(view->layout(1, layout.put())));
            QVERIFY(kSucceeded(layout->pageRenderer(renderer.put())));
            int count = 0;
            QVERIFY(kSucceeded(renderer->pageCount(&count)));
            QCOMPARE(count, 4);

            KComPtr<IKPage> page;
            QVERIFY(kSucceeded(renderer->page(1, page.put())));
            QImage image;
            QVERIFY(page->render(&image, 192, 192) >= 0);
            QCOMPARE(image.size(), QSize(1587, 2245)); // A4 at 192 dots per inch
            image.save(ktest::artifactPath(QStringLiteral("writer-page-192dpi.png")));
            QCOMPARE(image.pixel(300, 160), qRgb(0, 0, 0)); // the block, inside the margins
            QCOMPARE(image.pixel(50, 50), qRgb(255, 255, 255));
            QVERIFY(page->render(&image, 0, 0) < 0);
            QVERIFY(!kSucceeded(renderer->page(5, page.put())));

            KComPtr<IKDocSettings> settings;
            KComPtr<IKPageSetup> setup;
            float spacing = 0;
            QVERIFY(kSucceeded(doc->settings(settings.put())));
            QVERIFY(kSucceeded(settings->pageSetup(setup.put())));
            QVERIFY(kSucceeded(setup->spacing(&spacing)));
            QCOMPARE(spacing, 10.0f);
        }
        QCOMPARE(KObjectTracker::liveObjects(), before);
    }

    void markdownHasNoSpacingAndStateLockIsSwitchable()
    {
        auto *backend = KWriterBackend::fromText(QStringLiteral("# Title\n\nSome *text*.\n"), KWriterBackend::Source::Markdown);
        KComPtr<IKWriterDocument> doc(backend);
        KComPtr<IKDocSettings> settings;
        KComPtr<IKPageSetup> setup;
        float spacing = 0;
        QVERIFY(kSucceeded(doc->settings(settings.put())) && kSucceeded(settings->pageSetup(setup.put())));
        setup->spacing(&spacing);
        QCOMPARE(spacing, kDocSpacingUnset);

        KComPtr<IKDocStateLock> state;
        KComPtr<IKUnknown> lock;
        QVERIFY(kSucceeded(doc->documentState(state.put())));
        state->renderThreadLock(lock.put());
        QVERIFY(!lock);
        backend->setRenderOnInterfaceThread(true);
        state->renderThreadLock(lock.put());
        QVERIFY(lock);
    }

    void longTextSpillsOntoMorePages()
    {
        QByteArray text;
        for (int i = 0; i < 400; ++i)
            text += "Line " + QByteArray::number(i) + " of a long plain text document.\n";
        KComPtr<IKWriterDocument> doc(KWriterBackend::fromText(QString::fromUtf8(text), KWriterBackend::Source::PlainText));
        KComPtr<IKDocView> view;
        KComPtr<IKDocLayout> layout;
        KComPtr<IKPageRenderer> renderer;
        doc->activeView(view.put());
        view->layout(1, layout.put());
        layout->pageRenderer(renderer.put());
        int count = 0;
        renderer->pageCount(&count);
        QVERIFY2(count >= 5 && count <= 12, qPrintable(QString::number(count)));
    }
};

KTAVRO_TEST_MAIN(TestDocuments)
#include "tst_documents.moc"
