#include "kexportimagelink.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

using namespace kexportwidgets;

KExportImageLink::KExportImageLink(const QString &text, QWidget *parent)
    : QWidget(parent)
    , m_text(text)
    , m_link(ColorTriple::parse(QStringLiteral("#4A90E2;#64A3F3;#4585D7")))
{
    setCursor(Qt::PointingHandCursor);
    setFont(uiFont(12));
    setAttribute(Qt::WA_Hover);
}

void KExportImageLink::setText(const QString &text)
{
    m_text = text;
    updateGeometry();
    update();
}

void KExportImageLink::setLinkColors(const QString &triple)
{
    m_link = ColorTriple::parse(QString(triple).replace(QLatin1Char(','), QLatin1Char(';')));
    update();
}

QColor KExportImageLink::currentLinkColor() const
{
    return m_link.forState(m_hovered, m_pressed);
}

QSize KExportImageLink::sizeHint() const
{
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(plainText() + m_text) + 2, metrics.height());
}

void KExportImageLink::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const int baseline = (height() - metrics.height()) / 2 + metrics.ascent();
    const QString plain = plainText();
    painter.setPen(m_plainColor);
    painter.drawText(0, baseline, plain);
    painter.setPen(currentLinkColor());
    painter.drawText(metrics.horizontalAdvance(plain), baseline, m_text);
}

void KExportImageLink::enterEvent(QEvent *event)
{
    m_hovered = true;
    update();
    QWidget::enterEvent(event);
}

void KExportImageLink::leaveEvent(QEvent *event)
{
    m_hovered = false;
    m_pressed = false;
    update();
    QWidget::leaveEvent(event);
}

void KExportImageLink::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    update();
}

void KExportImageLink::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->pos());
    m_pressed = false;
    update();
    if (click && isEnabled())
        emit clicked();
}

KExportImageLinkEx::KExportImageLinkEx(const QString &plain, const QString &link, QWidget *parent)
    : KExportImageLink(link, parent)
    , m_plain(plain)
{
    setLinkColors(QStringLiteral("#5087E5,#7CABF2,#3966BF"));
}
