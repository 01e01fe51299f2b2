#include "kappsimplebutton.h"

#include <klitestyle.h>

#include <QPainter>

namespace kappessui {

SimpleButton::SimpleButton(const QString &text, QWidget *parent)
    : QPushButton(text, parent)
    , m_background(0x33, 0x70, 0xff)
    , m_text(Qt::white)
{
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    KDrawHelper::instance()->watch(this, this);
}

void SimpleButton::setFallbackColors(const QColor &background, const QColor &text, const QColor &border)
{
    m_background = background;
    m_text = text;
    m_border = border;
    update();
}

QStyle::State SimpleButton::state() const
{
    QStyle::State state;
    if (!isEnabled())
        return state;
    state |= QStyle::State_Enabled;
    if (isDown())
        state |= QStyle::State_Sunken;
    else if (underMouse())
        state |= QStyle::State_MouseOver;
    return state;
}

QColor SimpleButton::backgroundColor() const
{
    const QColor fallback = isEnabled() ? m_background : QColor(142, 142, 142, 128);
    QColor color = KDrawHelper::instance()->getColor(KDrawHelper::themeClasses(this), QStringLiteral("background"), state(), fallback);
    // Without a theme entry, hover lightens and pressing darkens the fallback.
    if (color == m_background && (state() & QStyle::State_Sunken))
        color = color.darker(115);
    else if (color == m_background && (state() & QStyle::State_MouseOver))
        color = color.lighter(110);
    return color;
}

QColor SimpleButton::textColor() const
{
    return KDrawHelper::instance()->getColor(KDrawHelper::themeClasses(this), QStringLiteral("text"), state(), m_text);
}

void SimpleButton::applyTheme()
{
    update();
}

QSize SimpleButton::sizeHint() const
{
    const int text = fontMetrics().horizontalAdvance(this->text());
    return QSize(qMax(KLiteStyle::dpiScaled(80), text + KLiteStyle::dpiScaled(32)), KLiteStyle::dpiScaled(30));
}

void SimpleButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor border = KDrawHelper::instance()->getColor(KDrawHelper::themeClasses(this), QStringLiteral("border"),
                                                            state(), m_border);
    painter.setPen(border.isValid() ? QPen(border, 1) : QPen(Qt::NoPen));
    painter.setBrush(backgroundColor());
    const qreal radius = KLiteStyle::dpiScaled(4);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.setPen(textColor());
    painter.drawText(rect(), Qt::AlignCenter, text());
}

} // namespace kappessui
