#include "kexportimagethread.h"

#include <kdocumentaccess.h>
#include <kxapplication.h>
#include <kxmainwindow.h>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QWidget>

namespace {

QByteArray encode(const QImage &image, const char *format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, quality))
        return QByteArray();
    return bytes;
}

bool isWhiteRow(const QImage &image, int y)
{
    const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
        if (row[x] != 0xFFFFFFFFu)
            return false;
    }
    return true;
}

QImage whiteCanvas(int width, int height)
{
    QImage canvas(width, height, QImage::Format_ARGB32);
    if (!canvas.isNull())
        canvas.fill(Qt::white);
    return canvas;
}

void setDrawingQuality(QPainter &painter)
{
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
}

} // namespace

KExportimageThread::KExportimageThread(QObject *parent)
    : QThread(parent)
{
}

KExportimageThread::~KExportimageThread()
{
    stopAndWait();
}

void KExportimageThread::setHostWindow(KxMainWindow *window)
{
    m_window = window;
}

void KExportimageThread::setPageRendererSource(std::function<KComPtr<IKPageRenderer>()> source)
{
    m_rendererSource = std::move(source);
}

void KExportimageThread::stop()
{
    std::unique_lock<std::shared_mutex> locker(m_lock);
    m_running = false;
}

bool KExportimageThread::isWanted() const
{
    std::shared_lock<std::shared_mutex> locker(m_lock);
    return m_running;
}

void KExportimageThread::stopAndWait()
{
    if (!isRunning())
        return;
    stop();
    wait();
}

bool KExportimageThread::exportDocument(const QString &component, const QString &outputPath)
{
    // Page preparation lets the interface work; a request arriving meanwhile is refused.
    if (m_preparing)
        return false;
    stopAndWait();
    {
        std::unique_lock<std::shared_mutex> locker(m_lock);
        m_running = true;
        m_component = component;
        m_outputPath = outputPath;
        m_pageFiles.clear();
    }
    // The pages go to a private folder: the output's folder is the user's and is never emptied.
    m_workDir = std::make_unique<QTemporaryDir>();
    if (!m_workDir->isValid() || !QDir().mkpath(QFileInfo(outputPath).absolutePath())) {
        stop();
        return false;
    }
    if (component.compare(QLatin1String("vyx"), Qt::CaseInsensitive) != 0) {
        stop();
        return false;
    }
    m_preparing = true;
    const bool prepared = preparePages() && isWanted();
    m_preparing = false;
    if (!prepared) {
        stop();
        return false;
    }
    start(QThread::InheritPriority);
    return true;
}

bool KExportimageThread::preparePages()
{
    KComPtr<IKPageRenderer> renderer;
    if (m_rendererSource)
        renderer = m_rendererSource();
    else if (auto *window = static_cast<KxMainWindow *>(m_window.data()))
        renderer = kdocumentaccess::writerPageRenderer(kdocumentaccess::activeWriterDocument(window));
    int pageCount = 0;
    if (!renderer || !kSucceeded(renderer->pageCount(&pageCount)) || pageCount < 1)
        return false;
    if (pageCount > MaxPages) {
        refuseLength();
        return false;
    }
    if (!savePages(renderer.get(), pageCount))
        return false;
    trimPageFiles();
    return true;
}

void KExportimageThread::refuseLength()
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("export tavro image"),
                    QStringLiteral("tavro image length out of range, please adjust less than 25 page doc!"),
                    QMessageBox::NoButton, qobject_cast<QWidget *>(parent()));
    box.addButton(QStringLiteral("OK(&O)"), QMessageBox::AcceptRole);
    box.exec();
}

bool KExportimageThread::savePages(IKPageRenderer *renderer, int pageCount)
{
    const QString folder = QDir::fromNativeSeparators(m_workDir->path());
    QStringList files;
    for (int n = 1; n <= pageCount && isWanted(); ++n) {
        if (KCoreApplication *app = KxApplication::coreApplication())
            app->processPendingUiWork();
        QThread::msleep(1);
        KComPtr<IKPage> page;
        if (!kSucceeded(renderer->page(n, page.put())) || !page)
            continue; // a page the host cannot give is left out
        const QString file = folder + QLatin1Char('/') + QString::number(n) + QStringLiteral(".png");
        if (kSucceeded(page->saveAsPng(file, PageDpi)))
            files << file;
    }
    std::unique_lock<std::shared_mutex> locker(m_lock);
    m_pageFiles = files;
    return !files.isEmpty();
}

void KExportimageThread::trimPageFiles()
{
    for (int i = 0; i < m_pageFiles.size(); ++i) {
        const QImage page(m_pageFiles.at(i));
        if (page.isNull())
            continue;
        trimPage(page, i == 0, i == m_pageFiles.size() - 1).save(m_pageFiles.at(i), "png");
    }
}

QImage KExportimageThread::trimPage(const QImage &page, bool first, bool last)
{
    const QImage argb = page.convertToFormat(QImage::Format_ARGB32);
    int lead = 0;
    while (lead < argb.height() && isWhiteRow(argb, lead))
        ++lead;
    int lastRow = lead == argb.height() ? -1 : argb.height() - 1;
    while (lastRow > lead && isWhiteRow(argb, lastRow))
        --lastRow;
    const int top = qMax(0, lead - (first ? KeptWhiteRowsAtEnds : KeptWhiteRows));
    const int bottom = qMin(argb.height() - 1, lastRow + (last ? KeptWhiteRowsAtEnds : KeptWhiteRows));
    const int bandHeight = qMax(0, bottom - top + 1);
    QImage trimmed = whiteCanvas(argb.width(), qMax(bandHeight, int(MinPageHeight)));
    if (bandHeight > 0 && !trimmed.isNull()) {
        QPainter painter(&trimmed);
        setDrawingQuality(painter);
        painter.drawImage(QPoint(0, 0), argb, QRect(0, top, argb.width(), bandHeight));
    }
    return trimmed;
}

void KExportimageThread::run()
{
    bool ok = false;
    QString output;
    {
        std::shared_lock<std::shared_mutex> locker(m_lock);
        output = m_outputPath;
        ok = !m_pageFiles.isEmpty() && !output.isEmpty();
    }
    if (ok)
        ok = compose();
    {
        std::unique_lock<std::shared_mutex> locker(m_lock);
        if (!m_running)
            return; // stopped: nobody waits for an answer
        m_running = false;
    }
    emit finishedExportImage(ok);
}

bool KExportimageThread::compose()
{
    QList<QImage> pages;
    for (const QString &file : qAsConst(m_pageFiles)) {
        QImage page(file);
        if (!page.isNull())
            pages << page; // a page that cannot be read is left out
        if (!isWanted())
            return false;
    }
    const QImage picture = stackPages(pages);
    if (picture.isNull() || !isWanted())
        return false;
    const QByteArray bytes = encodeBounded(picture);
    if (bytes.isEmpty() || !isWanted())
        return false;
    // Written whole or not at all: a failed or stopped run leaves the previous picture.
    QSaveFile file(m_outputPath);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QImage KExportimageThread::stackPages(const QList<QImage> &pages)
{
    int width = 0;
    int height = 0;
    for (const QImage &page : pages) {
        width = qMax(width, page.width());
        height += page.height();
    }
    if (width <= 0 || height <= 0)
        return QImage();
    QImage picture = whiteCanvas(width, height);
    if (picture.isNull())
        return picture;
    QPainter painter(&picture);
    setDrawingQuality(painter);
    int y = 0;
    for (int i = 0; i < pages.size(); ++i) {
        const QImage &page = pages.at(i);
        const int x = i == pages.size() - 1 ? 0 : (width - page.width()) / 2;
        painter.drawImage(QPoint(x, y), page);
        y += page.height();
    }
    return picture;
}

QByteArray KExportimageThread::encodeBounded(const QImage &picture)
{
    const QByteArray png = encode(picture, "png", PngQuality);
    if (png.isEmpty() || png.size() <= TargetSize)
        return png;
    // The picture is opaque: without the alpha channel a quarter of the bytes go.
    const QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
    if (png.size() <= RetrySize) {
        const QByteArray strong = encode(opaque, "png", 0);
        if (!strong.isEmpty() && strong.size() <= TargetSize)
            return strong;
    }
    QByteArray jpeg;
    for (int quality = 80; quality >= 20; quality -= 20) {
        jpeg = encode(opaque, "jpg", quality);
        if (jpeg.isEmpty() || jpeg.size() < TargetSize)
            break;
    }
    return jpeg;
}
