#include "ktestdocuments.h"
#include "ktestmain.h"

#include <kdocumentloader.h>
#include <kpdfdocument.h>
#include <krt.h>
#include <kwriterbackend.h>

#include <QTemporaryDir>

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
