#include "kexportbutton.h"

#include <QGraphicsDropShadowEffect>
#include <QMouseEvent>
#include <QPainter>

using namespace kexportwidgets;

KExportButton::KExportButton(const QString &text, const QString &background, const QString &border,
                             const QString &textColor, QWidget *parent)
    : QPushButton(text, parent)
{
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    setFont(uiFont(12));
    setColors(background, border, textColor);
    setShadow(true);
}

KExportButton *KExportButton::filled(const QString &text, QWidget *parent)
{
    return new KExportButton(text, QStringLiteral("#4A90E2;#64A3F3;#4585D7"), QStringLiteral("#4A90E2;#64A3F3;#4585D7"),
                             QStringLiteral("#ffffff"), parent);
}

KExportButton *KExportButton::outlined(const QString &text, QWidget *parent)
{
    return new KExportButton(text, QStringLiteral("#ffffff;#f5f5f5;#eaeaea"), QStringLiteral("#cccccc"),
                             QStringLiteral("#424242"), parent);
}

void KExportButton::setColors(const QString &background, const QString &border, const QString &textColor)
{
    m_background = ColorTriple::parse(background);
    m_border = ColorTriple::parse(border);
    m_text = ColorTriple::parse(textColor);
    update();
}

void KExportButton::setShadow(bool on)
{
    if (!on) {
        setGraphicsEffect(nullptr);
        return;
    }
    auto *shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(QColor(0, 0, 0, 30));
    shadow->setBlurRadius(scaled(6));
    shadow->setOffset(0, scaled(1));
    setGraphicsEffect(shadow);
}

QColor KExportButton::currentBackground() const
{
    return m_background.forState(m_hovered, isDown());
}

QColor KExportButton::currentBorder() const
{
    return m_border.forState(m_hovered, isDown());
}

QColor KExportButton::currentText() const
{
    return m_text.forState(m_hovered, isDown());
}

void KExportButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(isEnabled() ? 1.0 : 0.5);
    const int border = std::max(1, scaled(1));
    const qreal half = border / 2.0;
    p.setPen(QPen(currentBorder(), border));
    p.setBrush(currentBackground());
    p.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), scaled(2), scaled(2));

    const int iconSize = icon().isNull() ? 0 : scaled(16);
    const int gap = iconSize ? scaled(6) : 0;
    const QFontMetrics metrics(font());
    const QString shown = text().remove(QLatin1Char('&'));
    const int textWidth = metrics.horizontalAdvance(shown);
    int x = (width() - iconSize - gap - textWidth) / 2;
    if (iconSize) {
        icon().paint(&p, QRect(x, (height() - iconSize) / 2, iconSize, iconSize));
        x += iconSize + gap;
    }
    p.setPen(currentText());
    p.setFont(font());
    p.drawText(QRect(x, 0, textWidth + 1, height()), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextShowMnemonic, text());
}

void KExportButton::enterEvent(QEvent *event)
{
    m_hovered = true;
    QPushButton::enterEvent(event);
    update();
}

void KExportButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    QPushButton::leaveEvent(event);
    update();
}

KExportLabel::KExportLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    setFont(uiFont(12));
    applyColor();
}

void KExportLabel::setColors(const QColor &normal, const QColor &hover)
{
    m_normal = normal;
    m_hover = hover;
    applyColor();
}

void KExportLabel::applyColor()
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, m_hovered ? m_hover : m_normal);
    setPalette(pal);
}

void KExportLabel::enterEvent(QEvent *event)
{
    m_hovered = true;
    applyColor();
    QLabel::enterEvent(event);
}

void KExportLabel::leaveEvent(QEvent *event)
{
    m_hovered = false;
    m_pressed = false;
    applyColor();
    QLabel::leaveEvent(event);
}

void KExportLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

// Only a release over the label that follows a press on it counts, as with a button.
void KExportLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->pos());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click && isEnabled())
        emit clicked();
}
