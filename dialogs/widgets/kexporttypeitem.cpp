#include "kexporttypeitem.h"

#include "kexportwidgetstyle.h"

#include <QPainter>
#include <QPainterPath>

using namespace kexportwidgets;

namespace {
const QColor kCaption(0x66, 0x66, 0x66);
const QColor kChecked(0x4a, 0x90, 0xe2);
const QColor kHover(0xa6, 0xc8, 0xf0);
const QColor kBorder(0xe0, 0xe0, 0xe0);
const int kTick = 20;
const int kRadius = 4;

// The frame and, when checked, the tick in its bottom-right corner.
void paintFrame(QPainter &p, const QRect &rect, bool checked, bool hovered, int tick)
{
    const QColor color = checked ? kChecked : hovered ? kHover : kBorder;
    const qreal half = 0.5 * std::max(1, scaled(1));
    QPen pen(color, std::max(1, scaled(1)));
    p.setPen(pen);
    p.setBrush(Qt::white);
    const qreal r = scaled(kRadius);
    p.drawRoundedRect(QRectF(rect).adjusted(half, half, -half, -half), r, r);
    if (!checked)
        return;
    const int t = scaled(tick);
    const QRect corner(rect.right() + 1 - t, rect.bottom() + 1 - t, t, t);
    icon(QStringLiteral("corner-tick")).paint(&p, corner);
}
} // namespace

KExportTypeItem::KExportTypeItem(Type type, QWidget *parent)
    : QRadioButton(parent)
    , m_type(type)
{
    setText(type == EachPage ? tr("Each Page") : tr("Long pictrue"));
    setFixedSize(scaled(98), scaled(102));
    setCursor(Qt::PointingHandCursor);
    setFont(uiFont(12));
}

bool KExportTypeItem::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

void KExportTypeItem::enterEvent(QEvent *event)
{
    m_hovered = true;
    QRadioButton::enterEvent(event);
    update();
}

void KExportTypeItem::leaveEvent(QEvent *event)
{
    m_hovered = false;
    QRadioButton::leaveEvent(event);
    update();
}

void KExportTypeItem::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    paintFrame(p, rect(), isChecked(), m_hovered, kTick);

    const int top = scaled(8);
    const int captionHeight = scaled(18);
    p.setPen(isEnabled() ? kCaption : kBorder);
    p.setFont(font());
    p.drawText(QRect(0, top, width(), captionHeight), Qt::AlignCenter, text());

    const QSize picture(scaled(68), scaled(66));
    const QRect pictureRect(QPoint((width() - picture.width()) / 2, top + captionHeight + scaled(4)), picture);
    const QString name = m_type == EachPage ? QStringLiteral("eachpage") : QStringLiteral("longpicture");
    kexportwidgets::icon(name).paint(&p, pictureRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
}

KRadioItem::KRadioItem(const QVariant &data, const QString &caption, QWidget *parent)
    : KRadioItem(data, QIcon(), caption, parent)
{
}

KRadioItem::KRadioItem(const QVariant &data, const QIcon &itemIcon, const QString &caption, QWidget *parent)
    : QRadioButton(caption, parent)
    , m_data(data)
{
    setIcon(itemIcon);
    setCursor(Qt::PointingHandCursor);
    setFont(uiFont(12));
}

QSize KRadioItem::sizeHint() const
{
    const int textWidth = QFontMetrics(font()).horizontalAdvance(text());
    const int iconWidth = icon().isNull() ? 0 : scaled(16) + scaled(6);
    return QSize(textWidth + iconWidth + scaled(2 * 12), scaled(28));
}

bool KRadioItem::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

void KRadioItem::enterEvent(QEvent *event)
{
    m_hovered = true;
    QRadioButton::enterEvent(event);
    update();
}

void KRadioItem::leaveEvent(QEvent *event)
{
    m_hovered = false;
    QRadioButton::leaveEvent(event);
    update();
}

void KRadioItem::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    paintFrame(p, rect(), isChecked(), m_hovered, 14);

    const int iconSize = icon().isNull() ? 0 : scaled(16);
    const int gap = iconSize ? scaled(6) : 0;
    const int textWidth = QFontMetrics(font()).horizontalAdvance(text());
    int x = (width() - iconSize - gap - textWidth) / 2;
    if (iconSize) {
        icon().paint(&p, QRect(x, (height() - iconSize) / 2, iconSize, iconSize));
        x += iconSize + gap;
    }
    p.setPen(!isEnabled() ? kBorder : isChecked() ? kChecked : QColor(0x42, 0x42, 0x42));
    p.setFont(font());
    p.drawText(QRect(x, 0, width() - x, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
}
