#include "klitespinbox.h"

#include "kdrawhelper.h"
#include "klitestyle.h"

#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionSpinBox>

namespace {
const char kThemeClass[] = "KLiteSpinBox";
const int kArrowWidth = 20;
} // namespace

KLiteSpinBox::KLiteSpinBox(QWidget *parent)
    : QSpinBox(parent)
{
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setFrame(false);
    applyTheme();
    connect(KDrawHelper::instance(), &KDrawHelper::themeChanged, this, &KLiteSpinBox::applyTheme);
}

void KLiteSpinBox::setFixedBoxSize(const QSize &size)
{
    setFixedSize(KLiteStyle::dpiScaled(size));
}

void KLiteSpinBox::applyTheme()
{
    const int pad = KLiteStyle::dpiScaled(8);
    // The arrows are painted here; the line edit must leave their column free.
    setStyleSheet(QStringLiteral("QSpinBox{background:transparent;border:none;padding-left:%1px;"
                                 "padding-right:%2px;font-size:%3px;}")
                      .arg(pad)
                      .arg(KLiteStyle::dpiScaled(kArrowWidth))
                      .arg(KLiteStyle::dpiScaled(12)));
    update();
}

void KLiteSpinBox::changeEvent(QEvent *event)
{
    QSpinBox::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
}

void KLiteSpinBox::paintEvent(QPaintEvent *)
{
    KDrawHelper *helper = KDrawHelper::instance();
    const QStringList classes{QString::fromLatin1(kThemeClass)};
    QStyle::State state = isEnabled() ? QStyle::State_Enabled : QStyle::State_None;
    if (hasFocus() || underMouse())
        state |= QStyle::State_MouseOver;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = KLiteStyle::dpiScaled(2.0);
    painter.setPen(helper->getColor(classes, QStringLiteral("border"), state, QColor(0xcdcdcd)));
    painter.setBrush(helper->getColor(classes, QStringLiteral("background"), state, Qt::white));
    painter.drawRoundedRect(box, radius, radius);

    const int arrow = KLiteStyle::dpiScaled(kArrowWidth);
    const int icon = KLiteStyle::dpiScaled(10);
    const QRect column(width() - arrow, 0, arrow, height());
    const QRect up(column.left() + (arrow - icon) / 2, column.center().y() - icon, icon, icon);
    const QRect down(up.left(), column.center().y() + 1, icon, icon);
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    helper->getIcon(QStringLiteral("arrow-up")).paint(&painter, up, Qt::AlignCenter, mode);
    helper->getIcon(QStringLiteral("arrow-down")).paint(&painter, down, Qt::AlignCenter, mode);
}

void KLiteSpinBox::mousePressEvent(QMouseEvent *event)
{
    const int arrow = KLiteStyle::dpiScaled(kArrowWidth);
    if (event->button() != Qt::LeftButton || event->pos().x() < width() - arrow || !isEnabled()) {
        QSpinBox::mousePressEvent(event);
        return;
    }
    stepBy(event->pos().y() < height() / 2 ? 1 : -1);
    event->accept();
}
