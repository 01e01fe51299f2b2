#include "ktestoffice.h"
#include "ktestmain.h"

#include <kcsvtable.h>
#include <kdocumentloader.h>
#include <kofficeconverter.h>
#include <kopeningcancel.h>
#include <khostconfig.h>
#include <kimagepainter.h>
#include <kpainterext.h>
#include <kpresentationbackend.h>
#include <ksecuritydocument.h>
#include <ksheetbackend.h>
#include <kslidedeck.h>
#include <kwriterdocument.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <thread>

namespace {

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

class TestOfficeDocuments : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { KHostConfig::reload(); }

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
        QCOMPARE(KDocumentLoader::componentFor(deck), QStringLiteral("vyd"));
        QCOMPARE(KDocumentLoader::componentFor(dir.filePath(QStringLiteral("notes.md"))), QStringLiteral("vyx"));
        const QString empty = dir.filePath(QStringLiteral("Empty.slides.md"));
        QVERIFY(ktest::writeText(empty, "\n---\n"));
        QVERIFY(KDocumentLoader::open(empty).error.contains(QStringLiteral("no slides")));

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
            image.save(ktest::artifactPath(QStringLiteral("deck-slide-192dpi.png")));
            QCOMPARE(image.pixel(10, 10), qRgb(43, 76, 126));       // top bar
            QCOMPARE(image.pixel(10, 200), qRgb(255, 255, 255));    // left margin
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
        QCOMPARE(KDocumentLoader::componentFor(dir.filePath(QStringLiteral("data.tsv"))), QStringLiteral("qz"));
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

    void officeFormatsWithoutLibreOfficeSayWhy()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Budget.xlsx"));
        QVERIFY(ktest::writeText(path, "not really a workbook"));
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", dir.path().toUtf8());
        const KOpenedDocument opened = KDocumentLoader::open(path);
        qputenv("PATH", savedPath);
        QVERIFY(!opened.object);
        QCOMPARE(opened.component, QStringLiteral("qz"));
        QVERIFY2(opened.error.contains(QStringLiteral("needs LibreOffice")), qPrintable(opened.error));
    }

    void stoppedConversionEndsLibreOfficeAndItsFolder_data()
    {
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<int>("cancelAfterMs"); // -1: no cancel
        QTest::addColumn<QString>("reason");
        QTest::newRow("past its time") << 400 << -1 << "did not finish the conversion";
        QTest::newRow("cancelled") << 120000 << 400 << "the conversion was cancelled";
    }

    void stoppedConversionEndsLibreOfficeAndItsFolder()
    {
        QFETCH(int, timeoutMs);
        QFETCH(int, cancelAfterMs);
        QFETCH(QString, reason);
        if (ktest::soffice().isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("Letter.rtf"));
        QVERIFY(ktest::writeText(source, "{\\rtf1\\ansi A letter\\par}"));
        const QString temp = QDir::tempPath();
        const QStringList before = QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        std::thread canceller;
        if (cancelAfterMs >= 0)
            canceller = std::thread([cancelAfterMs] {
                std::this_thread::sleep_for(std::chrono::milliseconds(cancelAfterMs));
                kopening::requestCancel();
            });
        QElapsedTimer clock;
        clock.start();
        const KOfficeConverter::Result result = KOfficeConverter::convert(source, QStringLiteral("pdf"), timeoutMs);
        const qint64 took = clock.elapsed();
        if (canceller.joinable())
            canceller.join();
        kopening::resetCancel();

        QVERIFY(result.path.isEmpty());
        QVERIFY2(result.error.contains(reason), qPrintable(result.error));
        QVERIFY2(took < 2500, qPrintable(QString::number(took)));
        QCOMPARE(ktest::processesNaming(temp), QStringList());
        QCOMPARE(QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }

    void officeDocumentsAreConvertedAndServed_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("component");
        QTest::newRow("docx") << "Letter.fodt" << "docx" << "vyx";
        QTest::newRow("pptx") << "Talk.fodp" << "pptx" << "vyd";
        QTest::newRow("xlsx") << "Sheet.csv" << "xlsx" << "qz";
    }

    void officeDocumentsAreConvertedAndServed()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, component);
        if (ktest::soffice().isEmpty())
            QSKIP("LibreOffice (soffice) is not installed; office formats cannot be converted here");
        QTemporaryDir dir;
        QVERIFY(ktest::writeText(dir.filePath(QStringLiteral("Letter.fodt")),
                                 ktest::flatText({"Dear reader,", "this letter was written by a test."})));
        QVERIFY(ktest::writeText(dir.filePath(QStringLiteral("Talk.fodp")), ktest::flatPresentation({"One", "Two", "Three"})));
        QVERIFY(ktest::writeText(dir.filePath(QStringLiteral("Sheet.csv")), "Item,Qty\nBolts,120\nNuts,75\n"));
        const QString office = ktest::sofficeConvert(dir.filePath(source), target, dir.path());
        QVERIFY2(!office.isEmpty(), "LibreOffice did not make the test document");

        const KOpenedDocument opened = KDocumentLoader::open(office);
        QVERIFY2(opened.object, qPrintable(opened.error));
        QCOMPARE(opened.component, component);
        if (component == QLatin1String("vyx"))
            checkWriter(opened.object);
        else if (component == QLatin1String("vyd"))
            checkSlides(opened.object);
        else
            checkSheet(opened.object);
    }

private:
    void checkWriter(const KComPtr<IKUnknown> &object)
    {
        const KComPtr<IKWriterDocument> doc = object.query<IKWriterDocument>();
        KComPtr<IKDocView> view;
        KComPtr<IKDocLayout> layout;
        KComPtr<IKPageRenderer> renderer;
        KComPtr<IKPage> page;
        QVERIFY(doc && kSucceeded(doc->activeView(view.put())) && kSucceeded(view->layout(1, layout.put())));
        QVERIFY(kSucceeded(layout->pageRenderer(renderer.put())) && kSucceeded(renderer->page(1, page.put())));
        QImage image;
        QVERIFY(page->render(&image, 96, 96) >= 0);
        QVERIFY(qAbs(image.width() - 794) <= 24 && qAbs(image.height() - 1123) <= 24); // A4 or Letter
        QVERIFY(inkColumns(image, image.rect()) > 50);
    }

    void checkSlides(const KComPtr<IKUnknown> &object)
    {
        const KComPtr<IKSlides> slides = slidesOf(object.get());
        int count = 0;
        QVERIFY(slides && kSucceeded(slides->count(&count)));
        QCOMPARE(count, 3);
        KComPtr<IKSlide> slide;
        QImage image;
        QVERIFY(kSucceeded(slides->item(QVariant(qint32(3)), slide.put())));
        QVERIFY(slide->render(&image, 96.0f / krt::host::screenDpi(), true) >= 0);
        QCOMPARE(qRound(image.width() * 100.0 / image.height()), 178); // 16:9 as made
        image.save(ktest::artifactPath(QStringLiteral("converted-slide.png")));
    }

    void checkSheet(const KComPtr<IKUnknown> &object)
    {
        const KComPtr<IKWorksheet> sheet = sheetOf(object.get());
        KComPtr<IKCellRange> used;
        KCellRange bounds;
        QVERIFY(sheet && kSucceeded(sheet->usedRange(used.put())) && kSucceeded(used->bounds(&bounds)));
        QVERIFY(same(bounds, {0, 2, 0, 1}));
        paintUsed(sheet, false).save(ktest::artifactPath(QStringLiteral("converted-sheet.png")));
    }
};

KTAVRO_TEST_MAIN(TestOfficeDocuments)
#include "tst_officedocuments.moc"
