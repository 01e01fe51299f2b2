#include "ktestmain.h"
#include "ktestexport.h"
#include "testrendertask.h"

#include <khostconfig.h>
#include <picturewriter.h>
#include <kpicturewritequeue.h>
#include <pngencoder.h>
#include <simplewatermark.h>

#include <QImageReader>
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
