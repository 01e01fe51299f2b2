#include "kpreviewpage.h"

#include "koptionsui.h"
#include "watermarkpainter.h"

#include <klitestyle.h>

#include <QPainter>

namespace {
const int kMargin = 10;

QImage renderPreview(QImage page, const WatermarkSetting &setting, const QSize &target)
{
    paintWatermark(page, &setting);
    if (target.isEmpty())
        return QImage();
    return page.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
} // namespace

KPreviewPage::KPreviewPage(QWidget *parent)
    : QWidget(parent)
    , m_page(koptionsui::previewTemplate())
{
    m_pool.setMaxThreadCount(1);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

KPreviewPage::~KPreviewPage()
{
    // A render in flight holds copies only; it must end before the page it reports to.
    m_pool.clear();
    m_pool.waitForDone();
}

QRect KPreviewPage::fitRect(const QRect &bounds, const QSize &size, int margin)
{
    const QRect area = bounds.adjusted(margin, margin, -margin, -margin);
    if (area.isEmpty() || size.isEmpty())
        return QRect();
    QSize fitted = size.scaled(area.size(), Qt::KeepAspectRatio);
    fitted = fitted.boundedTo(area.size()).expandedTo(QSize(1, 1));
    return QRect(area.left() + (area.width() - fitted.width()) / 2,
                 area.top() + (area.height() - fitted.height()) / 2, fitted.width(), fitted.height());
}

QRect KPreviewPage::targetRect() const
{
    return fitRect(rect(), m_page.size(), KLiteStyle::dpiScaled(kMargin));
}

void KPreviewPage::setPageImage(const QImage &page)
{
    m_page = page.isNull() ? koptionsui::previewTemplate() : page;
    requestRender();
}

void KPreviewPage::setWatermark(const WatermarkSetting &setting)
{
    m_setting = setting;
    requestRender();
}

void KPreviewPage::resizeEvent(QResizeEvent *)
{
    requestRender();
}

void KPreviewPage::requestRender()
{
    ++m_generation;
    if (m_busy) {
        m_pending = true;
        return;
    }
    startRender();
}

void KPreviewPage::startRender()
{
    m_busy = true;
    m_pending = false;
    const quint64 generation = m_generation;
    const QImage page = m_page;
    const WatermarkSetting setting = m_setting;
    const QSize target = targetRect().size();
    m_pool.start([this, generation, page, setting, target] {
        const QImage preview = renderPreview(page, setting, target);
        QMetaObject::invokeMethod(
            this, [this, generation, preview] { onRendered(generation, preview); }, Qt::QueuedConnection);
    });
}

void KPreviewPage::onRendered(quint64 generation, const QImage &preview)
{
    m_busy = false;
    // An older render is still shown while a newer one is made: better than a blank page.
    m_preview = preview;
    m_readyGeneration = generation;
    update();
    if (m_pending)
        startRender();
    else if (isReady())
        emit previewUpdated();
}

void KPreviewPage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xF3, 0xF4, 0xF6));
    const QRect target = targetRect();
    if (!m_preview.isNull()) {
        // Until the render for a new size arrives the last one is stretched into place.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_preview);
        painter.setPen(QColor(0xE3, 0xE5, 0xE7));
        painter.drawRect(target.adjusted(-1, -1, 0, 0));
        return;
    }
    QFont font(QString::fromLatin1("Microsoft YaHei")); // not a literal: Qt's font cache outlives the module
    font.setPixelSize(KLiteStyle::dpiScaled(12));
    painter.setFont(font);
    painter.setPen(QColor(0x99, 0x99, 0x99));
    painter.drawText(rect(), Qt::AlignCenter, tr("loding preview page"));
}
