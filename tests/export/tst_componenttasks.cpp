#include "ktestdocuments.h"
#include "ktestexport.h"
#include "ktestmain.h"

#include <kdocumentaccess.h>
#include <kexportimagemgr.h>
#include <kexportimagetaskpdf.h>
#include <kexportimagetaskvyx.h>
#include <kpdfbackend.h>
#include <krt.h>
#include <kwriterbackend.h>
#include <kxapplication.h>
#include <kxmainwindow.h>

#include <QTemporaryDir>

namespace {

using ktest::Outcome;
const auto run = ktest::runTask;

// A PDF document whose pages render to exactly the sizes given for 96 dots per inch.
class FakePdf : public KUnknownImpl<IKPdfDocument>
{
public:
    explicit FakePdf(const QList<QSize> &sizes, int failingPage = -1) : m_sizes(sizes), m_failing(failingPage) {}
    int prepareRendering(float zoom) override { return zoom > 0; }
    int pageCount() override { return m_sizes.size(); }
    QSizeF pageSize(int i) override { return QSizeF(m_sizes.value(i)) * (krt::host::screenDpi() / 96.0); }
    QImage renderPage(int i, float zoom) override
    {
        const double f = zoom * krt::host::screenDpi() / 96.0;
        if (i == m_failing)
            return QImage(1, 1, QImage::Format_RGB32); // what a renderer out of room hands back
        QImage page(QSizeF(m_sizes.value(i) * f).toSize(), QImage::Format_RGB32);
        page.fill(QColor::fromHsv((i * 40) % 360, 200, 200));
        return page;
    }

private:
    QList<QSize> m_sizes;
    int m_failing;
};

// Lengths of the runs of all-white rows, top to bottom, in a picture of black blocks on white.
QList<int> whiteRuns(const QImage &picture)
{
    QList<int> runs;
    int run = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const bool white = qRed(picture.pixel(picture.width() / 2, y)) >= 250;
        if (white) {
            ++run;
        } else if (run > 0 || y == 0) {
            runs << run;
            run = 0;
        }
    }
    runs << run;
    return runs;
}

} // namespace

class TestComponentTasks : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_liveObjects = KObjectTracker::liveObjects();
        m_window.reset(new KxMainWindow);
        m_tmp.reset(new QTemporaryDir);
        m_dir.setPath(m_tmp->path());
        QCoreApplication::setApplicationName(QStringLiteral("vyx"));
    }
    // Every host object an export obtained must have been released again.
    void cleanup()
    {
        m_window.reset();
        KxApplication::coreApplication()->setActiveDocument(nullptr);
        QCOMPARE(KObjectTracker::liveObjects(), m_liveObjects);
    }

    void halfGapRules()
    {
        ExportImageOptions o;
        o.dpi = 192;
        o.pageGap = 30;
        QCOMPARE(KExportImageTaskVyx::halfGap(o, kDocSpacingUnset), 30);
        o.pageGap = 0;
        QCOMPARE(KExportImageTaskVyx::halfGap(o, 10.0f), 3);
        o.dpi = 576;
        QCOMPARE(KExportImageTaskVyx::halfGap(o, 10.0f), 3); // not scaled
        QCOMPARE(KExportImageTaskVyx::halfGap(o, kDocSpacingUnset), 15);
    }

    void trimmingKeepsContentRowsAndBlankPagesKeepOneRow()
    {
        QImage page(40, 100, QImage::Format_RGB32);
        page.fill(Qt::white);
        page.setPixel(5, 30, qRgb(249, 255, 255)); // just below white
        page.setPixel(30, 70, qRgb(0, 0, 0));
        const QImage content = KExportImageTaskVyx::trimmed(page);
        QCOMPARE(content.size(), QSize(40, 41));
        QCOMPARE(KExportImageTaskVyx::contentLeft(page), 5);
        page.fill(Qt::white);
        const QImage blank = KExportImageTaskVyx::trimmed(page);
        QCOMPARE(blank.size(), QSize(40, 1));
        QCOMPARE(qAlpha(blank.pixel(0, 0)), 0);
        QCOMPARE(KExportImageTaskVyx::contentLeft(page), -1);
    }

    void writerLongPictureHasEvenGapsAndEdgeBands_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("pageGap");
        QTest::addColumn<QList<int>>("blank");
        QTest::addColumn<int>("middleGap");
        QTest::newRow("gap 30 at 192 dpi") << 192 << 30 << QList<int>() << 60;
        QTest::newRow("automatic at 96 dpi") << 96 << 0 << QList<int>() << 30;
        QTest::newRow("a blank page between") << 96 << 0 << QList<int>({2}) << 15 + 15 + 1 + 15 + 15;
    }

    void writerLongPictureHasEvenGapsAndEdgeBands()
    {
        QFETCH(int, dpi);
        QFETCH(int, pageGap);
        QFETCH(QList<int>, blank);
        QFETCH(int, middleGap);
        const int pages = blank.isEmpty() ? 2 : 3;
        openWriter(ktest::blockPagesHtml(pages, blank));
        ExportImageOptions o = longOptions(QStringLiteral("doc.png"));
        o.dpi = dpi;
        o.pageGap = pageGap;
        o.firstPageTop = 20;
        o.lastPageBottom = 25;
        KExportImageTaskVyx task;
        task.setMainWindow(m_window.data());
        const Outcome out = run(task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        const QImage picture(out.info.value(QStringLiteral("fileName")).toString());
        const int scale = dpi / 96;
        QCOMPARE(whiteRuns(picture), QList<int>({20 * scale, middleGap, 25 * scale}));
        QCOMPARE(qRound(picture.dotsPerMeterX() * 0.0254), dpi);
    }

    void selectionGivesEdgeBandsToItsOwnFirstAndLastPage()
    {
        openWriter(ktest::blockPagesHtml(10));
        ExportImageOptions o = longOptions(QStringLiteral("sel.png"));
        o.pages = {{3, 4}};
        o.firstPageTop = 40;
        o.lastPageBottom = 50;
        KExportImageTaskVyx task;
        task.setMainWindow(m_window.data());
        const Outcome out = run(task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        QCOMPARE(out.info.value(QStringLiteral("pageCount")).toString(), QStringLiteral("2"));
        QCOMPARE(whiteRuns(QImage(out.info.value(QStringLiteral("fileName")).toString())), QList<int>({40, 30, 50}));
    }

    void writerPerPageAndInCallerRendering()
    {
        auto *backend = openWriter(ktest::blockPagesHtml(3));
        backend->setRenderOnInterfaceThread(true);
        QVERIFY(kdocumentaccess::writerRendersInCaller(m_window.data()));
        ExportImageOptions o = longOptions(QString());
        o.longPicture = false;
        o.fileName = QStringLiteral("doc");
        o.exportInCaller = true;
        o.suffix = QStringLiteral("jpg");
        KExportImageTaskVyx task;
        task.setMainWindow(m_window.data());
        const Outcome out = run(task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("doc"))).entryList(QDir::Files),
                 QStringList({"doc_01.jpg", "doc_02.jpg", "doc_03.jpg"}));
        QCOMPARE(task.pageCount(), 3);
        QCOMPARE(task.previewImage().size(), QSize(794, 1123));
    }

    void missingDocumentFails()
    {
        KExportImageTaskVyx vyx;
        QCOMPARE(run(vyx, longOptions(QStringLiteral("x.png"))).code, KExportImageTask::Failed);
        KExportImageTaskPdf pdf;
        QCOMPARE(run(pdf, longOptions(QStringLiteral("x.png"))).code, KExportImageTask::Failed);
        QVERIFY(vyx.previewImage().isNull());
        QCOMPARE(pdf.pageCount(), 0);
        QVERIFY(m_dir.isEmpty());
    }

    void pdfLongPicturesSplitIntoParts()
    {
        setPdf(new FakePdf(QVector<QSize>(45, QSize(10, 1122)).toList()));
        ExportImageOptions o = pdfOptions();
        o.longPicture = true;
        KExportImageTaskPdf task;
        // An A4 page renders 1122.5 rows, rounded to 1123: twenty of them fit one part.
        QCOMPARE(KExportImageTaskPdf::partHeightLimit(o), qint64(20 * 1123));
        const Outcome out = run(task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        const QString folder = m_dir.filePath(QStringLiteral("Scan"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"Scan_0.png", "Scan_1.png", "Scan_2.png"}));
        QCOMPARE(QImage(folder + QStringLiteral("/Scan_0.png")).height(), 20 * 1122);
        QCOMPARE(QImage(folder + QStringLiteral("/Scan_1.png")).height(), 20 * 1122);
        QCOMPARE(QImage(folder + QStringLiteral("/Scan_2.png")).height(), 5 * 1122);
        QCOMPARE(out.info.value(QStringLiteral("fileName")).toString(), folder + QStringLiteral("/Scan_0.png"));
        QCOMPARE(out.info.value(QStringLiteral("pageCount")).toString(), QStringLiteral("45"));
    }

    void pdfPartsMeasurePagesAsWidened_data()
    {
        QTest::addColumn<QList<QSize>>("pages");
        QTest::addColumn<qint64>("height");
        QTest::newRow("one page") << QList<QSize>{{794, 1123}} << qint64(1123);
        QTest::newRow("equal widths") << QList<QSize>{{794, 1123}, {794, 1123}} << qint64(2246);
        QTest::newRow("portrait widened by landscape") << QList<QSize>{{794, 1123}, {1123, 794}} << qint64(1588 + 794);
        QTest::newRow("landscape first") << QList<QSize>{{1123, 794}, {794, 1123}, {794, 1123}} << qint64(794 + 2 * 1588);
    }

    void pdfPartsMeasurePagesAsWidened()
    {
        QFETCH(QList<QSize>, pages);
        QFETCH(qint64, height);
        QCOMPARE(KExportImageTaskPdf::partHeight(pages), height);
    }

    // A landscape page among portrait ones widens the part's pages: the part is cut so that
    // it still stays within twenty A4 heights.
    void pdfPartsStayWithinTheLimitWhenPagesAreWidened()
    {
        QList<QSize> pages = QVector<QSize>(30, QSize(794, 1123)).toList();
        pages[10] = QSize(1123, 794);
        setPdf(new FakePdf(pages));
        ExportImageOptions o = pdfOptions();
        o.longPicture = true;
        KExportImageTaskPdf task;
        QCOMPARE(run(task, o).code, KExportImageTask::Success);
        const QDir folder(m_dir.filePath(QStringLiteral("Scan")));
        int total = 0;
        for (const QString &part : folder.entryList(QDir::Files)) {
            const QImage picture(folder.filePath(part));
            QVERIFY2(picture.height() <= KExportImageTaskPdf::partHeightLimit(o), qPrintable(part));
            total += picture.width() == 1123 ? 1 : 0;
        }
        QVERIFY(total >= 1);
    }

    void pdfPagesThatCannotRenderFailTheExport_data()
    {
        QTest::addColumn<QList<QSize>>("pages");
        QTest::addColumn<int>("failing");
        QTest::addColumn<bool>("longPicture");
        QTest::addColumn<QString>("detail");
        const QList<QSize> huge{{100, 100}, {100, 40000}};
        QTest::newRow("too tall, per page") << huge << -1 << false << "Page 2 is too large to render at 100 %";
        QTest::newRow("too tall, long") << huge << -1 << true << "Page 2 is too large to render at 100 %";
        const QList<QSize> three{{100, 100}, {100, 100}, {100, 100}};
        QTest::newRow("token picture, per page") << three << 1 << false << "Page 2 could not be rendered";
        QTest::newRow("token picture, long") << three << 1 << true << "Page 2 could not be rendered";
    }

    void pdfPagesThatCannotRenderFailTheExport()
    {
        QFETCH(QList<QSize>, pages);
        QFETCH(int, failing);
        QFETCH(bool, longPicture);
        QFETCH(QString, detail);
        setPdf(new FakePdf(pages, failing));
        ExportImageOptions o = pdfOptions();
        o.longPicture = longPicture;
        KExportImageTaskPdf task;
        const Outcome out = run(task, o);
        QCOMPARE(out.code, KExportImageTask::Failed);
        QVERIFY2(out.info.value(QStringLiteral("detail")).toString().startsWith(detail),
                 qPrintable(out.info.value(QStringLiteral("detail")).toString()));
        QVERIFY(m_dir.isEmpty());
    }

    void pdfPartNamesKeepPercentSigns()
    {
        setPdf(new FakePdf({QSize(10, 10)}));
        ExportImageOptions o = pdfOptions();
        o.longPicture = true;
        o.fileName = QStringLiteral("Q%1");
        KExportImageTaskPdf task;
        QCOMPARE(run(task, o).code, KExportImageTask::Success);
        QCOMPARE(QDir(m_dir.filePath(QStringLiteral("Q%1"))).entryList(QDir::Files), QStringList({"Q%1_0.png"}));
    }

    void tallPageIsAPartOfItsOwnAndNarrowPagesAreWidened()
    {
        setPdf(new FakePdf({QSize(100, 500), QSize(50, 30000), QSize(50, 200)}));
        ExportImageOptions o = pdfOptions();
        o.longPicture = true;
        KExportImageTaskPdf task;
        QCOMPARE(run(task, o).code, KExportImageTask::Success);
        const QString folder = m_dir.filePath(QStringLiteral("Scan"));
        QCOMPARE(QImage(folder + QStringLiteral("/Scan_0.png")).size(), QSize(100, 500));
        QCOMPARE(QImage(folder + QStringLiteral("/Scan_1.png")).size(), QSize(50, 30000));
        QCOMPARE(QImage(folder + QStringLiteral("/Scan_2.png")).size(), QSize(50, 200));
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3);

        setPdf(new FakePdf({QSize(100, 500), QSize(50, 200)}));
        QCOMPARE(run(task, o).code, KExportImageTask::Success);
        QCOMPARE(QImage(m_dir.filePath(QStringLiteral("Scan(1)/Scan_0.png"))).size(), QSize(100, 900));
    }

    void selectedPagesHeightSumsRoundedHeights()
    {
        setPdf(new FakePdf({QSize(10, 100), QSize(10, 200), QSize(10, 300), QSize(10, 400)}));
        KExportImageTaskPdf task;
        ExportImageOptions o = pdfOptions();
        QCOMPARE(task.selectedPagesHeight(100, o), qint64(1000));
        QCOMPARE(task.selectedPagesHeight(1, o), qint64(300));
        o.pages = {{2, 2}, {4, 4}};
        QCOMPARE(task.selectedPagesHeight(100, o), qint64(600));
    }

    void realPdfPerPageCarriesItsResolution()
    {
        const QString path = m_dir.filePath(QStringLiteral("real.pdf"));
        QVERIFY(ktest::writePdf(path, {QSizeF(595, 842), QSizeF(595, 842)}));
        QString error;
        setPdf(KPdfBackend::open(path, &error));
        ExportImageOptions o = pdfOptions();
        o.dpi = 192;
        KExportImageTaskPdf task;
        QSignalSpy progress(&task, &KExportImageTask::pageProgress);
        const Outcome out = run(task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        const QImage first(m_dir.filePath(QStringLiteral("Scan/Scan_01.png")));
        QCOMPARE(first.size(), QSize(1587, 2245)); // A4 at 192 dots per inch
        QCOMPARE(qRound(first.dotsPerMeterX() * 0.0254), 192);
        QVERIFY(QFileInfo::exists(m_dir.filePath(QStringLiteral("Scan/Scan_02.png"))));
        QCOMPARE(progress.count(), 2);
        QCOMPARE(progress.last().at(0).toInt(), 2);
    }

    void managerPicksTheTaskOfTheComponent()
    {
        QScopedPointer<KExportImageTask> vyx(KExportImageMgr::createTask(QStringLiteral("VYX")));
        QScopedPointer<KExportImageTask> pdf(KExportImageMgr::createTask(QStringLiteral("pdf")));
        QScopedPointer<KExportImageTask> other(KExportImageMgr::createTask(QStringLiteral("calc")));
        QVERIFY(qobject_cast<KExportImageTaskVyx *>(vyx.data()));
        QVERIFY(qobject_cast<KExportImageTaskPdf *>(pdf.data()));
        QCOMPARE(other->metaObject(), &KExportImageTask::staticMetaObject);
    }

private:
    KWriterBackend *openWriter(const QByteArray &html)
    {
        auto *backend = KWriterBackend::fromText(QString::fromUtf8(html), KWriterBackend::Source::Html);
        m_window->openDocument(backend, QStringLiteral("doc"));
        backend->Release(); // the view holds it now
        return backend;
    }

    void setPdf(IKPdfDocument *pdf)
    {
        QVERIFY(pdf);
        QCoreApplication::setApplicationName(QStringLiteral("pdf"));
        KxApplication::coreApplication()->setActiveDocument(pdf);
        pdf->Release();
    }

    ExportImageOptions longOptions(const QString &file)
    {
        ExportImageOptions o;
        o.outputDir = m_dir.absolutePath();
        o.fileName = file;
        o.suffix = QStringLiteral("png");
        o.longPicture = true;
        return o;
    }

    ExportImageOptions pdfOptions()
    {
        ExportImageOptions o = longOptions(QStringLiteral("Scan"));
        o.longPicture = false;
        o.maxPagesPerPicture = 20;
        return o;
    }

    int m_liveObjects = 0;
    QScopedPointer<QTemporaryDir> m_tmp;
    QDir m_dir;
    QScopedPointer<KxMainWindow> m_window;
};

KTAVRO_TEST_MAIN(TestComponentTasks)
#include "tst_componenttasks.moc"
