#include "ktestmain.h"
#include "ktestexport.h"
#include "testrendertask.h"

#include <khostconfig.h>
#include <kpicturewritequeue.h>
#include <pageimage.h>
#include <picturewriter.h>
#include <pngencoder.h>
#include <rastertiles.h>
#include <simplewatermark.h>
#include <watermarkpainter.h>

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <zlib.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace {

using ktest::Outcome;
using ktest::runTask;
using Sizes = QList<QSize>;

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

bool isWhite(QRgb p)
{
    return qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255;
}

quint32 bigEndian(const char *p)
{
    return qFromBigEndian<quint32>(reinterpret_cast<const uchar *>(p));
}

// A PNG file's chunks: the image data joined, every other chunk in order.
struct PngChunks
{
    QList<QByteArray> types;
    QList<QByteArray> others; // type and data
    QByteArray data;
    bool crcOk = true;
};

PngChunks pngChunks(const QByteArray &file)
{
    PngChunks chunks;
    for (int at = 8; at + 12 <= file.size();) {
        const int length = int(bigEndian(file.constData() + at));
        const QByteArray typeAndData = file.mid(at + 4, 4 + length);
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(typeAndData.constData()), uInt(typeAndData.size())));
        chunks.crcOk = chunks.crcOk && crc == bigEndian(file.constData() + at + 8 + length);
        chunks.types << typeAndData.left(4);
        if (typeAndData.startsWith("IDAT"))
            chunks.data += typeAndData.mid(4);
        else
            chunks.others << typeAndData;
        at += 12 + length;
    }
    return chunks;
}

// The zlib stream inflated, its checksum checked; empty when it is not one whole stream.
QByteArray inflated(const QByteArray &stream)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return QByteArray();
    QByteArray out;
    char buffer[1 << 16];
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(stream.constData()));
    z.avail_in = uInt(stream.size());
    int status;
    do {
        z.next_out = reinterpret_cast<Bytef *>(buffer);
        z.avail_out = sizeof buffer;
        status = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, int(sizeof buffer - z.avail_out));
    } while (status == Z_OK);
    const bool whole = status == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    return whole ? out : QByteArray();
}

} // namespace

class TestExportTask : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_tmp.reset(new QTemporaryDir);
        m_dir.setPath(m_tmp->path());
        QCoreApplication::setApplicationName(QStringLiteral("vyx"));
        KHostConfig::reload();
    }

    void pageCountFollowsDistinctPagesOrDocument()
    {
        QCOMPARE(countDistinctPages({{1, 3}, {2, 5}}), qint64(5));
        QCOMPARE(countDistinctPages({{0, 2}, {4, 3}}), qint64(0));
        QCOMPARE(countDistinctPages({{1, 2000000000}, {5, 7}}), qint64(2000000000));
        QCOMPARE(selectedPageNumbers({{4, 5}, {1, 2}, {2, 3}, {9, 30}}, 10), QList<int>({1, 2, 3, 4, 5, 9, 10}));
        QVERIFY(selectedPageNumbers({{11, 12}}, 10).isEmpty());

        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(7, QSize(8, 8), Qt::red));
        ExportImageOptions o = perPage();
        o.pages = {{1, 3}, {2, 5}};
        QCOMPARE(runTask(*task, o).text("pageCount"), QStringLiteral("5"));
        o.pages = {{0, 2}, {4, 3}}; // ranges naming no page select the whole document
        const Outcome all = runTask(*task, o);
        QCOMPARE(all.code, KExportImageTask::Success);
        QCOMPARE(all.text("pageCount"), QStringLiteral("7"));
        QCOMPARE(entries(m_dir.filePath(QStringLiteral("Report(1)"))).size(), 7);
    }

    // A taken name, folder or plain file, is skipped; names are taken as they are.
    void perPageExportClaimsTheNextFreeNumberedFolder()
    {
        QVERIFY(m_dir.mkdir(QStringLiteral("R%1")));
        QFile taken(m_dir.filePath(QStringLiteral("R%1(1)")));
        QVERIFY(taken.open(QIODevice::WriteOnly));
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(3, QSize(20, 30), Qt::blue));
        const Outcome out = runTask(*task, perPage(QStringLiteral("R%1")));
        QCOMPARE(out.code, KExportImageTask::Success);
        const QString folder = m_dir.filePath(QStringLiteral("R%1(2)"));
        QCOMPARE(entries(folder), QStringList({"R%1_01.png", "R%1_02.png", "R%1_03.png"}));
        QCOMPARE(out.text("fileName"), folder + QStringLiteral("/R%1_01.png"));
    }

    void longPictureStacksColumnsOnWhite()
    {
        QScopedPointer<TestRenderTask> task(new TestRenderTask);
        task->pages = {{QSize(40, 100), Qt::red, 0}, {QSize(30, 200), Qt::green, 0}, {QSize(50, 500), Qt::blue, 1},
                       {QSize(10, 10), QColor(0, 0, 0, 0), 1}};
        const Outcome out = runTask(*task, longPicture());
        QCOMPARE(out.code, KExportImageTask::Success);
        const QImage picture = out.picture();
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
        const Outcome out = runTask(*task, longPicture(QStringLiteral("tall.bmp")));
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
        QImage white(40, 2000, QImage::Format_RGB32);
        white.fill(Qt::white);
        QVERIFY(blank.copy(0, 0, 40, 2000) != white);
        QVERIFY(blank.copy(0, 40000, 40, 2000) != white);
    }

    void tilesCoverThePictureExactlyOnce()
    {
        QImage picture(70000, 3, QImage::Format_RGB32);
        picture.fill(Qt::white);
        int tiles = 0;
        QVERIFY(krastertiles::paintInTiles(picture, [&](QPainter &painter, const QRect &) {
            ++tiles;
            painter.fillRect(QRect(0, 0, 70000, 3), QColor(0, 0, 10 * tiles));
            return true;
        }));
        QCOMPARE(tiles, 5);
        QCOMPARE(picture.pixel(0, 0), qRgb(0, 0, 10));
        QCOMPARE(picture.pixel(69999, 2), qRgb(0, 0, 50));
        QCOMPARE(picture.pixel(16384, 1), qRgb(0, 0, 20));
        int visited = 0;
        QVERIFY(!krastertiles::paintInTiles(picture, [&](QPainter &, const QRect &) { return ++visited < 2; }));
        QCOMPARE(visited, 2); // stopping early ends the walk
    }

    // Content is any pixel with a channel below 250, found on every side.
    void contentBoundsFindEveryNonWhitePixel_data()
    {
        QTest::addColumn<QList<QPoint>>("dots");
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<QRect>("bounds");
        QTest::newRow("blank") << QList<QPoint>() << qRgb(0, 0, 0) << QRect();
        QTest::newRow("nearly white is white") << QList<QPoint>{{3, 3}} << qRgb(250, 250, 250) << QRect();
        QTest::newRow("one channel below white") << QList<QPoint>{{5, 30}} << qRgb(249, 255, 255) << QRect(5, 30, 1, 1);
        QTest::newRow("corners") << QList<QPoint>{{0, 99}, {39, 0}} << qRgb(0, 0, 0) << QRect(0, 0, 40, 100);
        QTest::newRow("right edge found below a wider row")
            << QList<QPoint>{{10, 10}, {12, 10}, {30, 60}, {5, 80}} << qRgb(0, 0, 0) << QRect(5, 10, 26, 71);
    }

    void contentBoundsFindEveryNonWhitePixel()
    {
        QFETCH(QList<QPoint>, dots);
        QFETCH(QRgb, colour);
        QFETCH(QRect, bounds);
        QImage page(40, 100, QImage::Format_RGB32);
        page.fill(Qt::white);
        for (const QPoint &dot : dots)
            page.setPixel(dot, colour);
        QCOMPARE(kpageimage::contentBounds(page), bounds);
        const QImage cropped = kpageimage::croppedToContent(page);
        QCOMPARE(cropped.size(), bounds.isEmpty() ? QSize(1, 1) : bounds.size());
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

    // Exports started together into one folder each claim a folder of their own.
    void concurrentExportsNeverShareAFolder()
    {
        constexpr int kExports = 6;
        QList<TestRenderTask *> tasks;
        for (int i = 0; i < kExports; ++i)
            tasks << TestRenderTask::uniform(3, QSize(4, 4), QColor::fromHsv(i * 50, 255, 255));
        for (TestRenderTask *task : tasks)
            task->startTask(perPage());
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

    void cancelRemovesThePerPageFolder_data()
    {
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<int>("written"); // pages on disk before the cancel
        QTest::newRow("after two pages") << 5 << 2;
        QTest::newRow("before the first page") << 200 << 0;
    }

    void cancelRemovesThePerPageFolder()
    {
        QFETCH(int, delayMs);
        QFETCH(int, written);
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(100, QSize(20, 20), Qt::red));
        task->pageDelayMs = delayMs;
        task->startTask(perPage());
        QVERIFY(task->pageWritten.tryAcquire(written, 10000));
        QTRY_VERIFY(QFileInfo::exists(m_dir.filePath(written ? QStringLiteral("Report/Report_01.png") : QStringLiteral("Report"))));
        QSignalSpy spy(task.data(), &KExportImageTask::exportFinished);
        task->cancel();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<KExportImageTask::ExitCode>(), KExportImageTask::Canceled);
        QVERIFY(written ? task->pagesRendered < 100 : task->pagesRendered == 0);
        QVERIFY(!task->isCanceled()); // the cancel does not outlive the run
        QVERIFY(entries(m_dir.path()).isEmpty());
    }

    void cancelDuringCompositionWritesNothing()
    {
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(3, QSize(20, 20), Qt::red));
        task->cancelDuringComposition = true;
        QCOMPARE(runTask(*task, longPicture()).code, KExportImageTask::Canceled);
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
        ExportImageOptions o = perPage();
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
            ExportImageOptions o = longPicture(QStringLiteral("res.%1").arg(suffix));
            o.dpi = 192;
            const QImage back = runTask(*task, o).picture();
            QVERIFY2(!back.isNull(), suffix);
            QCOMPARE(qRound(back.dotsPerMeterX() * 0.0254), 192);
            QCOMPARE(qRound(back.dotsPerMeterY() * 0.0254), 192);
        }
    }

    // A failed export says why and leaves the folder as it was: keep.jpg, an older picture,
    // and taken.png, a folder, are there before every row.
    void failureLeavesOnlyWhatWasThere_data()
    {
        QTest::addColumn<Sizes>("pages");
        QTest::addColumn<QList<PageRange>>("ranges");
        QTest::addColumn<bool>("longPicture");
        QTest::addColumn<QString>("output"); // per page: the folder name and the pictures' suffix
        QTest::addColumn<bool>("inCaller");
        QTest::addColumn<QString>("detail");
        const Sizes small{{4, 4}, {4, 4}};
        QTest::newRow("too tall for JPEG, over an older picture")
            << Sizes{{4, 40000}, {4, 40000}} << QList<PageRange>() << true << "keep.jpg" << false << "keep.jpg";
        // The exit code follows the write also when the pages rendered in the calling thread.
        QTest::newRow("in caller, onto a folder") << small << QList<PageRange>() << true << "taken.png" << true << "taken.png";
        QTest::newRow("long picture below a plain file")
            << small << QList<PageRange>() << true << "keep.jpg/sub/long.png" << false << "Cannot create the folder";
        QTest::newRow("per page below a plain file")
            << small << QList<PageRange>() << false << "keep.jpg/sub/Report.png" << false << "Cannot create the folder";
        QTest::newRow("third page too tall for JPEG")
            << Sizes{{4, 4}, {4, 4}, {4, 70000}} << QList<PageRange>() << false << "Report.jpg" << false << "Report_03.jpg";
        QTest::newRow("empty document, long") << Sizes() << QList<PageRange>() << true << "long.png" << false << "";
        QTest::newRow("empty document, per page") << Sizes() << QList<PageRange>() << false << "Report.png" << false << "";
        QTest::newRow("ranges naming only missing pages")
            << small << QList<PageRange>{{5, 9}, {3, 1}, {-4, -1}} << false << "Report.png" << false << "";
    }

    void failureLeavesOnlyWhatWasThere()
    {
        QFETCH(Sizes, pages);
        QFETCH(QList<PageRange>, ranges);
        QFETCH(bool, longPicture);
        QFETCH(QString, output);
        QFETCH(bool, inCaller);
        QFETCH(QString, detail);
        QImage old(5, 5, QImage::Format_RGB32);
        old.fill(Qt::green);
        QVERIFY(old.save(m_dir.filePath(QStringLiteral("keep.jpg"))));
        QVERIFY(m_dir.mkdir(QStringLiteral("taken.png")));
        const QFileInfo target(m_dir.filePath(output));
        ExportImageOptions o = ktest::exportOptions(target.path(), longPicture ? target.fileName() : target.baseName(),
                                                    longPicture);
        o.suffix = target.suffix();
        o.pages = ranges;
        o.exportInCaller = inCaller;
        QScopedPointer<TestRenderTask> task(TestRenderTask::sized(pages));
        const Outcome out = runTask(*task, o);
        QCOMPARE(out.code, KExportImageTask::Failed);
        QVERIFY2(out.text("detail").contains(detail), qPrintable(out.text("detail")));
        QCOMPARE(entries(m_dir.path()), QStringList({"keep.jpg", "taken.png"}));
        QCOMPARE(QImage(m_dir.filePath(QStringLiteral("keep.jpg"))).size(), QSize(5, 5));
        QVERIFY(QFileInfo(m_dir.filePath(QStringLiteral("taken.png"))).isDir());
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
                for (int i = 0; i < 3000; ++i)
                    addPageImage(0, strip);
                addPageImage(1, strip.transformed(QTransform().rotate(90)));
                return true;
            }
        } task;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot allocate")));
        QCOMPARE(runTask(task, longPicture()).code, KExportImageTask::Failed);
        QVERIFY(entries(m_dir.path()).isEmpty());
    }

    void previewReturnsFirstPageAndWritesNothing()
    {
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(2, QSize(12, 9), Qt::red));
        ExportImageOptions o = longPicture();
        o.preview = true;
        const Outcome out = runTask(*task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        QVERIFY(out.info.value(QStringLiteral("isPreivewPage")).toBool());
        QCOMPARE(out.info.value(QStringLiteral("previewimage")).value<QImage>().size(), QSize(12, 9));
        QVERIFY(entries(m_dir.path()).isEmpty());
    }

    void compactEditionsPaintTheSimpleWatermark()
    {
        QCOMPARE(ksimplewatermark::angleFor(QSize(400, 300), true), 33);
        QCOMPARE(ksimplewatermark::angleFor(QSize(400, 1000), true), 45);
        QCOMPARE(ksimplewatermark::angleFor(QSize(400, 150), true), 0); // too flat to slant
        QCOMPARE(ksimplewatermark::angleFor(QSize(400, 300), false), 0);

        KHostConfig::setEditionNumber(5);
        QScopedPointer<TestRenderTask> task(TestRenderTask::uniform(4, QSize(400, 560), Qt::white));
        ExportImageOptions o = longPicture();
        o.watermarkOn = true;
        o.watermarkText = QStringLiteral("Sample Copy");
        o.watermarkFont = QStringLiteral("Microsoft YaHei");
        o.watermarkRotate = true;
        const Outcome out = runTask(*task, o);
        QCOMPARE(out.code, KExportImageTask::Success);
        const QImage picture = out.picture();
        picture.save(ktest::artifactPath(QStringLiteral("simple-watermark-long.png")));
        // Faint text in every band down the picture, never dark.
        for (int band = 0; band < 4; ++band) {
            int marked = 0;
            for (int y = band * 560; y < (band + 1) * 560; y += 2)
                for (int x = 0; x < 400; x += 2) {
                    QVERIFY(qGray(picture.pixel(x, y)) > 200);
                    marked += isWhite(picture.pixel(x, y)) ? 0 : 1;
                }
            QVERIFY2(marked > 50, qPrintable(QString::number(band)));
        }
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
        const QString path = m_dir.filePath(QStringLiteral("exact.png"));
        for (QImage *image : {&colour, &grey}) {
            const QImage original = image->copy();
            QVERIFY(kpicture::writePicture(*image, path, 288));
            const QImage back = QImageReader(path).read().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(back, original);
            QCOMPARE(qRound(back.dotsPerMeterX() * 0.0254), 288);
        }
        QCOMPARE(QImageReader(path).imageFormat(), QImage::Format_Grayscale8);
    }

    // Pictures in pieces: the same chunks around the pixel data, the same filtered rows
    // under one valid zlib stream (its checksum checked), the same decoded pixels.
    void pngInPiecesMatchesTheSingleStream_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("parts");
        QTest::addColumn<bool>("grey");
        QTest::addColumn<int>("dpi");
        QTest::newRow("one row") << QSize(517, 1) << 4 << false << 288;
        QTest::newRow("one pixel, grey") << QSize(1, 1) << 2 << true << 0;
        QTest::newRow("rows not divisible by the parts") << QSize(301, 97) << 3 << false << 96;
        QTest::newRow("grey, rows not divisible") << QSize(129, 50) << 7 << true << 192;
        QTest::newRow("more parts than rows") << QSize(64, 5) << 8 << false << 96;
        QTest::newRow("more than one chunk of data") << QSize(1200, 700) << 2 << false << 96;
    }

    void pngInPiecesMatchesTheSingleStream()
    {
        QFETCH(QSize, size);
        QFETCH(int, parts);
        QFETCH(bool, grey);
        QFETCH(int, dpi);
        QImage image(size, QImage::Format_RGB32);
        QRandomGenerator random(size.width() * 31 + size.height());
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                // Flat runs between noise, as on a page: both compress differently.
                const quint32 v = (x / 16 + y / 8) % 3 ? 0xffffffu : random.generate();
                image.setPixel(x, y, grey ? qRgb(v & 0xff, v & 0xff, v & 0xff) : QRgb(v));
            }
        if (dpi > 0) {
            image.setDotsPerMeterX(qRound(dpi / 0.0254));
            image.setDotsPerMeterY(qRound(dpi / 0.0254));
        }
        QByteArray single;
        QByteArray pieces;
        for (auto [bytes, n] : {std::make_pair(&single, 1), std::make_pair(&pieces, parts)}) {
            QBuffer buffer(bytes);
            QVERIFY(buffer.open(QIODevice::WriteOnly));
            QString error;
            QVERIFY2(kpngencoder::encode(image, &buffer, &error, n), qPrintable(error));
        }
        const PngChunks reference = pngChunks(single);
        const PngChunks split = pngChunks(pieces);
        QVERIFY(split.crcOk);
        QCOMPARE(split.others, reference.others); // IHDR, pHYs, IEND and nothing else
        QCOMPARE(split.types.first(), QByteArray("IHDR"));
        QCOMPARE(split.types.last(), QByteArray("IEND"));
        const QByteArray rows = inflated(split.data);
        QVERIFY(!rows.isEmpty());
        QCOMPARE(rows, inflated(reference.data));
        const QImage back = QImage::fromData(pieces, "PNG").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(back, image);
        QCOMPARE(back.dotsPerMeterX(), image.dotsPerMeterX());
    }

    // A page is held once while it is encoded: one that already carries the resolution is
    // not copied even while shared; one that does not gets it, whatever it carried.
    void encodingCopiesOnlyPicturesWhoseResolutionChanges_data()
    {
        QTest::addColumn<int>("pictureDpi");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("same, png") << 288 << 288 << "png";
        QTest::newRow("same, jpg") << 96 << 96 << "jpg";
        QTest::newRow("other, png") << 96 << 288 << "png";
        QTest::newRow("other, bmp") << 300 << 150 << "bmp";
    }

    void encodingCopiesOnlyPicturesWhoseResolutionChanges()
    {
        QFETCH(int, pictureDpi);
        QFETCH(int, dpi);
        QFETCH(QString, suffix);
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        image.setDotsPerMeterX(qRound(pictureDpi / 0.0254));
        image.setDotsPerMeterY(qRound(pictureDpi / 0.0254));
        const QImage shared = image;
        QByteArray bytes;
        QString error;
        QVERIFY2(kpicture::encodePicture(image, QStringLiteral("page.") + suffix, dpi, &bytes, &error), qPrintable(error));
        QCOMPARE(image.constBits() == shared.constBits(), pictureDpi == dpi);
        const QImage back = QImage::fromData(bytes);
        QCOMPARE(qRound(back.dotsPerMeterX() * 0.0254), dpi);
        QCOMPARE(qRound(back.dotsPerMeterY() * 0.0254), dpi);
    }

    // BMP pictures are written byte for byte as Qt's writer writes them, rows padded.
    void bmpPicturesMatchQtsWriter_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("dpi");
        QTest::newRow("one pixel") << QSize(1, 1) << 96;
        QTest::newRow("rows padded") << QSize(3, 2) << 0;
        QTest::newRow("page-like") << QSize(301, 97) << 288;
    }

    void bmpPicturesMatchQtsWriter()
    {
        QFETCH(QSize, size);
        QFETCH(int, dpi);
        QImage image(size, QImage::Format_RGB32);
        QRandomGenerator random(size.width());
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, 0xff000000u | random.generate());
        QByteArray ours;
        QString error;
        QVERIFY2(kpicture::encodePicture(image, QStringLiteral("page.bmp"), dpi, &ours, &error), qPrintable(error));
        QByteArray qts;
        QBuffer buffer(&qts);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(QImageWriter(&buffer, "bmp").write(image));
        QCOMPARE(ours.toHex(), qts.toHex());
    }

    // A cancelled run must not wait for a large page to be encoded to its end: every
    // encoder asks whether to stop as it goes, gives up within a few rows or kilobytes of
    // a yes, and a picture written to a file leaves what was there untouched.
    void encodersStopSoonAfterAYes_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("pngParts"); // 0: through the picture writer
        QTest::addColumn<bool>("alpha"); // through Qt's writer, which leaves a failed write by longjmp
        QTest::addColumn<int>("yesAt");  // the question answered yes first
        QTest::newRow("png") << "png" << 0 << false << 3;
        QTest::newRow("png in pieces") << "png" << 3 << false << 3;
        QTest::newRow("png with alpha, among the rows") << "png" << 0 << true << 40;
        QTest::newRow("jpg") << "jpg" << 0 << false << 3;
        QTest::newRow("bmp") << "bmp" << 0 << false << 3;
        QTest::newRow("tif") << "tif" << 0 << false << 3;
    }

    void encodersStopSoonAfterAYes()
    {
        QFETCH(QString, suffix);
        QFETCH(int, pngParts);
        QFETCH(bool, alpha);
        QFETCH(int, yesAt);
        QImage image(1600, 1600, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        QRandomGenerator random(11);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = (alpha ? 0u : 0xff000000u) | random.generate();
        }
        if (alpha) // as pages are painted; Qt's writer converts them row by row
            image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QString path = m_dir.filePath(QStringLiteral("stopping.") + suffix);
        // Encodes with a stop that says yes from its firstYes-th question on (never when 0);
        // bytesAtYes: how much was encoded when it first said yes.
        struct Run
        {
            bool ok = false;
            QString error;
            QByteArray bytes;
            int asked = 0;
            qint64 bytesAtYes = -1;
        };
        auto encode = [&](int firstYes) {
            Run run;
            std::mutex mutex; // pieces ask from several threads
            const kpicture::Stop stop = [&] {
                std::lock_guard<std::mutex> lock(mutex);
                const bool yes = firstYes > 0 && ++run.asked >= firstYes;
                if (firstYes == 0)
                    ++run.asked;
                if (yes && run.bytesAtYes < 0)
                    run.bytesAtYes = run.bytes.size();
                return yes;
            };
            // On a thread of its own, as exports encode: what it leaves behind shows as a
            // leak once it has ended.
            std::thread([&] {
                QImage copy = image;
                if (pngParts > 0) {
                    QBuffer buffer(&run.bytes);
                    buffer.open(QIODevice::WriteOnly);
                    run.ok = kpngencoder::encode(copy, &buffer, &run.error, pngParts, stop);
                } else {
                    run.ok = kpicture::encodePicture(copy, path, 96, &run.bytes, &run.error, stop);
                }
            }).join();
            return run;
        };
        const Run whole = encode(0);
        QVERIFY2(whole.ok, qPrintable(whole.error));
        QVERIFY(whole.asked > 2);
        QVERIFY(whole.bytes.size() > 1 << 20);
        const QImage decoded = QImage::fromData(whole.bytes).convertToFormat(image.format());
        if (suffix == QLatin1String("jpg"))
            QCOMPARE(decoded.size(), image.size());
        else
            QCOMPARE(decoded, image);

        const Run stopped = encode(yesAt);
        QVERIFY(!stopped.ok);
        QCOMPARE(stopped.error, QStringLiteral("cancelled"));
        QVERIFY(stopped.bytesAtYes >= 0);
        QVERIFY2(stopped.bytes.size() - stopped.bytesAtYes < 128 * 1024,
                 qPrintable(QStringLiteral("%1 bytes after the stop").arg(stopped.bytes.size() - stopped.bytesAtYes)));

        if (pngParts > 0)
            return;
        QFile before(path);
        QVERIFY(before.open(QIODevice::WriteOnly) && before.write("before") == 6);
        before.close();
        QImage copy = image;
        QString error;
        QVERIFY(!kpicture::writePicture(copy, path, 96, &error, [] { return true; }));
        QCOMPARE(error, QStringLiteral("cancelled"));
        QVERIFY(before.open(QIODevice::ReadOnly));
        QCOMPARE(before.readAll(), QByteArray("before"));
        QCOMPARE(QDir(m_dir).entryList(QDir::Files), QStringList{QFileInfo(path).fileName()});
        QVERIFY(QFile::remove(path));
    }

    // Pictures are prepared side by side on every thread and put in place in the order
    // they came; after a failure nothing later is put in place.
    void writeQueueFinishesInOrderAndStopsAfterAFailure_data()
    {
        QTest::addColumn<int>("threads");
        QTest::addColumn<int>("failPrepare");
        QTest::addColumn<int>("failFinish");
        QTest::addColumn<QStringList>("finished");
        const QStringList all{"0", "1", "2", "3", "4", "5"};
        QTest::newRow("one thread") << 1 << -1 << -1 << all;
        QTest::newRow("three threads") << 3 << -1 << -1 << all;
        QTest::newRow("a prepare fails") << 3 << 2 << -1 << QStringList{"0", "1"};
        QTest::newRow("a finish fails") << 3 << -1 << 2 << QStringList{"0", "1", "2"};
        QTest::newRow("the first prepare fails, alone") << 1 << 0 << -1 << QStringList();
    }

    void writeQueueFinishesInOrderAndStopsAfterAFailure()
    {
        QFETCH(int, threads);
        QFETCH(int, failPrepare);
        QFETCH(int, failFinish);
        QFETCH(QStringList, finished);
        QStringList done;
        std::mutex mutex;
        std::atomic<int> running{0};
        int mostAtOnce = 0;
        bool pushed = true;
        {
            KPictureWriteQueue queue(threads, threads);
            for (int i = 0; i < 6; ++i) {
                pushed = queue.push([&, i]() -> KPictureWriteQueue::Finish {
                    const int now = running.fetch_add(1) + 1;
                    QThread::msleep(30 - 4 * i); // later pictures are ready first
                    {
                        std::lock_guard<std::mutex> lock(mutex);
                        mostAtOnce = std::max(mostAtOnce, now);
                    }
                    running.fetch_sub(1);
                    if (i == failPrepare)
                        return {};
                    return [&, i] {
                        std::lock_guard<std::mutex> lock(mutex);
                        done << QString::number(i);
                        return i != failFinish;
                    };
                }) && pushed;
            }
            QCOMPARE(queue.finish(), failPrepare < 0 && failFinish < 0);
        }
        QCOMPARE(done, finished);
        if (failPrepare < 0 && failFinish < 0) {
            QVERIFY(pushed);
            QCOMPARE(mostAtOnce > 1, threads > 1);
        }
    }

private:
    ExportImageOptions perPage(const QString &name = QStringLiteral("Report")) const
    {
        return ktest::exportOptions(m_dir.path(), name, false);
    }
    ExportImageOptions longPicture(const QString &file = QStringLiteral("long.png")) const
    {
        return ktest::exportOptions(m_dir.path(), file);
    }

    QScopedPointer<QTemporaryDir> m_tmp;
    QDir m_dir;
};

KTAVRO_TEST_MAIN(TestExportTask)
#include "tst_exporttask.moc"
