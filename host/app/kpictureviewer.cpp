#include "kpictureviewer.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace kpicture {

namespace {

QString readProblem(const QFileInfo &info)
{
    if (!info.exists())
        return info.isSymLink() ? QCoreApplication::translate("KPictureViewer", "is a link that leads nowhere") : QCoreApplication::translate("KPictureViewer", "no such file");
    if (info.isDir())
        return QCoreApplication::translate("KPictureViewer", "is a folder, not a picture");
    if (!info.isFile()) // pipes and devices: opening one could block
        return QCoreApplication::translate("KPictureViewer", "is not a regular file");
    return QString();
}

QImage::Format viewFormat(const QImage &image)
{
    return image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}

} // namespace

QString load(const QString &path, QImage *picture)
{
    *picture = QImage();
    const QString problem = readProblem(QFileInfo(path));
    if (!problem.isEmpty())
        return problem;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QCoreApplication::translate("KPictureViewer", "cannot be read (%1)").arg(file.errorString());
    QImageReader reader(&file);
    if (!reader.canRead())
        return QCoreApplication::translate("KPictureViewer", "is not a picture this viewer reads");
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return QCoreApplication::translate("KPictureViewer", "is not a picture this viewer reads (no size)");
    if (qint64(size.width()) * size.height() > kMaxPixels)
        return QCoreApplication::translate("KPictureViewer", "is too large to show (%1 x %2 pixels; at most %3 million pixels)")
            .arg(size.width())
            .arg(size.height())
            .arg(kMaxPixels / 1000000);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return QCoreApplication::translate("KPictureViewer", "cannot be decoded (%1)").arg(reader.errorString());
    // A reader may deliver more than its header announced.
    if (qint64(image.width()) * image.height() > kMaxPixels)
        return QCoreApplication::translate("KPictureViewer", "is too large to show");
    const QImage::Format format = viewFormat(image);
    if (image.format() != format)
        image = std::move(image).convertToFormat(format);
    if (image.isNull())
        return QCoreApplication::translate("KPictureViewer", "cannot be held in memory");
    *picture = std::move(image);
    return QString();
}

int dotsPerInch(int dotsPerMeter)
{
    return dotsPerMeter > 0 ? int(std::lround(dotsPerMeter * 0.0254)) : 0;
}

} // namespace kpicture

namespace {

const QList<double> kZoomSteps = {0.05, 0.1, 0.125, 0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75, 1.0,
                                  1.5,  2,   3,     4,    6,       8,   12,      16};
constexpr double kMinScale = 1.0 / 64;
constexpr qint64 kBandBudget = qint64(256) << 20; // scaled bands kept, in bytes
constexpr int kBandHeight = 256;                   // device rows per band
const QColor kBackground(0x4a, 0x4a, 0x4a);

bool same(double a, double b)
{
    return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(a));
}

} // namespace

KPictureView::KPictureView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

void KPictureView::setPicture(const QImage &picture)
{
    dropBands();
    m_picture = picture;
    applyScale(fitScale(), true, QPointF());
}

double KPictureView::fitScale() const
{
    return fitScale(m_picture.size(), maximumViewportSize(), style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

double KPictureView::fitScale(const QSize &picture, const QSize &area, int scrollBarExtent)
{
    if (picture.isEmpty() || area.isEmpty())
        return 1.0;
    const double w = picture.width(), h = picture.height();
    const double whole = std::min({1.0, area.width() / w, area.height() / h});
    if (whole * w * 4 >= area.width())
        return whole;
    double byWidth = std::min(1.0, area.width() / w);
    if (h * byWidth > area.height())
        byWidth = std::min(1.0, std::max(1, area.width() - scrollBarExtent) / w);
    return byWidth;
}

void KPictureView::setScale(double scale)
{
    applyScale(scale, false, QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
}

void KPictureView::fit()
{
    applyScale(fitScale(), true, QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
}

void KPictureView::zoomIn()
{
    const auto next = std::find_if(kZoomSteps.begin(), kZoomSteps.end(),
                                   [this](double step) { return step > m_scale && !same(step, m_scale); });
    if (next != kZoomSteps.end())
        setScale(*next);
}

void KPictureView::zoomOut()
{
    double target = std::min(fitScale(), kMinScale * 4);
    for (double step : kZoomSteps) {
        if (step < m_scale && !same(step, m_scale))
            target = step;
    }
    if (target < m_scale)
        setScale(target);
}

QSize KPictureView::scaledSize() const
{
    return QSize(std::max(1, int(std::lround(m_picture.width() * m_scale))),
                 std::max(1, int(std::lround(m_picture.height() * m_scale))));
}

QPoint KPictureView::origin() const
{
    const QSize content = scaledSize();
    const QSize area = viewport()->size();
    return QPoint(content.width() < area.width() ? (area.width() - content.width()) / 2 : -horizontalScrollBar()->value(),
                  content.height() < area.height() ? (area.height() - content.height()) / 2
                                                   : -verticalScrollBar()->value());
}

QPointF KPictureView::pictureAt(const QPointF &point) const
{
    return (point - QPointF(origin())) / m_scale;
}

void KPictureView::updateScrollBars()
{
    const QSize content = m_picture.isNull() ? QSize() : scaledSize();
    const QSize area = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - area.width()));
    horizontalScrollBar()->setPageStep(area.width());
    horizontalScrollBar()->setSingleStep(40);
    verticalScrollBar()->setRange(0, std::max(0, content.height() - area.height()));
    verticalScrollBar()->setPageStep(area.height());
    verticalScrollBar()->setSingleStep(40);
}

void KPictureView::applyScale(double scale, bool fitted, const QPointF &anchor)
{
    scale = std::clamp(scale, std::min(kMinScale, fitScale()), kMaxScale);
    // Where the anchor lies in the picture, as a fraction, before the zoom changes.
    const QSize before = scaledSize();
    const QPoint offset = origin();
    const double fx = (anchor.x() - offset.x()) / before.width();
    const double fy = (anchor.y() - offset.y()) / before.height();
    const bool changed = !same(scale, m_scale);
    m_scale = scale;
    m_fitted = fitted;
    updateScrollBars();
    const QSize after = scaledSize();
    horizontalScrollBar()->setValue(int(std::lround(fx * after.width() - anchor.x())));
    verticalScrollBar()->setValue(int(std::lround(fy * after.height() - anchor.y())));
    viewport()->update();
    if (changed)
        emit scaleChanged(m_scale);
}

QImage KPictureView::rows(int y0, int y1) const
{
    return QImage(m_picture.constScanLine(y0), m_picture.width(), y1 - y0, m_picture.bytesPerLine(), m_picture.format());
}

void KPictureView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), kBackground);
    if (m_picture.isNull())
        return;
    const QPoint topLeft = origin();
    const QRect visible = QRect(topLeft, scaledSize()) & event->rect();
    if (visible.isEmpty())
        return;
    const qreal ratio = viewport()->devicePixelRatioF();
    if (m_scale * ratio < 1.0 && !same(m_scale * ratio, 1.0))
        paintBands(painter, visible, topLeft, ratio);
    else
        paintDirect(painter, visible, topLeft);
}

// Enlarged or at full size: the visible source rectangle, in views of at most kTileRows rows.
void KPictureView::paintDirect(QPainter &painter, const QRect &visible, const QPoint &origin)
{
    const int w = m_picture.width(), h = m_picture.height();
    const int x0 = std::clamp(int(std::floor((visible.left() - origin.x()) / m_scale)), 0, w - 1);
    const int x1 = std::clamp(int(std::ceil((visible.right() + 1 - origin.x()) / m_scale)), x0 + 1, w);
    const int y0 = std::clamp(int(std::floor((visible.top() - origin.y()) / m_scale)), 0, h - 1);
    const int y1 = std::clamp(int(std::ceil((visible.bottom() + 1 - origin.y()) / m_scale)), y0 + 1, h);
    const int pixelBytes = m_picture.depth() / 8;
    painter.setClipRect(visible);
    for (int top = y0; top < y1; top += kTileRows) {
        const int bottom = std::min(y1, top + kTileRows);
        const QImage tile(m_picture.constScanLine(top) + x0 * pixelBytes, x1 - x0, bottom - top,
                          m_picture.bytesPerLine(), m_picture.format());
        const QRectF target(origin.x() + x0 * m_scale, origin.y() + top * m_scale, (x1 - x0) * m_scale,
                            (bottom - top) * m_scale);
        if (same(m_scale, 1.0))
            painter.drawImage(target.topLeft(), tile);
        else
            painter.drawImage(target, tile);
    }
}

// Reduced: smoothly scaled bands at the device's resolution, made once per zoom.
void KPictureView::paintBands(QPainter &painter, const QRect &visible, const QPoint &origin, qreal ratio)
{
    const double deviceScale = m_scale * ratio;
    const int deviceHeight = std::max(1, int(std::lround(m_picture.height() * deviceScale)));
    const int bandRows = std::clamp(int((kTileRows - 2) * deviceScale), 1, kBandHeight);
    const int top = std::clamp(int(std::floor((visible.top() - origin.y()) * ratio)), 0, deviceHeight - 1);
    const int bottom = std::clamp(int(std::ceil((visible.bottom() + 1 - origin.y()) * ratio)), top + 1, deviceHeight);
    painter.setClipRect(visible);
    for (int index = top / bandRows; index <= (bottom - 1) / bandRows; ++index) {
        const QImage &image = band(index, deviceScale, bandRows);
        painter.drawImage(QPointF(origin.x(), origin.y() + index * bandRows / ratio), image);
    }
}

void KPictureView::dropBands()
{
    m_bands.clear();
    m_bandOrder.clear();
    m_bandBytes = 0;
}

const QImage &KPictureView::band(int index, double deviceScale, int bandRows)
{
    const qreal ratio = viewport()->devicePixelRatioF();
    if (!same(deviceScale, m_bandScale) || !same(ratio, m_bandRatio)) {
        dropBands();
        m_bandScale = deviceScale;
        m_bandRatio = ratio;
    }
    auto found = m_bands.find(index);
    if (found != m_bands.end()) {
        m_bandOrder.removeOne(index);
        m_bandOrder.append(index);
        return *found;
    }
    QImage image = scaledBand(index, deviceScale, bandRows);
    image.setDevicePixelRatio(ratio);
    while (!m_bandOrder.isEmpty() && m_bandBytes + image.sizeInBytes() > kBandBudget)
        m_bandBytes -= m_bands.take(m_bandOrder.takeFirst()).sizeInBytes();
    m_bandBytes += image.sizeInBytes();
    m_bandOrder.append(index);
    return *m_bands.insert(index, std::move(image));
}

// Device rows [index * bandRows, + bandRows) of the picture at the device scale, from a view
// of the source rows they cover.
QImage KPictureView::scaledBand(int index, double deviceScale, int bandRows) const
{
    const int w = m_picture.width(), h = m_picture.height();
    const int deviceWidth = std::max(1, int(std::lround(w * deviceScale)));
    const int deviceHeight = std::max(1, int(std::lround(h * deviceScale)));
    const int d0 = index * bandRows, d1 = std::min(deviceHeight, d0 + bandRows);
    const int y0 = std::clamp(int(std::floor(d0 / deviceScale)), 0, h - 1);
    const int y1 = std::clamp(int(std::ceil(d1 / deviceScale)), y0 + 1, h);
    QImage image = rows(y0, y1).scaled(deviceWidth, d1 - d0, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (image.constBits() == m_picture.constBits() + qsizetype(y0) * m_picture.bytesPerLine())
        image = image.copy(); // an unscaled view would outlive a replaced picture
    return image;
}

void KPictureView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    QScrollBar *bar = verticalScrollBar();
    // The end stays in view, also when a scroll bar appearing late takes rows away from it.
    const bool atEnd = bar->maximum() > 0 && bar->value() == bar->maximum();
    if (m_fitted)
        applyScale(fitScale(), true, QPointF());
    else
        updateScrollBars();
    if (atEnd)
        bar->setValue(bar->maximum());
}

void KPictureView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomIn();
        return;
    case Qt::Key_Minus:
        zoomOut();
        return;
    case Qt::Key_0:
        fit();
        return;
    case Qt::Key_1:
        setScale(1.0);
        return;
    case Qt::Key_Home:
        verticalScrollBar()->setValue(0);
        return;
    case Qt::Key_End:
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void KPictureView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int delta = event->angleDelta().y();
    if (delta != 0)
        applyScale(m_scale * std::pow(1.25, delta / 120.0), false, event->position());
    event->accept();
}

void KPictureView::scrollContentsBy(int, int)
{
    viewport()->update();
}

KPictureViewer::KPictureViewer(const QString &path, const QImage &picture, QWidget *parent)
    : QMainWindow(parent), m_path(path), m_view(new KPictureView(this)), m_status(new QLabel(this))
{
    setCentralWidget(m_view);
    statusBar()->addWidget(m_status, 1);
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                          : QRect(0, 0, 1024, 768);
    resize(std::min(1000, screen.width()), std::min(800, screen.height()));
    m_view->setPicture(picture);
    connect(m_view, &KPictureView::scaleChanged, this, &KPictureViewer::updateStatus);
    updateStatus();
    setWindowTitle(QCoreApplication::translate("KPictureViewer", "%1 - %2 x %3 pixels").arg(QFileInfo(path).fileName()).arg(picture.width()).arg(picture.height()));
    m_view->setFocus();
}

QString KPictureViewer::statusText() const
{
    const QImage &picture = m_view->picture();
    const int dpiX = kpicture::dotsPerInch(picture.dotsPerMeterX());
    const int dpiY = kpicture::dotsPerInch(picture.dotsPerMeterY());
    QString resolution = QCoreApplication::translate("KPictureViewer", "%1 dpi").arg(dpiX);
    if (dpiX == 0 || dpiY == 0)
        resolution = QCoreApplication::translate("KPictureViewer", "resolution unknown");
    else if (dpiX != dpiY)
        resolution = QCoreApplication::translate("KPictureViewer", "%1 x %2 dpi").arg(dpiX).arg(dpiY);
    const QString text = QCoreApplication::translate("KPictureViewer", "%1 x %2 pixels, %3, %4 %")
                             .arg(picture.width())
                             .arg(picture.height())
                             .arg(resolution)
                             .arg(std::lround(m_view->scale() * 100));
    return m_view->isFitted() ? text + QCoreApplication::translate("KPictureViewer", " (fit)") : text;
}

void KPictureViewer::updateStatus()
{
    m_status->setText(statusText());
}
