#include "kexportimagetask.h"

#include "koutputpath.h"
#include "kpicturewritequeue.h"
#include "pageimage.h"
#include "picturewriter.h"
#include "simplewatermark.h"
#include "watermarkpainter.h"

#include <krt.h>
#include <kxmainwindow.h>

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QReadLocker>
#include <QWriteLocker>

#include <cerrno>
#include <cstring>
#include <limits>

#include <sys/stat.h>

namespace {

const int kExitCodeType = qRegisterMetaType<KExportImageTask::ExitCode>("KExportImageTask::ExitCode");

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

KExportImageTask::KExportImageTask(QObject *parent)
    : KExportImageTask(KExportComponent::current(), parent)
{
}

KExportImageTask::KExportImageTask(const KExportComponent &component, QObject *parent)
    : QThread(parent)
    , m_component(&component)
{
    Q_UNUSED(kExitCodeType);
}

KExportImageTask::~KExportImageTask()
{
    {
        QWriteLocker lock(&m_lock);
        m_cancelRequested = true;
    }
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
    QWriteLocker lock(&m_lock);
    m_mainWindow = window;
}

KxMainWindow *KExportImageTask::mainWindow() const
{
    QReadLocker lock(&m_lock);
    return m_mainWindow.data();
}

void KExportImageTask::startTask(const ExportImageOptions &options)
{
    {
        QWriteLocker lock(&m_lock);
        m_options = options;
        m_outputFile.clear();
        m_outputFolder.clear();
        m_errTitle = tr("Export failed");
        m_errMsg = krt::product::isEnterprise()
            ? tr("Export failed. Please lower picture quality or reduce file content, and try again.")
            : tr("Export image failed, please reduce the image quality or\n adjust doc pages and try again");
        m_pageImages.clear();
        m_cancelRequested = false;
        m_exitCode = Failed;
        m_detail.clear();
    }
    if (options.exportInCaller) {
        const bool ok = m_component->paintsWholeSheet ? exportLongPicture(options) : renderPages(options);
        if (finishPageWrites() && ok && currentExitCode() != Canceled)
            setExitCode(Success);
    }
    start(QThread::InheritPriority);
}

void KExportImageTask::run()
{
    // The cancel flag was cleared by startTask; clearing it again here would lose a cancel
    // that arrives before the thread gets going.
    const ExportImageOptions options = currentOptions();
    if (options.preview) {
        const QImage image = previewImage();
        setExitCode(Success);
        QVariantMap info;
        info.insert(QStringLiteral("previewimage"), image);
        info.insert(QStringLiteral("isPreivewPage"), true);
        resetCancel();
        emit exportFinished(Success, info);
        return;
    }
    const Step step = runExport(options);
    const bool written = finishPageWrites();
    if (currentExitCode() != Canceled) {
        // What the worker did decides; a failed write after in-caller rendering is a failure.
        if (step == Step::Failed || !written)
            setExitCode(Failed);
        else if (step == Step::Done)
            setExitCode(Success);
    }
    removeOutput(options);

    const QString count = pageCountText(options);
    QVariantMap info;
    QReadLocker lock(&m_lock);
    info.insert(QStringLiteral("fileName"), m_outputFile);
    info.insert(QStringLiteral("pageCount"), m_component->paintsWholeSheet ? m_countText : count);
    info.insert(QStringLiteral("errMsg"), m_errMsg);
    info.insert(QStringLiteral("errTitle"), m_errTitle);
    if (m_exitCode == Failed && !m_detail.isEmpty())
        info.insert(QStringLiteral("detail"), m_detail);
    const ExitCode code = m_exitCode;
    lock.unlock();
    // The run is over: a cancel must not linger into the queries that follow (page heights).
    resetCancel();
    emit exportFinished(code, info);
}

// The export proper, on the worker; nothing to do when the interface thread did it all.
KExportImageTask::Step KExportImageTask::runExport(const ExportImageOptions &options)
{
    bool ok = false;
    if (options.longPicture) {
        if (options.exportInCaller && m_component->paintsWholeSheet)
            return Step::NotRun;
        ok = m_component->longPictureInParts ? exportLongPicturePdf(options) : exportLongPicture(options);
    } else {
        if (options.exportInCaller)
            return Step::NotRun;
        ok = renderPages(options);
    }
    return ok ? Step::Done : Step::Failed;
}

// A cancelled or failed export leaves nothing it wrote behind. Files that were there
// before the export (an overwritten long picture) are never touched.
void KExportImageTask::removeOutput(const ExportImageOptions &options)
{
    QWriteLocker lock(&m_lock);
    if (m_exitCode == Success)
        return;
    const bool singleFile = m_component->writesSingleFile(options.longPicture);
    if (singleFile) {
        // A long picture only appears once complete, so only a cancel after writing leaves one.
        if (m_exitCode == Canceled && m_outputWritten && QFileInfo(m_outputFile).isFile())
            QFile::remove(m_outputFile);
        return;
    }
    if (!m_outputFolder.isEmpty())
        QDir(m_outputFolder).removeRecursively();
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
        QReadLocker lock(&m_lock);
        count = m_pageCount;
    }
    if (count < 0)
        count = pageCount();
    return QString::number(count);
}

void KExportImageTask::cancel()
{
    {
        QWriteLocker lock(&m_lock);
        m_cancelRequested = true;
    }
    wait();
}

bool KExportImageTask::isCanceled()
{
    QWriteLocker lock(&m_lock);
    if (m_cancelRequested)
        m_exitCode = Canceled;
    return m_cancelRequested;
}

void KExportImageTask::resetCancel()
{
    QWriteLocker lock(&m_lock);
    m_cancelRequested = false;
}

bool KExportImageTask::exportLongPicture(const ExportImageOptions &options)
{
    if (!options.exportInCaller && !renderPages(options))
        return false;
    {
        QReadLocker lock(&m_lock);
        if (m_pageImages.isEmpty())
            return false;
    }
    QImage picture;
    if (!composeLongPicture(picture) || picture.isNull())
        return false;
    return writeLongPicture(picture, options);
}

bool KExportImageTask::writeLongPicture(QImage &picture, const ExportImageOptions &options)
{
    const QString path = normalizePath(options.outputDir + QDir::separator() + options.fileName);
    setOutputFile(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        setFailureDetail(tr("Cannot create the folder %1").arg(QFileInfo(path).absolutePath()));
        return false;
    }
    if (options.watermarkOn)
        paintWatermarkOn(picture, options, true);
    return writeImage(picture, path, options);
}

void KExportImageTask::addPageImage(int column, const QImage &image)
{
    QWriteLocker lock(&m_lock);
    m_pageImages[column].append(image);
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
        QWriteLocker lock(&m_lock);
        pages.swap(m_pageImages);
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
    int x = 0;
    for (ColumnLayout &column : columns) {
        int y = 0;
        for (QImage &image : column.images) {
            if (isCanceled())
                return false;
            const QImage opaque = kpageimage::opaqueOnWhite(image);
            kpageimage::copyInto(picture, QPoint(x, y), opaque, opaque.rect());
            kpageimage::fillWhite(picture, QRect(x + opaque.width(), y, column.width - opaque.width(), opaque.height()));
            y += image.height();
            image = QImage(); // the page is in the picture now; give its memory back
        }
        kpageimage::fillWhite(picture, QRect(x, y, column.width, picture.height() - y));
        x += column.width;
    }
    result = picture;
    return true;
}

QString KExportImageTask::numberedFolder(const QString &base, int number)
{
    return number == 0 ? base : base + QStringLiteral("(%1)").arg(number);
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
    for (int n = 0; n < kMaxNumberedFolders; ++n) {
        const QString folder = numberedFolder(base, n);
        if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0) {
            if (errno == EEXIST)
                continue;
            setFailureDetail(tr("Cannot create the folder %1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
            return QString();
        }
        QWriteLocker lock(&m_lock);
        m_outputFolder = QDir::toNativeSeparators(folder);
        return QDir::toNativeSeparators(withTrailingSeparator(folder));
    }
    setFailureDetail(tr("Every numbered folder name for %1 is taken").arg(base));
    return QString();
}

QString KExportImageTask::pageFilePath(const QString &folder, const QString &fileName, int page, const QString &suffix)
{
    // Joined, not filled in: a name holding "%1" must come out as it is.
    const QString number = QStringLiteral("%1").arg(page, 2, 10, QLatin1Char('0'));
    return QDir::toNativeSeparators(folder + fileName + QLatin1Char('_') + number + QLatin1Char('.') + suffix);
}

bool KExportImageTask::savePageImage(QImage &image, const QString &path, const ExportImageOptions &options)
{
    if (!m_writeQueue)
        m_writeQueue = std::make_unique<KPictureWriteQueue>();
    QImage page = std::move(image);
    return m_writeQueue->push([this, page, path, options]() mutable { return writePage(page, path, options); });
}

bool KExportImageTask::finishPageWrites()
{
    if (!m_writeQueue)
        return true;
    const bool ok = m_writeQueue->finish();
    m_writeQueue.reset();
    return ok;
}

bool KExportImageTask::writePage(QImage &image, const QString &path, const ExportImageOptions &options)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        setFailureDetail(tr("Cannot create the folder %1").arg(QFileInfo(path).absolutePath()));
        return false;
    }
    if (options.watermarkOn)
        paintWatermarkOn(image, options, false);
    if (!writeImage(image, path, options))
        return false;
    QWriteLocker lock(&m_lock);
    if (m_outputFile.isEmpty())
        m_outputFile = path;
    return true;
}

void KExportImageTask::paintWatermarkOn(QImage &image, const ExportImageOptions &options, bool longPicture)
{
    if (isCompactEdition()) {
        ksimplewatermark::paint(image, options.watermarkText, options.watermarkFont, options.watermarkRotate,
                                longPicture ? ksimplewatermark::Form::Tiled : ksimplewatermark::Form::Single);
        return;
    }
    WatermarkSetting setting;
    {
        QReadLocker lock(&m_lock);
        setting = m_options.watermark;
    }
    paintWatermark(image, &setting);
}

int KExportImageTask::outputDpi(const ExportImageOptions &options) const
{
    return options.dpi;
}

bool KExportImageTask::writeImage(QImage &image, const QString &path, const ExportImageOptions &options)
{
    QString error;
    if (!kpicture::writePicture(image, path, outputDpi(options), &error)) {
        setFailureDetail(tr("Cannot write %1: %2").arg(path, error));
        return false;
    }
    QWriteLocker lock(&m_lock);
    if (path == m_outputFile)
        m_outputWritten = true;
    return true;
}

QString KExportImageTask::normalizePath(const QString &path)
{
    return KOutputPath::normalize(path);
}

void KExportImageTask::setOutputFile(const QString &path)
{
    QWriteLocker lock(&m_lock);
    m_outputFile = path;
    m_outputWritten = false;
}

ExportImageOptions KExportImageTask::currentOptions() const
{
    QReadLocker lock(&m_lock);
    return m_options;
}

KExportImageTask::ExitCode KExportImageTask::currentExitCode() const
{
    QReadLocker lock(&m_lock);
    return m_exitCode;
}

void KExportImageTask::setExitCode(ExitCode code)
{
    QWriteLocker lock(&m_lock);
    m_exitCode = code;
}

void KExportImageTask::setPageCountValue(int count)
{
    QWriteLocker lock(&m_lock);
    m_pageCount = count;
}

void KExportImageTask::setFailureDetail(const QString &detail)
{
    QWriteLocker lock(&m_lock);
    if (m_detail.isEmpty())
        m_detail = detail;
}

bool KExportImageTask::failPage(int number, const QString &why)
{
    setFailureDetail(tr("Page %1 %2").arg(QString::number(number), why));
    return false;
}

void KExportImageTask::setCountText(const QString &text)
{
    QWriteLocker lock(&m_lock);
    m_countText = text;
}
