#include "klitelineedit.h"

#include "klitestyle.h"

#include <algorithm>

KLiteLineEdit::KLiteLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    QFont f(QStringLiteral("Microsoft YaHei"));
    f.setPixelSize(KLiteStyle::dpiScaled(12));
    setFont(f);
    setAttribute(Qt::WA_Hover);
    setMinimumHeight(KLiteStyle::dpiScaled(28));
    applyLook();
}

void KLiteLineEdit::setFrameless(bool frameless)
{
    m_frameless = frameless;
    applyLook();
}

void KLiteLineEdit::enterEvent(QEvent *event)
{
    m_hovered = true;
    QLineEdit::enterEvent(event);
    update();
}

void KLiteLineEdit::leaveEvent(QEvent *event)
{
    m_hovered = false;
    QLineEdit::leaveEvent(event);
    update();
}

// A style sheet rather than painting, so the caret, selection and placeholder stay Qt's.
void KLiteLineEdit::applyLook()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Text, QColor(0x42, 0x42, 0x42));
    pal.setColor(QPalette::PlaceholderText, QColor(0xaa, 0xaa, 0xaa));
    setPalette(pal);
    const int pad = KLiteStyle::dpiScaled(8);
    if (m_frameless) {
        setStyleSheet(QStringLiteral("QLineEdit{border:none;background:transparent;padding:0 %1px;}")
                          .arg(pad));
        return;
    }
    const int border = std::max(1, KLiteStyle::dpiScaled(1));
    const int radius = KLiteStyle::dpiScaled(2);
    setStyleSheet(QStringLiteral("QLineEdit{border:%1px solid #cccccc;border-radius:%2px;background:#ffffff;"
                                 "padding:0 %3px;}"
                                 "QLineEdit:hover,QLineEdit:focus{border-color:#4a90e2;}"
                                 "QLineEdit:disabled{background:#f5f5f5;color:#aaaaaa;}")
                      .arg(border).arg(radius).arg(pad));
}
