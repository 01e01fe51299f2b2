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
using Sizes = QList<QSize>;

// A PDF document whose pages render to exactly the sizes given for 96 dots per inch.
class FakePdf : public KUnknownImpl<IKPdfDocument>
{
public:
    explicit FakePdf(const Sizes &sizes, int failingPage = -1) : m_sizes(sizes), m_failing(failingPage) {}
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
    Sizes m_sizes;
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
        o.dpi = 576;
        QCOMPARE(KExportImageTaskVyx::halfGap(o, 10.0f), 3); // not scaled
        QCOMPARE(KExportImageTaskVyx::halfGap(o, kDocSpacingUnset), 15);
    }

    void writerLongPictureHasEvenGapsAndEdgeBands_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("pageGap");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QList<int>>("blank");
        QTest::addColumn<QList<PageRange>>("selected");
        QTest::addColumn<int>("middleGap");
        const QList<int> none;
        const QList<PageRange> all;
        QTest::newRow("gap 30 at 192 dpi") << 192 << 30 << 2 << none << all << 60;
        QTest::newRow("automatic at 96 dpi") << 96 << 0 << 2 << none << all << 30;
        QTest::newRow("a blank page between") << 96 << 0 << 3 << QList<int>({2}) << all << 15 + 15 + 1 + 15 + 15;
        // A selection gives the edge bands to its own first and last page.
        QTest::newRow("pages 3 to 4 of 10") << 96 << 0 << 10 << none << QList<PageRange>{{3, 4}} << 30;
    }

    void writerLongPictureHasEvenGapsAndEdgeBands()
    {
        QFETCH(int, dpi);
        QFETCH(int, pageGap);
        QFETCH(int, pages);
        QFETCH(QList<int>, blank);
        QFETCH(QList<PageRange>, selected);
        QFETCH(int, middleGap);
        openWriter(ktest::blockPagesHtml(pages, blank));
        ExportImageOptions o = options(QStringLiteral("doc.png"));
        o.dpi = dpi;
        o.pageGap = pageGap;
        o.pages = selected;
        o.firstPageTop = 20;
        o.lastPageBottom = 25;
        KExportImageTaskVyx task;
        task.setMainWindow(m_window.data());
        const Outcome out = run(task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        const QImage picture = out.picture();
        const int scale = dpi / 96;
        QCOMPARE(whiteRuns(picture), QList<int>({20 * scale, middleGap, 25 * scale}));
        QCOMPARE(qRound(picture.dotsPerMeterX() * 0.0254), dpi);
    }

    void writerPerPageAndInCallerRendering()
    {
        auto *backend = openWriter(ktest::blockPagesHtml(3));
        backend->setRenderOnInterfaceThread(true);
        QVERIFY(kdocumentaccess::writerRendersInCaller(m_window.data()));
        ExportImageOptions o = options(QStringLiteral("doc"), false);
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

    // The manager picks the task of the component; without a document each one fails.
    void missingDocumentFails_data()
    {
        QTest::addColumn<QString>("component");
        QTest::addColumn<QString>("task");
        QTest::addColumn<int>("pageCount");
        QTest::newRow("writer") << "VYX" << "KExportImageTaskVyx" << 0;
        QTest::newRow("pdf") << "pdf" << "KExportImageTaskPdf" << 0;
        QTest::newRow("presentation") << "VYD" << "KExportImageTaskVyd" << 0;
        QTest::newRow("sheet") << "qz" << "KExportImageTaskQz" << 1; // always one picture
        QTest::newRow("other") << "calc" << "KExportImageTask" << 0;
    }

    void missingDocumentFails()
    {
        QFETCH(QString, component);
        QFETCH(QString, task);
        QFETCH(int, pageCount);
        QCoreApplication::setApplicationName(component.toLower());
        QScopedPointer<KExportImageTask> created(KExportComponent::forApplication(component).createTask());
        QCOMPARE(QString::fromLatin1(created->metaObject()->className()), task);
        QCOMPARE(run(*created, options(QStringLiteral("x.png"))).code, KExportImageTask::Failed);
        QCOMPARE(created->pageCount(), pageCount);
        QVERIFY(created->previewImage().isNull());
        QVERIFY(m_dir.isEmpty());
    }

    // Long PDF pictures are cut into parts Name_N of at most twenty A4 heights; a page narrower
    // than the widest of its part is widened, and a page taller than a part is a part of its own.
    void pdfLongPicturesSplitIntoParts_data()
    {
        QTest::addColumn<Sizes>("pages");
        QTest::addColumn<QString>("name");
        QTest::addColumn<Sizes>("parts");
        QTest::newRow("45 A4 pages") << QVector<QSize>(45, QSize(10, 1122)).toList() << "Scan"
                                     << Sizes{{10, 20 * 1122}, {10, 20 * 1122}, {10, 5 * 1122}};
        Sizes mixed = QVector<QSize>(30, QSize(794, 1123)).toList();
        mixed[10] = QSize(1123, 794);
        // Pages 1 to 14 are 1123 wide, portrait ones 1588 high then; the next would pass the limit.
        QTest::newRow("a landscape page widens its part")
            << mixed << "Scan" << Sizes{{1123, 13 * 1588 + 794}, {794, 16 * 1123}};
        QTest::newRow("percent signs in the name") << Sizes{{10, 10}} << "Q%1" << Sizes{{10, 10}};
        QTest::newRow("a tall page") << Sizes{{100, 500}, {50, 30000}, {50, 200}} << "Scan"
                                     << Sizes{{100, 500}, {50, 30000}, {50, 200}};
        QTest::newRow("a narrow page") << Sizes{{100, 500}, {50, 200}} << "Scan" << Sizes{{100, 900}};
    }

    void pdfLongPicturesSplitIntoParts()
    {
        QFETCH(Sizes, pages);
        QFETCH(QString, name);
        QFETCH(Sizes, parts);
        setPdf(new FakePdf(pages));
        ExportImageOptions o = pdfOptions(name);
        o.longPicture = true;
        // An A4 page renders 1122.5 rows, rounded to 1123: twenty of them fit one part.
        QCOMPARE(KExportImageTaskPdf::partHeightLimit(o), qint64(20 * 1123));
        KExportImageTaskPdf task;
        const Outcome out = run(task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        QCOMPARE(out.text("pageCount"), QString::number(pages.size()));
        const QDir folder(m_dir.filePath(name));
        QCOMPARE(out.text("fileName"), folder.filePath(name + QStringLiteral("_0.png")));
        QCOMPARE(folder.entryList(QDir::Files).size(), parts.size());
        for (int i = 0; i < parts.size(); ++i)
            QCOMPARE(QImage(folder.filePath(name + QStringLiteral("_%1.png").arg(i))).size(), parts.at(i));
    }

    void pdfPagesThatCannotRenderFailTheExport_data()
    {
        QTest::addColumn<Sizes>("pages");
        QTest::addColumn<int>("failing");
        QTest::addColumn<bool>("longPicture");
        QTest::addColumn<QString>("detail");
        const Sizes huge{{100, 100}, {100, 40000}};
        QTest::newRow("too tall, per page") << huge << -1 << false << "Page 2 is too large to render at 100 %";
        QTest::newRow("too tall, long") << huge << -1 << true << "Page 2 is too large to render at 100 %";
        const Sizes three{{100, 100}, {100, 100}, {100, 100}};
        QTest::newRow("token picture, per page") << three << 1 << false << "Page 2 could not be rendered";
        QTest::newRow("token picture, long") << three << 1 << true << "Page 2 could not be rendered";
    }

    void pdfPagesThatCannotRenderFailTheExport()
    {
        QFETCH(Sizes, pages);
        QFETCH(int, failing);
        QFETCH(bool, longPicture);
        QFETCH(QString, detail);
        setPdf(new FakePdf(pages, failing));
        ExportImageOptions o = pdfOptions();
        o.longPicture = longPicture;
        KExportImageTaskPdf task;
        const Outcome out = run(task, o);
        QCOMPARE(out.code, KExportImageTask::Failed);
        QVERIFY2(out.text("detail").startsWith(detail), qPrintable(out.text("detail")));
        QVERIFY(m_dir.isEmpty());
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

    ExportImageOptions options(const QString &name, bool longPicture = true) const
    {
        return ktest::exportOptions(m_dir.absolutePath(), name, longPicture);
    }

    ExportImageOptions pdfOptions(const QString &name = QStringLiteral("Scan")) const
    {
        ExportImageOptions o = options(name, false);
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
