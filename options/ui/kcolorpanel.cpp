#include "kcolorpanel.h"

#include "kcolordialog.h"
#include "kcolormodel.h"
#include "koptionsui.h"

#include <klitestyle.h>

#include <QGraphicsDropShadowEffect>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

const int kShadowBlur = 15;

QColor openColorDialog(const QColor &initial, QWidget *parent)
{
    return KColorDialog::getColor(initial, parent, KColorDialog::tr("Colors"));
}

QFont panelFont()
{
    QFont font(QString::fromLatin1("Microsoft YaHei")); // not a literal: Qt's font cache outlives the module
    font.setPixelSize(KLiteStyle::dpiScaled(12));
    return font;
}

} // namespace

KColorPanel::KColorPanel(QWidget *parent, const QColor &autoColor, const QList<QColor> &standard,
                         const QList<QColor> &recent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint)
    , m_auto(autoColor)
    , m_standard(standard.mid(0, kcolor::MaxRecentColors))
    , m_recent(recent.mid(0, kcolor::MaxRecentColors))
    , m_colorDialog(openColorDialog)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    auto *shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(QColor(0, 0, 0, 51));
    shadow->setBlurRadius(KLiteStyle::dpiScaled(kShadowBlur));
    shadow->setOffset(0, KLiteStyle::dpiScaled(2));
    setGraphicsEffect(shadow);
    const QMargins m = shadowMargins();
    setFixedSize(KLiteStyle::dpiScaled(QSize(291, 218)) + QSize(m.left() + m.right(), m.top() + m.bottom()));
    layoutItems();
}

QMargins KColorPanel::shadowMargins() const
{
    const int blur = KLiteStyle::dpiScaled(kShadowBlur);
    return QMargins(blur, blur, blur, blur + KLiteStyle::dpiScaled(2));
}

QRect KColorPanel::contentRect() const
{
    return rect().marginsRemoved(shadowMargins());
}

void KColorPanel::layoutItems()
{
    const QRect content = contentRect().marginsRemoved(KLiteStyle::dpiScaled(QMargins(16, 10, 20, 10)));
    const int cell = KLiteStyle::dpiScaled(15);
    const int pitch = cell + KLiteStyle::dpiScaled(9);
    const QRect panel = contentRect();
    m_items.clear();
    m_items.append({Item::Auto, QRect(content.left(), content.top(), content.width(), KLiteStyle::dpiScaled(26)),
                    m_auto, Item::Normal});
    auto addRow = [&](const QList<QColor> &colors, int top) {
        for (int i = 0; i < colors.size(); ++i) {
            m_items.append({Item::Cell, QRect(content.left() + i * pitch, panel.top() + KLiteStyle::dpiScaled(top), cell, cell),
                            colors[i], Item::Normal});
        }
    };
    addRow(m_standard, 82);
    addRow(m_recent, 144);
    const int otherHeight = KLiteStyle::dpiScaled(28);
    m_items.append({Item::Other, QRect(content.left(), content.bottom() + 1 - otherHeight, content.width(), otherHeight),
                    QColor(), Item::Normal});
    setCurrentColor(m_current);
}

void KColorPanel::setCurrentColor(const QColor &color)
{
    m_current = color;
    bool found = false;
    for (Item &item : m_items) {
        const bool match = !found && item.kind != Item::Other && color.isValid() && item.color == color;
        found = found || match;
        item.state = match ? Item::Selected : Item::Normal;
    }
    update();
}

int KColorPanel::itemAt(const QPoint &pos) const
{
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items[i].rect.contains(pos))
            return i;
    }
    return -1;
}

void KColorPanel::choose(QColor color, int chosenItem)
{
    if (!color.isValid())
        return;
    m_recent = kcolor::addRecentColor(m_recent, color);
    layoutItems(); // rebuilds the recent row and selects by colour
    // "Auto" and the standard row keep their places: the clicked one stays selected even
    // when another item holds the same colour.
    // A colour from the full dialog selects nothing.
    if (chosenItem <= m_standard.size()) {
        for (Item &item : m_items)
            item.state = Item::Normal;
        if (chosenItem >= 0)
            m_items[chosenItem].state = Item::Selected;
    }
    m_current = color;
    emit colorChanged(color);
}

void KColorPanel::mouseMoveEvent(QMouseEvent *event)
{
    const int hit = itemAt(event->pos());
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items[i].state != Item::Selected)
            m_items[i].state = i == hit ? Item::Hovered : Item::Normal;
    }
    update();
}

void KColorPanel::leaveEvent(QEvent *)
{
    for (Item &item : m_items) {
        if (item.state == Item::Hovered)
            item.state = Item::Normal;
    }
    update();
}

void KColorPanel::mouseReleaseEvent(QMouseEvent *event)
{
    const int hit = itemAt(event->pos());
    if (hit < 0) {
        // A popup closes on a click outside it; inside, only items act.
        if (!rect().contains(event->pos()))
            hide();
        return;
    }
    if (m_items[hit].kind == Item::Other) {
        hide();
        const QColor color = m_colorDialog(m_current, parentWidget());
        if (color.isValid()) // cancelled: the selection stays
            choose(color, -1);
        return;
    }
    choose(m_items[hit].color, hit);
    hide();
}

void KColorPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF panel = QRectF(contentRect());
    const qreal radius = KLiteStyle::dpiScaled(4.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(panel, radius, radius);

    painter.setFont(panelFont());
    painter.setPen(QColor(0x33, 0x33, 0x33));
    const int left = contentRect().left() + KLiteStyle::dpiScaled(16);
    const int headingHeight = KLiteStyle::dpiScaled(18);
    painter.drawText(QRect(left, contentRect().top() + KLiteStyle::dpiScaled(82 - 24), width(), headingHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, tr("Standard Color"));
    painter.drawText(QRect(left, contentRect().top() + KLiteStyle::dpiScaled(144 - 24), width(), headingHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, tr("Recent Color"));
    for (const Item &item : m_items)
        paintItem(painter, item);
}

void KColorPanel::paintItem(QPainter &painter, const Item &item) const
{
    painter.save();
    if (item.kind == Item::Cell) {
        if (item.state != Item::Normal) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QColor(0xCD, 0xCD, 0xCD));
            painter.drawRoundedRect(QRectF(item.rect.adjusted(-2, -2, 1, 1)).adjusted(0.5, 0.5, 0.5, 0.5), 1, 1);
        }
        painter.fillRect(item.rect, item.color);
        painter.setPen(item.state != Item::Normal ? QColor(Qt::white) : QColor(0xE3, 0xE5, 0xE7));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(item.rect).adjusted(0.5, 0.5, -0.5, -0.5));
        painter.restore();
        return;
    }
    if (item.state != Item::Normal) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xEA, 0xEA, 0xEA));
        painter.drawRoundedRect(item.rect, 2, 2);
    }
    const int x = item.rect.left() + KLiteStyle::dpiScaled(10);
    const int side = KLiteStyle::dpiScaled(item.kind == Item::Auto ? 14 : 16);
    const QRect mark(x, item.rect.center().y() - side / 2 + 1, side, side);
    int textLeft;
    QString text;
    if (item.kind == Item::Auto) {
        painter.fillRect(mark, item.color);
        painter.setPen(QColor(0xE3, 0xE5, 0xE7));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(mark).adjusted(0.5, 0.5, -0.5, -0.5));
        textLeft = mark.right() + 1 + KLiteStyle::dpiScaled(6);
        text = tr("Auto");
    } else {
        koptionsui::icon(QStringLiteral("morecolor")).paint(&painter, mark);
        textLeft = item.rect.left() + KLiteStyle::dpiScaled(32);
        text = tr("Other Color(M)...");
    }
    painter.setPen(QColor(0x33, 0x33, 0x33));
    painter.drawText(QRect(textLeft, item.rect.top(), item.rect.right() - textLeft, item.rect.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.restore();
}
