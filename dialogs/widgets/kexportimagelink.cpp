#include "kexportimagelink.h"

#include <QFontMetrics>
#include <QPainter>

using namespace kexportwidgets;

KExportImageLink::KExportImageLink(const QString &text, QWidget *parent)
    : KExportClickable(parent)
    , m_text(text)
    , m_link(ColorTriple::parse(QStringLiteral("#4A90E2;#64A3F3;#4585D7")))
{
    setFont(uiFont(12));
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
    return m_link.forState(isHovered(), isPressed());
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

KExportImageLinkEx::KExportImageLinkEx(const QString &plain, const QString &link, QWidget *parent)
    : KExportImageLink(link, parent)
    , m_plain(plain)
{
    setLinkColors(QStringLiteral("#5087E5,#7CABF2,#3966BF"));
}
