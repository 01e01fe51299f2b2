#include "ktestmain.h"
#include "ktestexport.h"
#include "testrendertask.h"

#include <khostconfig.h>
#include <picturewriter.h>
#include <kpicturewritequeue.h>
#include <pageimage.h>
#include <rastertiles.h>
#include <watermarkpainter.h>
#include <pngencoder.h>
#include <simplewatermark.h>

#include <QImageReader>
#include <QMutex>
#include <QPainter>
#include <QThread>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

using ktest::Outcome;
using ktest::runTask;

ExportImageOptions perPageOptions(const QString &dir, const QString &name = QStringLiteral("Report"))
{
    ExportImageOptions o;
    o.outputDir = dir;
    o.fileName = name;
    o.suffix = QStringLiteral("png");
    o.longPicture = false;
    return o;
}

ExportImageOptions longOptions(const QString &dir, const QString &file = QStringLiteral("long.png"))
{
    ExportImageOptions o;
    o.outputDir = dir;
    o.fileName = file;
    o.suffix = QFileInfo(file).suffix();
    o.longPicture = true;
    return o;
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

bool isWhite(QRgb p)
{
    return qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255;
}

} // namespace

class TestExportTask : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QCoreApplication::setApplicationName(QStringLiteral("vyx"));
        KHostConfig::reload();
    }

    void cleanup()
    {
        for (const QString &e : entries(m_dir.path())) {
            QFileInfo info(m_dir.filePath(e));
            info.isDir() ? QDir(info.filePath()).removeRecursively() : QFile::remove(info.filePath());
        }
    }

    void pageCountFollowsDistinctPagesOrDocument()
    {
        QCOMPARE(countDistinctPages({{1, 3}, {2, 5}}), qint64(5));
        QCOMPARE(countDistinctPages({{0, 2}, {4, 3}}), qint64(0));
        QCOMPARE(countDistinctPages({{1, 2000000000}, {5, 7}}), qint64(2000000000));
        QCOMPARE(selectedPageNumbers({{4, 5}, {1, 2}, {2, 3}, {9, 30}}, 10), QList<int>({1, 2, 3, 4, 5, 9, 10}));
        QVERIFY(selectedPageNumbers({{11, 12}}, 10).isEmpty());

        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(7, QSize(8, 8), Qt::red));
        ExportImageOptions o = perPageOptions(m_dir.path());
        o.pages = {{1, 3}, {2, 5}};
        QCOMPARE(runTask(*task, o).info.value(QStringLiteral("pageCount")).toString(), QStringLiteral("5"));
        o.pages = {{0, 2}, {4, 3}}; // ranges naming no page select the whole document
        const Outcome none = runTask(*task, o);
        QCOMPARE(none.info.value(QStringLiteral("pageCount")).toString(), QStringLiteral("7"));
        QCOMPARE(none.code, KExportImageTask::Success);
        QCOMPARE(entries(m_dir.filePath(QStringLiteral("Report(1)"))).size(), 7);
    }

    void perPageExportNumbersFoldersAndFiles()
    {
        QDir(m_dir.path()).mkdir(QStringLiteral("Report"));
        QDir(m_dir.path()).mkdir(QStringLiteral("Report(1)"));
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(3, QSize(20, 30), Qt::blue));
        const Outcome out = runTask(*task, perPageOptions(m_dir.path()));
        QCOMPARE(out.code, KExportImageTask::Success);
        const QString folder = m_dir.filePath(QStringLiteral("Report(2)"));
        QCOMPARE(entries(folder), QStringList({"Report_01.png", "Report_02.png", "Report_03.png"}));
        QCOMPARE(out.info.value(QStringLiteral("fileName")).toString(), folder + QStringLiteral("/Report_01.png"));
        QCOMPARE(out.info.value(QStringLiteral("errTitle")).toString(), QStringLiteral("Export failed"));

        QCOMPARE(KExportImageTask::pageFilePath(QStringLiteral("/out/Report/"), QStringLiteral("Report"), 100,
                                                QStringLiteral("png")),
                 QStringLiteral("/out/Report/Report_100.png"));
    }

    void longPictureStacksColumnsOnWhite()
    {
        QScopedPointer<TestRenderTask> task(new TestRenderTask);
        task->pages = {{QSize(40, 100), Qt::red, 0}, {QSize(30, 200), Qt::green, 0}, {QSize(50, 500), Qt::blue, 1},
                       {QSize(10, 10), QColor(0, 0, 0, 0), 1}};
        const Outcome out = runTask(*task, longOptions(m_dir.path()));
        QCOMPARE(out.code, KExportImageTask::Success);
        QImage picture(out.info.value(QStringLiteral("fileName")).toString());
        QCOMPARE(picture.size(), QSize(90, 510));
        QCOMPARE(picture.pixel(0, 0), QColor(Qt::red).rgb());
        QCOMPARE(picture.pixel(0, 100), QColor(Qt::green).rgb());
        QVERIFY(isWhite(picture.pixel(35, 150)));  // beside the narrower second page
        QVERIFY(isWhite(picture.pixel(10, 400)));  // below the shorter first column
        QVERIFY(isWhite(picture.pixel(10, 505)));
        QCOMPARE(picture.pixel(40, 0), QColor(Qt::blue).rgb());
        QCOMPARE(picture.pixel(89, 499), QColor(Qt::blue).rgb());
        QVERIFY(isWhite(picture.pixel(45, 505))); // a transparent page lands on white
    }

    // Rows past 32767 are where a painter stops drawing: every page of a tall picture,
    // and the watermark over it, must reach them.
    void tallPicturesAreDrawnToTheLastRow()
    {
        QScopedPointer<TestRenderTask> task(new TestRenderTask);
        for (int i = 0; i < 21; ++i)
            task->pages.append({QSize(6 + i % 3, 2000), QColor::fromHsv(i * 17, 255, 200), 0});
        const Outcome out = runTask(*task, longOptions(m_dir.path(), QStringLiteral("tall.bmp")));
        QCOMPARE(out.code, KExportImageTask::Success);
        const QImage picture = out.picture();
        QCOMPARE(picture.size(), QSize(8, 42000));
        for (int i = 0; i < 21; ++i) {
            const QRgb colour = QColor::fromHsv(i * 17, 255, 200).rgb();
            QCOMPARE(picture.pixel(0, i * 2000), colour);
            QCOMPARE(picture.pixel(5, i * 2000 + 1999), colour);
            QCOMPARE(isWhite(picture.pixel(7, i * 2000)), i % 3 != 2); // narrower pages on white
        }

        QImage blank(40, 42000, QImage::Format_RGB32);
        blank.fill(Qt::white);
        WatermarkSetting stamp;
        stamp.setStyle(WatermarkStyleRectangle);
        stamp.setText(QStringLiteral("WM"));
        stamp.setPolicy(WatermarkPolicyTile);
        paintWatermark(blank, &stamp);
        const auto stamped = [&](int from, int to) {
            for (int y = from; y < to; ++y) {
                for (int x = 0; x < blank.width(); ++x) {
                    if (!isWhite(blank.pixel(x, y)))
                        return true;
                }
            }
            return false;
        };
        QVERIFY(stamped(0, 2000));
        QVERIFY(stamped(40000, 42000));
    }

    void tilesCoverThePictureExactlyOnce()
    {
        QImage picture(70000, 3, QImage::Format_RGB32);
        picture.fill(Qt::white);
        int tiles = 0;
        const bool whole = krastertiles::paintInTiles(picture, [&](QPainter &painter, const QRect &tile) {
            ++tiles;
            painter.fillRect(QRect(0, 0, 70000, 3), QColor(0, 0, 10 * tiles));
            return true;
        });
        QVERIFY(whole);
        QCOMPARE(tiles, 5);
        QCOMPARE(picture.pixel(0, 0), qRgb(0, 0, 10));
        QCOMPARE(picture.pixel(69999, 2), qRgb(0, 0, 50));
        QCOMPARE(picture.pixel(16384, 1), qRgb(0, 0, 20));
        int visited = 0;
        QVERIFY(!krastertiles::paintInTiles(picture, [&](QPainter &, const QRect &) { return ++visited < 2; }));
        QCOMPARE(visited, 2); // stopping early ends the walk
    }

    void paddingCopiesRowsPastThePainterLimit()
    {
        QImage page(5, 3, QImage::Format_ARGB32);
        page.fill(QColor(255, 0, 0, 255));
        page.setPixel(0, 0, qRgba(0, 0, 0, 0));
        const QImage result = kpageimage::padded(page, QRect(0, 1, 5, 2), QMargins(1, 40000, 2, 10));
        QCOMPARE(result.size(), QSize(8, 40012));
        QCOMPARE(result.pixel(1, 40000), qRgb(255, 0, 0));
        QCOMPARE(result.pixel(5, 40001), qRgb(255, 0, 0));
        QVERIFY(isWhite(result.pixel(0, 40000)) && isWhite(result.pixel(6, 40001)) && isWhite(result.pixel(3, 40002)));
        QVERIFY(isWhite(kpageimage::opaqueOnWhite(page).pixel(0, 0))); // transparent lands on white
        QVERIFY(kpageimage::padded(page, page.rect(), QMargins(0, INT_MAX, 0, 5)).isNull());
    }

    void namesKeepPercentSignsAndNumberedFoldersSkipTakenNames()
    {
        QCOMPARE(KExportImageTask::pageFilePath(QStringLiteral("/o/a%2Fb/"), QStringLiteral("a%2Fb"), 1, QStringLiteral("png")),
                 QStringLiteral("/o/a%2Fb/a%2Fb_01.png"));
        QCOMPARE(KExportImageTask::pageFilePath(QStringLiteral("/o/"), QStringLiteral("%1%3"), 7, QStringLiteral("tif")),
                 QStringLiteral("/o/%1%3_07.tif"));
        QCOMPARE(KExportImageTask::numberedFolder(QStringLiteral("/o/R%1"), 0), QStringLiteral("/o/R%1"));
        QCOMPARE(KExportImageTask::numberedFolder(QStringLiteral("/o/R%1"), 3), QStringLiteral("/o/R%1(3)"));

        // A plain file holding the name counts as taken too.
        QFile taken(m_dir.filePath(QStringLiteral("a%2Fb")));
        QVERIFY(taken.open(QIODevice::WriteOnly));
        taken.close();
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(2, QSize(4, 4), Qt::red));
        const Outcome out = runTask(*task, perPageOptions(m_dir.path(), QStringLiteral("a%2Fb")));
        QCOMPARE(out.code, KExportImageTask::Success);
        QCOMPARE(entries(m_dir.path()), QStringList({"a%2Fb", "a%2Fb(1)"}));
        QCOMPARE(entries(m_dir.filePath(QStringLiteral("a%2Fb(1)"))), QStringList({"a%2Fb_01.png", "a%2Fb_02.png"}));
    }

    // Exports started together into one folder each claim a folder of their own.
    void concurrentExportsNeverShareAFolder()
    {
        constexpr int kExports = 6;
        QList<TestRenderTask *> tasks;
        for (int i = 0; i < kExports; ++i)
            tasks << TestRenderTask::uniform(3, QSize(4, 4), QColor::fromHsv(i * 50, 255, 255));
        for (TestRenderTask *task : tasks)
            task->startTask(perPageOptions(m_dir.path()));
        for (TestRenderTask *task : tasks)
            QVERIFY(task->wait(10000));
        QCOMPARE(entries(m_dir.path()).size(), kExports);
        QSet<QRgb> colours;
        for (const QString &folder : entries(m_dir.path())) {
            const QStringList files = entries(m_dir.filePath(folder));
            QCOMPARE(files.size(), 3);
            QSet<QRgb> inFolder;
            for (const QString &file : files)
                inFolder << QImage(m_dir.filePath(folder + QLatin1Char('/') + file)).pixel(0, 0);
            QCOMPARE(inFolder.size(), 1); // no export wrote into another's folder
            colours += inFolder;
        }
        QCOMPARE(colours.size(), kExports);
        qDeleteAll(tasks);
    }

    // The exit code follows the write also when the pages rendered in the calling thread.
    void inCallerLongPictureFailsWhenItsWriteFails()
    {
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("taken.png"))); // a folder named like the picture
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(2, QSize(4, 4), Qt::red));
        ExportImageOptions o = longOptions(m_dir.path(), QStringLiteral("taken.png"));
        o.exportInCaller = true;
        const Outcome out = runTask(*task, o);
        QCOMPARE(out.code, KExportImageTask::Failed);
        QVERIFY2(out.info.value(QStringLiteral("detail")).toString().contains(QStringLiteral("taken.png")),
                 qPrintable(out.info.value(QStringLiteral("detail")).toString()));
        QVERIFY(QFileInfo(m_dir.filePath(QStringLiteral("taken.png"))).isDir());
    }

    void cancelDoesNotOutliveTheRun()
    {
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(40, QSize(4, 4), Qt::red));
        task->pageDelayMs = 5;
        task->startTask(perPageOptions(m_dir.path()));
        QVERIFY(task->pageWritten.tryAcquire(1, 5000));
        task->cancel();
        QVERIFY(!task->isCanceled());
        QVERIFY(entries(m_dir.path()).isEmpty());
    }

    // Text stamps painted on the writer thread must not need timers Qt cannot start there.
    void pageWriterPaintsTextWithoutThreadWarnings()
    {
        static QStringList warnings;
        warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &m) {
            warnings << m;
        });
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(3, QSize(400, 300), Qt::white));
        ExportImageOptions o = perPageOptions(m_dir.path());
        o.watermarkOn = true;
        o.watermark.setStyle(WatermarkStyleCircle);
        o.watermark.setText(QStringLiteral("Draft"));
        const Outcome out = runTask(*task, o);
        qInstallMessageHandler(previous);
        QCOMPARE(out.code, KExportImageTask::Success);
        QCOMPARE(warnings, QStringList());
    }

    void picturesCarryTheirResolution()
    {
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(2, QSize(10, 10), Qt::gray));
        for (const char *suffix : {"png", "jpg", "bmp", "tif"}) {
            ExportImageOptions o = longOptions(m_dir.path(), QStringLiteral("res.%1").arg(suffix));
            o.dpi = 192;
            const Outcome out = runTask(*task, o);
            QCOMPARE(out.code, KExportImageTask::Success);
            const QImage back(out.info.value(QStringLiteral("fileName")).toString());
            QVERIFY2(!back.isNull(), suffix);
            QCOMPARE(qRound(back.dotsPerMeterX() * 0.0254), 192);
            QCOMPARE(qRound(back.dotsPerMeterY() * 0.0254), 192);
        }
    }

    void cancelDuringPerPageExportRemovesTheFolder()
    {
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(200, QSize(20, 20), Qt::red));
        task->pageDelayMs = 5;
        task->startTask(perPageOptions(m_dir.path()));
        QVERIFY(task->pageWritten.tryAcquire(2, 10000));
        QTRY_VERIFY(QFileInfo::exists(m_dir.filePath(QStringLiteral("Report/Report_01.png"))));
        QSignalSpy spy(task.data(), &KExportImageTask::exportFinished);
        task->cancel();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<KExportImageTask::ExitCode>(), KExportImageTask::Canceled);
        QVERIFY(task->pagesRendered < 200);
        QVERIFY(entries(m_dir.path()).isEmpty());
    }

    void cancelBeforeTheFirstPageLeavesNoEmptyFolder()
    {
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(50, QSize(20, 20), Qt::red));
        task->pageDelayMs = 200;
        task->startTask(perPageOptions(m_dir.path()));
        QTRY_VERIFY(QFileInfo::exists(m_dir.filePath(QStringLiteral("Report"))));
        task->cancel();
        QCOMPARE(task->pagesRendered.load(), 0);
        QVERIFY(entries(m_dir.path()).isEmpty());
    }

    void cancelDuringCompositionWritesNothing()
    {
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(3, QSize(20, 20), Qt::red));
        task->cancelDuringComposition = true;
        const Outcome out = runTask(*task, longOptions(m_dir.path()));
        QCOMPARE(out.code, KExportImageTask::Canceled);
        QVERIFY(entries(m_dir.path()).isEmpty());
    }

    void failedWriteKeepsThePreviousPicture()
    {
        const QString path = m_dir.filePath(QStringLiteral("keep.jpg"));
        QImage old(5, 5, QImage::Format_RGB32);
        old.fill(Qt::green);
        QVERIFY(old.save(path));
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(2, QSize(4, 40000), Qt::red));
        // Too tall for JPEG: the export fails and the picture that was there stays.
        const Outcome out = runTask(*task, longOptions(m_dir.path(), QStringLiteral("keep.jpg")));
        QCOMPARE(out.code, KExportImageTask::Failed);
        QVERIFY(out.info.value(QStringLiteral("errMsg")).toString().startsWith(QStringLiteral("Export image failed")));
        QCOMPARE(QImage(path).size(), QSize(5, 5));
        QCOMPARE(entries(m_dir.path()), QStringList({"keep.jpg"}));
    }

    void folderThatCannotBeCreatedFails()
    {
        // A path below a plain file cannot become a folder, not even for root.
        QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString below = m_dir.filePath(QStringLiteral("blocker/sub"));
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(2, QSize(4, 4), Qt::red));
        for (const ExportImageOptions &o : {longOptions(below), perPageOptions(below)}) {
            const Outcome out = runTask(*task, o);
            QCOMPARE(out.code, KExportImageTask::Failed);
            QVERIFY2(out.info.value(QStringLiteral("detail")).toString().startsWith(QStringLiteral("Cannot create the folder")),
                     qPrintable(out.info.value(QStringLiteral("detail")).toString()));
        }
        QCOMPARE(entries(m_dir.path()), QStringList({"blocker"}));
    }

    void writeFailureMidwayRemovesPerPageFolder()
    {
        // The third page is too tall for JPEG: the two before it must not stay behind.
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(3, QSize(4, 4), Qt::red));
        task->pages[2].size = QSize(4, 70000);
        ExportImageOptions o = perPageOptions(m_dir.path());
        o.suffix = QStringLiteral("jpg");
        const Outcome out = runTask(*task, o);
        QCOMPARE(out.code, KExportImageTask::Failed);
        QVERIFY(entries(m_dir.path()).isEmpty());
    }

    void pictureTooLargeToAllocateFails()
    {
        // One shared strip queued thousands of times: a column taller than any picture can be,
        // without the test itself needing the memory.
        struct TallTask : TestRenderTask
        {
            bool renderPages(const ExportImageOptions &) override
            {
                QImage strip(1, 100000, QImage::Format_RGB32);
                strip.fill(Qt::red);
                QImage wide(100000, 1, QImage::Format_RGB32);
                wide.fill(Qt::red);
                for (int i = 0; i < 3000; ++i)
                    addPageImage(0, strip);
                addPageImage(1, wide);
                return true;
            }
        } task;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot allocate")));
        const Outcome out = runTask(task, longOptions(m_dir.path()));
        QCOMPARE(out.code, KExportImageTask::Failed);
        QVERIFY(entries(m_dir.path()).isEmpty());
    }

    void emptyDocumentAndBadRangesFailQuietly()
    {
        QScopedPointer<TestRenderTask> empty(new TestRenderTask);
        QCOMPARE(runTask(*empty, longOptions(m_dir.path())).code, KExportImageTask::Failed);
        QCOMPARE(runTask(*empty, perPageOptions(m_dir.path())).code, KExportImageTask::Failed);
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(3, QSize(4, 4), Qt::red));
        ExportImageOptions o = perPageOptions(m_dir.path());
        o.pages = {{5, 9}, {3, 1}, {-4, -1}};
        QCOMPARE(runTask(*task, o).code, KExportImageTask::Failed);
        QVERIFY(entries(m_dir.path()).isEmpty());
    }

    void previewReturnsFirstPageAndWritesNothing()
    {
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(2, QSize(12, 9), Qt::red));
        ExportImageOptions o = longOptions(m_dir.path());
        o.preview = true;
        const Outcome out = runTask(*task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        QVERIFY(out.info.value(QStringLiteral("isPreivewPage")).toBool());
        QCOMPARE(out.info.value(QStringLiteral("previewimage")).value<QImage>().size(), QSize(12, 9));
        QVERIFY(entries(m_dir.path()).isEmpty());
    }

    void compactEditionsPaintTheSimpleWatermark()
    {
        KHostConfig::setEditionNumber(5);
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(4, QSize(400, 560), Qt::white));
        ExportImageOptions o = longOptions(m_dir.path());
        o.watermarkOn = true;
        o.watermarkText = QStringLiteral("Sample Copy");
        o.watermarkFont = QStringLiteral("Microsoft YaHei");
        o.watermarkRotate = true;
        const Outcome out = runTask(*task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        const QImage picture(out.info.value(QStringLiteral("fileName")).toString());
        picture.save(ktest::artifactPath(QStringLiteral("simple-watermark-long.png")));
        // Faint text in several bands down the picture, never dark.
        int touchedBands = 0;
        for (int band = 0; band < 4; ++band) {
            int marked = 0;
            for (int y = band * 560; y < (band + 1) * 560; y += 2)
                for (int x = 0; x < 400; x += 2) {
                    const QRgb p = picture.pixel(x, y);
                    QVERIFY(qGray(p) > 200);
                    marked += isWhite(p) ? 0 : 1;
                }
            touchedBands += marked > 50 ? 1 : 0;
        }
        QCOMPARE(touchedBands, 4);
    }

    void simpleWatermarkAngle()
    {
        QCOMPARE(ksimplewatermark::angleFor(QSize(400, 300), true), int(qAtan2(150, 200) * 0.9 * 180 / 3.14159));
        QCOMPARE(ksimplewatermark::angleFor(QSize(400, 1000), true), 45);
        QCOMPARE(ksimplewatermark::angleFor(QSize(400, 150), true), 0); // too flat to slant
        QCOMPARE(ksimplewatermark::angleFor(QSize(400, 300), false), 0);
    }

    void pngPicturesDecodeToExactlyThePixelsWritten()
    {
        QImage colour(301, 97, QImage::Format_RGB32);
        QImage grey(301, 97, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < colour.height(); ++y)
            for (int x = 0; x < colour.width(); ++x) {
                const quint32 v = random.generate();
                colour.setPixel(x, y, qRgb(v & 0xff, (v >> 8) & 0xff, (v >> 16) & 0xff));
                grey.setPixel(x, y, qRgb(v & 0xff, v & 0xff, v & 0xff));
            }
        QVERIFY(kpngencoder::isGrey(grey));
        QVERIFY(!kpngencoder::isGrey(colour));
        for (QImage *image : {&colour, &grey}) {
            const QImage original = image->copy();
            const QString path = m_dir.filePath(QStringLiteral("exact.png"));
            QVERIFY(kpicture::writePicture(*image, path, 288));
            QImageReader reader(path);
            const QImage back = reader.read().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(back, original);
            QCOMPARE(qRound(back.dotsPerMeterX() * 0.0254), 288);
        }
        QCOMPARE(QImageReader(m_dir.filePath(QStringLiteral("exact.png"))).imageFormat(), QImage::Format_Grayscale8);
    }

    void writeQueueKeepsOrderAndStopsAfterAFailure()
    {
        QStringList done;
        QMutex mutex;
        auto job = [&](const QString &name, bool ok) {
            return [&, name, ok] {
                QThread::msleep(2);
                QMutexLocker lock(&mutex);
                done << name;
                return ok;
            };
        };
        {
            KPictureWriteQueue queue(1);
            for (int i = 0; i < 5; ++i)
                QVERIFY(queue.push(job(QString::number(i), true)));
            QVERIFY(queue.finish());
            QCOMPARE(done, QStringList({"0", "1", "2", "3", "4"}));
        }
        done.clear();
        KPictureWriteQueue queue(1);
        queue.push(job(QStringLiteral("bad"), false));
        QTRY_VERIFY(!queue.push(job(QStringLiteral("late"), true)));
        QVERIFY(!queue.finish());
        QCOMPARE(done, QStringList({"bad"}));
    }


private:
    QTemporaryDir m_dir;
};

KTAVRO_TEST_MAIN(TestExportTask)
#include "tst_exporttask.moc"
