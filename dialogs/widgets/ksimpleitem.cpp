#include "ksimpleitem.h"

#include "kexportwidgetstyle.h"

#include <QPainter>

using namespace kexportwidgets;

KSimpleItem::KSimpleItem(const QPixmap &picture, const QString &caption, QWidget *parent)
    : KExportClickable(parent)
    , m_picture(picture)
    , m_caption(caption)
{
    setFont(uiFont(12));
}

void KSimpleItem::setFramePictures(const QPixmap &selected, const QPixmap &hover)
{
    m_selectedFrame = selected;
    m_hoverFrame = hover;
    update();
}

void KSimpleItem::setSelected(bool selected)
{
    m_selected = selected;
    update();
}

void KSimpleItem::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int margin = scaled(6);
    const int captionHeight = QFontMetrics(font()).height() + scaled(4);
    const QRect pictureArea = rect().adjusted(margin, margin, -margin, -margin - captionHeight);
    if (!m_picture.isNull() && pictureArea.isValid()) {
        const QSize shown = m_picture.size().scaled(pictureArea.size(), Qt::KeepAspectRatio);
        painter.drawPixmap(QRect(QPoint(0, 0), shown).translated(pictureArea.center() - QRect(QPoint(0, 0), shown).center()),
                           m_picture);
    }
    painter.setPen(QColor(0x66, 0x66, 0x66));
    painter.drawText(QRect(0, height() - margin - captionHeight, width(), captionHeight), Qt::AlignCenter, m_caption);
    paintFrame(painter);
}

void KSimpleItem::paintFrame(QPainter &painter)
{
    if (!m_selected && !isHovered())
        return;
    const QPixmap &frame = m_selected ? m_selectedFrame : m_hoverFrame;
    if (!frame.isNull()) {
        painter.drawPixmap(rect(), frame);
        return;
    }
    painter.setPen(QPen(m_selected ? QColor(0x4a, 0x90, 0xe2) : QColor(0xbb, 0xcd, 0xeb), scaled(m_selected ? 2 : 1)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), scaled(4), scaled(4));
}
