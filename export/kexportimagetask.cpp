#include "kexportimagetask.h"

#include "kexportrules.h"
#include "koutputpath.h"
#include "kpicturewritequeue.h"
#include "pageimage.h"
#include "picturewriter.h"
#include "simplewatermark.h"
#include "watermarkpainter.h"

#include <krt.h>
#include <kxapplication.h>
#include <kxmainwindow.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QPointer>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <shared_mutex>
#include <thread>
#include <vector>
#include <limits>

#include <sys/stat.h>

namespace {

const int kExitCodeType = qRegisterMetaType<KExportImageTask::ExitCode>("KExportImageTask::ExitCode");

// Pages larger than this are mapped on their own rather than kept in a thread's heap.
constexpr int kMappedPageBytes = 32 << 20;

bool isCompactEdition()
{
    const int edition = krt::product::versionID();
    return edition == 0 || edition == 5 || edition == 7;
}

QString withTrailingSeparator(const QString &folder)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder;
    return folder + QLatin1Char('/');
}

struct ColumnLayout
{
    QList<QImage> images;
    int width = 0;
    int height = 0;
};

} // namespace

// Standard locks rather than Qt's: the thread checker sees them, so it can tell what they guard.
using ReadLock = std::shared_lock<std::shared_mutex>;
using WriteLock = std::unique_lock<std::shared_mutex>;

// The state of a run, shared by the caller's thread, the worker and the picture writer.
class KExportImageTaskPrivate
{
public:
    explicit KExportImageTaskPrivate(const KExportComponent &c) : component(c) {}

    const KExportComponent &component;
    mutable std::shared_mutex lock;
    ExportImageOptions options;
    QMap<int, QList<QImage>> pageImages;
    // Read without the lock by encoders that ask every few rows.
    std::atomic<bool> cancelRequested{false};
    KExportImageTask::ExitCode exitCode = KExportImageTask::Failed;
    QString outputFile;
    // Whether this run wrote outputFile itself (it may name a file that was there before).
    bool outputWritten = false;
    QString outputFolder;
    QStringList written; // every picture this run put in place
    int pageCount = -1;
    QString countText;
    QString detail;
    KExportImageTask::Result result;
    std::unique_ptr<KPictureWriteQueue> writeQueue;
    QPointer<KxMainWindow> mainWindow;
};

QVariantMap KExportImageTask::Result::toMap() const
{
    QVariantMap map;
    if (preview) {
        map.insert(QStringLiteral("previewimage"), previewImage);
        map.insert(QStringLiteral("isPreivewPage"), true);
        return map;
    }
    map.insert(QStringLiteral("fileName"), file);
    map.insert(QStringLiteral("pageCount"), pageCount);
    map.insert(QStringLiteral("errMsg"), message);
    map.insert(QStringLiteral("errTitle"), title);
    if (code == Failed && !detail.isEmpty())
        map.insert(QStringLiteral("detail"), detail);
    return map;
}

KExportImageTask::KExportImageTask(QObject *parent)
    : KExportImageTask(KExportComponent::current(), parent)
{
}

KExportImageTask::KExportImageTask(const KExportComponent &component, QObject *parent)
    : QThread(parent)
    , d(std::make_unique<KExportImageTaskPrivate>(component))
{
    Q_UNUSED(kExitCodeType);
}

KExportImageTask::~KExportImageTask()
{
    requestCancel();
    wait();
}

int KExportImageTask::pageCount()
{
    return 0;
}

qint64 KExportImageTask::selectedPagesHeight(int, const ExportImageOptions &)
{
    return 0;
}

int KExportImageTask::pageQuery(int)
{
    return 0;
}

QImage KExportImageTask::previewImage()
{
    return QImage();
}

bool KExportImageTask::renderPages(const ExportImageOptions &)
{
    return false;
}

bool KExportImageTask::renderLongPicture(const ExportImageOptions &)
{
    return false;
}

bool KExportImageTask::exportLongPicturePdf(const ExportImageOptions &options)
{
    return renderLongPicture(options);
}

void KExportImageTask::setMainWindow(KxMainWindow *window)
{
    WriteLock lock(d->lock);
    d->mainWindow = window;
}

KxMainWindow *KExportImageTask::mainWindow() const
{
    ReadLock lock(d->lock);
    return d->mainWindow.data();
}

const KExportComponent &KExportImageTask::component() const
{
    return d->component;
}

void KExportImageTask::startTask(const ExportImageOptions &options)
{
    {
        WriteLock lock(d->lock);
        d->options = options;
        d->outputFile.clear();
        d->outputWritten = false;
        d->outputFolder.clear();
        d->written.clear();
        d->pageImages.clear();
        d->cancelRequested = false;
        d->exitCode = Failed;
        d->detail.clear();
    }
    if (options.exportInCaller) {
        const bool ok = d->component.paintsWholeSheet ? exportLongPicture(options) : renderPages(options);
        if (finishPageWrites() && ok && exitCode() != Canceled)
            setExitCode(Success);
    }
    start(QThread::InheritPriority);
}

void KExportImageTask::returnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void KExportImageTask::keepFreedPagesForReuse()
{
#ifdef __GLIBC__
    // Up to the largest block a thread's heap holds; larger pages still map on their own.
    mallopt(M_MMAP_THRESHOLD, kMappedPageBytes);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
#endif
}

void KExportImageTask::run()
{
    // The cancel flag was cleared by startTask; clearing it again here would lose a cancel
    // that arrives before the thread gets going.
    ExportImageOptions options;
    {
        ReadLock lock(d->lock);
        options = d->options;
    }
    if (options.preview) {
        Result preview;
        preview.code = Success;
        preview.preview = true;
        preview.previewImage = previewImage();
        setExitCode(Success);
        {
            WriteLock lock(d->lock);
            d->result = preview;
        }
        resetCancel();
        emit exportFinished(Success, preview.toMap());
        return;
    }
    finishRun(options, runExport(options));
    returnFreedMemory();
    const Result outcome = result();
    // The run is over: a cancel must not linger into the queries that follow (page heights).
    resetCancel();
    emit exportFinished(outcome.code, outcome.toMap());
}

// The export proper, on the worker; nothing to do when the interface thread did it all.
KExportImageTask::Step KExportImageTask::runExport(const ExportImageOptions &options)
{
    bool ok = false;
    if (options.longPicture) {
        if (options.exportInCaller && d->component.paintsWholeSheet)
            return Step::NotRun;
        ok = d->component.longPictureInParts ? exportLongPicturePdf(options) : exportLongPicture(options);
    } else {
        if (options.exportInCaller)
            return Step::NotRun;
        ok = renderPages(options);
    }
    return ok ? Step::Done : Step::Failed;
}

// Settles the exit code once every write is done, clears away what a failure or a cancel
// left and builds the result.
void KExportImageTask::finishRun(const ExportImageOptions &options, Step step)
{
    const bool written = finishPageWrites();
    if (exitCode() != Canceled) {
        // What the worker did decides; a failed write after in-caller rendering is a failure.
        if (step == Step::Failed || !written)
            setExitCode(Failed);
        else if (step == Step::Done)
            setExitCode(Success);
    }
    removeOutput(options);
    const Result outcome = takeResult(options);
    WriteLock lock(d->lock);
    d->pageImages.clear(); // pages a failed long picture had queued
    d->result = outcome;
}

KExportImageTask::Result KExportImageTask::takeResult(const ExportImageOptions &options)
{
    Result outcome;
    const QString count = pageCountText(options);
    ReadLock lock(d->lock);
    outcome.code = d->exitCode;
    outcome.file = d->outputFile;
    outcome.pageCount = d->component.paintsWholeSheet ? d->countText : count;
    outcome.title = tr("Export failed");
    outcome.message = krt::product::isEnterprise()
        ? tr("Export failed. Please lower picture quality or reduce file content, and try again.")
        : tr("Export image failed, please reduce the image quality or\n adjust doc pages and try again");
    outcome.detail = d->detail;
    return outcome;
}

KExportImageTask::Result KExportImageTask::result() const
{
    ReadLock lock(d->lock);
    return d->result;
}

// A cancelled or failed export leaves nothing it wrote behind. Files that were there
// before the export (an overwritten long picture) are never touched.
void KExportImageTask::removeOutput(const ExportImageOptions &options)
{
    WriteLock lock(d->lock);
    if (d->exitCode == Success)
        return;
    if (d->component.writesSingleFile(options.longPicture)) {
        // A long picture only appears once complete, so only a cancel after writing leaves one.
        if (d->exitCode == Canceled && d->outputWritten && QFileInfo(d->outputFile).isFile())
            QFile::remove(d->outputFile);
        return;
    }
    // Only what this run wrote goes, then the folder if nothing else is in it: whatever
    // someone else put there (or a folder of the same name made after ours was removed)
    // is not ours to delete.
    for (const QString &file : qAsConst(d->written))
        QFile::remove(file);
    if (!d->outputFolder.isEmpty())
        QDir().rmdir(d->outputFolder);
}

QString KExportImageTask::pageCountText(const ExportImageOptions &options)
{
    if (!options.pages.isEmpty()) {
        const qint64 distinct = countDistinctPages(options.pages);
        if (distinct > 0)
            return QString::number(distinct);
    }
    int count;
    {
        ReadLock lock(d->lock);
        count = d->pageCount;
    }
    if (count < 0)
        count = pageCount();
    return QString::number(count);
}

void KExportImageTask::cancel()
{
    requestCancel();
    wait();
}

void KExportImageTask::requestCancel()
{
    WriteLock lock(d->lock);
    d->cancelRequested = true;
}

bool KExportImageTask::isCanceled()
{
    WriteLock lock(d->lock);
    if (d->cancelRequested)
        d->exitCode = Canceled;
    return d->cancelRequested;
}

void KExportImageTask::resetCancel()
{
    WriteLock lock(d->lock);
    d->cancelRequested = false;
}

bool KExportImageTask::walkPages(const ExportImageOptions &options, int pageCount, const PageRenderer &render,
                                 const PageSink &longPage)
{
    setPageCountValue(pageCount);
    const QList<int> numbers = selectedPageNumbers(options.pages, pageCount);
    if (numbers.isEmpty())
        return false;
    QString folder;
    if (!options.longPicture && (folder = createOutputFolder(options)).isEmpty())
        return false;
    for (int i = 0; i < numbers.size(); ++i) {
        if (isCanceled())
            return false;
        if (options.exportInCaller) {
            KxApplication::coreApplication()->processPendingUiWork();
            msleep(1);
        }
        const PagePlace place{numbers.at(i), i, i == 0, i == numbers.size() - 1};
        QImage page = render(place);
        if (isCanceled())
            return false;
        if (page.isNull())
            return failPage(place.number, tr("could not be rendered"));
        emit pageProgress(i + 1, numbers.size());
        bool kept;
        if (!options.longPicture)
            kept = savePageImage(page, KExportRules::pageFilePath(folder, options.fileName, place.number, options.suffix),
                                 options, numbers.size() == 1);
        else if (longPage)
            kept = longPage(place, page);
        else {
            addPageImage(0, page);
            kept = true;
        }
        if (!kept)
            return false;
    }
    return true;
}

bool KExportImageTask::exportLongPicture(const ExportImageOptions &options)
{
    if (!options.exportInCaller && !renderPages(options))
        return false;
    {
        ReadLock lock(d->lock);
        if (d->pageImages.isEmpty())
            return false;
    }
    QImage picture;
    if (!composeLongPicture(picture) || picture.isNull())
        return false;
    return writeLongPicture(picture, options);
}

bool KExportImageTask::writeLongPicture(QImage &picture, const ExportImageOptions &options)
{
    const QString path = KOutputPath::normalize(options.outputDir + QDir::separator() + options.fileName);
    {
        WriteLock lock(d->lock);
        d->outputFile = path;
        d->outputWritten = false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        setFailureDetail(tr("Cannot create the folder %1").arg(QFileInfo(path).absolutePath()));
        return false;
    }
    kpicture::removeAbandonedTemporaries(QFileInfo(path).absolutePath());
    if (options.watermarkOn)
        paintWatermarkOn(picture, options, true);
    return writeImage(picture, path, options);
}

bool KExportImageTask::writePart(QImage &picture, const QString &path, const ExportImageOptions &options)
{
    if (options.watermarkOn)
        paintWatermarkOn(picture, options, true);
    if (!writeImage(picture, path, options))
        return false;
    // The result names the first part, the file a viewer should open first.
    WriteLock lock(d->lock);
    if (d->outputFile.isEmpty())
        d->outputFile = path;
    return true;
}

void KExportImageTask::addPageImage(int column, const QImage &image)
{
    WriteLock lock(d->lock);
    d->pageImages[column].append(image);
}

QList<QImage> KExportImageTask::prepareColumn(const QList<QImage> &images)
{
    return images;
}

// Draws every column straight into the final picture: the result is what stacking each
// column on white and then laying the columns side by side on white gives, without
// holding a second copy of the picture.
bool KExportImageTask::composeLongPicture(QImage &result)
{
    QMap<int, QList<QImage>> pages;
    {
        WriteLock lock(d->lock);
        pages.swap(d->pageImages);
    }
    QList<ColumnLayout> columns;
    qint64 totalWidth = 0;
    qint64 totalHeight = 0;
    for (auto it = pages.begin(); it != pages.end(); ++it) {
        ColumnLayout column;
        column.images = prepareColumn(it.value());
        it.value().clear();
        qint64 height = 0;
        for (const QImage &image : qAsConst(column.images)) {
            column.width = std::max(column.width, image.width());
            height += image.height();
        }
        if (column.width <= 0 || height <= 0 || height > std::numeric_limits<int>::max())
            continue;
        column.height = int(height);
        totalWidth += column.width;
        totalHeight = std::max<qint64>(totalHeight, column.height);
        columns.append(column);
    }
    pages.clear();
    if (columns.isEmpty() || totalWidth > std::numeric_limits<int>::max())
        return false;

    // Not filled up front: each band is written once, so the picture's memory is touched
    // only as pages are released and peak memory stays near the picture plus one page.
    QImage picture;
    if (kpicture::canAllocate(QSize(int(totalWidth), int(totalHeight))))
        picture = QImage(int(totalWidth), int(totalHeight), QImage::Format_RGB32);
    if (picture.isNull()) {
        qWarning() << "KExportImageTask: cannot allocate a picture of" << totalWidth << "x" << totalHeight;
        return false;
    }
    // Scan lines are copied, not painted: a painter stops at row 32767.
    QVector<PagePlacement> placements;
    int x = 0;
    for (ColumnLayout &column : columns) {
        int y = 0;
        for (QImage &image : column.images) {
            placements.append({&image, x, y, column.width});
            y += image.height();
        }
        kpageimage::fillWhite(picture, QRect(x, y, column.width, picture.height() - y));
        x += column.width;
    }
    if (!drawPages(picture, placements))
        return false;
    result = picture;
    return true;
}

// Pages are drawn side by side, one per core: the first write of each row of a fresh picture
// costs the system a page fault, and a long picture has tens of thousands of them. Each
// thread draws through its own view of its page's rows, and lets the page go once drawn.
bool KExportImageTask::drawPages(QImage &picture, const QVector<PagePlacement> &placements)
{
    uchar *const bits = picture.bits(); // detaches, if at all, here and once
    const qsizetype bytesPerLine = picture.bytesPerLine();
    const int width = picture.width();
    std::atomic<int> next{0};
    auto draw = [&] {
        for (int i = next++; i < placements.size() && !isCanceled(); i = next++) {
            const PagePlacement &place = placements.at(i);
            const QImage opaque = kpageimage::opaqueOnWhite(*place.image);
            QImage rows(bits + qsizetype(place.y) * bytesPerLine, width, place.image->height(), bytesPerLine,
                        QImage::Format_RGB32);
            kpageimage::copyInto(rows, QPoint(place.x, 0), opaque, opaque.rect());
            kpageimage::fillWhite(rows, QRect(place.x + opaque.width(), 0, place.columnWidth - opaque.width(), opaque.height()));
            *place.image = QImage(); // the page is in the picture now; give its memory back
        }
    };
    const int helpers = std::min(KPictureWriteQueue::threadsForCores(), int(placements.size())) - 1;
    std::vector<std::thread> threads;
    for (int i = 0; i < helpers; ++i)
        threads.emplace_back(draw);
    draw();
    for (std::thread &thread : threads)
        thread.join();
    return !isCanceled();
}

// Claims the next free numbered folder with a plain mkdir, which fails when the name is
// taken: two exports into one folder never share one, whatever their timing.
QString KExportImageTask::createOutputFolder(const ExportImageOptions &options)
{
    const QString base = withTrailingSeparator(options.outputDir) + options.fileName;
    const QString parent = QFileInfo(base).absolutePath();
    if (!QDir().mkpath(parent)) {
        setFailureDetail(tr("Cannot create the folder %1").arg(parent));
        return QString();
    }
    const QString folder = KExportRules::claimNumberedFolder(base, [this](const QString &name) {
        if (::mkdir(QFile::encodeName(name).constData(), 0777) == 0)
            return KExportRules::Claim::Claimed;
        if (errno == EEXIST) {
            kpicture::removeAbandonedTemporaries(name); // of an earlier run killed outright
            return KExportRules::Claim::Taken;
        }
        setFailureDetail(tr("Cannot create the folder %1: %2").arg(name, QString::fromLocal8Bit(std::strerror(errno))));
        return KExportRules::Claim::Failed;
    });
    if (!folder.isEmpty()) {
        WriteLock lock(d->lock);
        d->outputFolder = QDir::toNativeSeparators(folder);
        return QDir::toNativeSeparators(withTrailingSeparator(folder));
    }
    setFailureDetail(tr("Every numbered folder name for %1 is taken").arg(base));
    return QString();
}

// Pages are watermarked and encoded on a writer thread per core while the next pages
// render, and put in place in page order; false once a write has failed. The run waits
// for every write before it reports; a cancel stops the encodings within a few rows.
bool KExportImageTask::savePageImage(QImage &image, const QString &path, const ExportImageOptions &options, bool alone)
{
    if (alone) { // nothing else renders meanwhile: writer threads would only cost their start
        const KPictureWriteQueue::Finish place = preparePage(image, path, options);
        return place && place();
    }
    if (!d->writeQueue) {
        const int threads = KPictureWriteQueue::threadsForCores();
        // Pages this large take longer to encode than to render: a page waiting for every
        // busy writer would only hold memory.
        const int waiting = image.sizeInBytes() > kMappedPageBytes ? 1 : threads;
        d->writeQueue = std::make_unique<KPictureWriteQueue>(waiting, threads);
    }
    // Moved, not copied, into the job: a second reference would make the writer copy the
    // whole page when it sets the resolution.
    return d->writeQueue->push(
        [this, page = std::move(image), path, options]() mutable { return preparePage(page, path, options); });
}

bool KExportImageTask::finishPageWrites()
{
    if (!d->writeQueue)
        return true;
    const bool ok = d->writeQueue->finish();
    d->writeQueue.reset();
    return ok;
}

// Watermarks (single form) and encodes one page; the step returned writes it.
KPictureWriteQueue::Finish KExportImageTask::preparePage(QImage &image, const QString &path,
                                                         const ExportImageOptions &options)
{
    if (isCanceled()) // pages still waiting are not wanted any more
        return {};
    // The folder was claimed before the first page. Made anew after someone removed it, it
    // would hold only the later pages and the export would still report success.
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir()) {
        setFailureDetail(tr("Cannot write %1: the folder %2 is gone").arg(path, QFileInfo(path).absolutePath()));
        return {};
    }
    if (options.watermarkOn)
        paintWatermarkOn(image, options, false);
    QByteArray bytes;
    QString error;
    const bool encoded = kpicture::encodePicture(image, path, options.dpi, &bytes, &error, stopFunction());
    image = QImage();
    if (!encoded && isCanceled())
        return {};
    if (!encoded) {
        setFailureDetail(tr("Cannot write %1: %2").arg(path, error));
        return {};
    }
    return [this, bytes, path] { return placePage(bytes, path); };
}

// The first page written becomes the result.
bool KExportImageTask::placePage(const QByteArray &bytes, const QString &path)
{
    if (isCanceled())
        return false;
    QString error;
    if (!kpicture::writeBytes(bytes, path, &error)) {
        setFailureDetail(tr("Cannot write %1: %2").arg(path, error));
        return false;
    }
    WriteLock lock(d->lock);
    d->written << path;
    if (d->outputFile.isEmpty())
        d->outputFile = path;
    if (path == d->outputFile)
        d->outputWritten = true;
    return true;
}

kpicture::Stop KExportImageTask::stopFunction() const
{
    return [d = d.get()] { return d->cancelRequested.load(std::memory_order_relaxed); };
}

void KExportImageTask::paintWatermarkOn(QImage &image, const ExportImageOptions &options, bool longPicture)
{
    if (isCompactEdition()) {
        ksimplewatermark::paint(image, options.watermarkText, options.watermarkFont, options.watermarkRotate,
                                longPicture ? ksimplewatermark::Form::Tiled : ksimplewatermark::Form::Single);
        return;
    }
    WatermarkSetting setting = options.watermark;
    paintWatermark(image, &setting);
}

bool KExportImageTask::writeImage(QImage &image, const QString &path, const ExportImageOptions &options)
{
    QString error;
    if (!kpicture::writePicture(image, path, options.dpi, &error, stopFunction())) {
        if (isCanceled())
            return false;
        setFailureDetail(tr("Cannot write %1: %2").arg(path, error));
        return false;
    }
    WriteLock lock(d->lock);
    d->written << path;
    if (path == d->outputFile)
        d->outputWritten = true;
    return true;
}

KExportImageTask::ExitCode KExportImageTask::exitCode() const
{
    ReadLock lock(d->lock);
    return d->exitCode;
}

void KExportImageTask::setExitCode(ExitCode code)
{
    WriteLock lock(d->lock);
    d->exitCode = code;
}

void KExportImageTask::setPageCountValue(int count)
{
    WriteLock lock(d->lock);
    d->pageCount = count;
}

void KExportImageTask::setCountText(const QString &text)
{
    WriteLock lock(d->lock);
    d->countText = text;
}

void KExportImageTask::setFailureDetail(const QString &detail)
{
    WriteLock lock(d->lock);
    if (d->detail.isEmpty())
        d->detail = detail;
}

bool KExportImageTask::failPage(int number, const QString &why)
{
    setFailureDetail(tr("Page %1 %2").arg(QString::number(number), why));
    return false;
}
