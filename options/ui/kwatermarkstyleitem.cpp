#include "kwatermarkstyleitem.h"

#include "kcolormodel.h"
#include "kcolorpanel.h"
#include "koptionsui.h"

#include <kdrawhelper.h>
#include <kexportpictruemgr.h>
#include <klitestyle.h>

#include <QMouseEvent>
#include <QPainter>

KWatermarkStyleItem::KWatermarkStyleItem(const QString &iconName, QWidget *parent)
    : QAbstractButton(parent)
    , m_iconName(iconName)
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
    connect(this, &QAbstractButton::toggled, this, &KWatermarkStyleItem::selecteStateChanged);
}

QSize KWatermarkStyleItem::sizeHint() const
{
    return KLiteStyle::dpiScaled(QSize(88, 60));
}

void KWatermarkStyleItem::setSelected(bool selected)
{
    setChecked(selected);
}

void KWatermarkStyleItem::nextCheckState()
{
    // A click selects; only another tile's selection clears this one.
    if (!isChecked())
        setChecked(true);
}

void KWatermarkStyleItem::enterEvent(QEvent *)
{
    m_hovered = true;
    update();
}

void KWatermarkStyleItem::leaveEvent(QEvent *)
{
    m_hovered = false;
    update();
}

void KWatermarkStyleItem::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = KLiteStyle::dpiScaled(4.0);
    const bool marked = isChecked() || m_hovered;
    painter.setPen(QPen(marked ? QColor(0x6E, 0x9B, 0xEF) : QColor(0x97, 0x97, 0x97), 1));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    const QSize iconSize = KLiteStyle::dpiScaled(QSize(64, 48));
    const QRect iconRect(QPoint((width() - iconSize.width()) / 2, (height() - iconSize.height()) / 2), iconSize);
    koptionsui::icon(m_iconName).paint(&painter, iconRect);
    if (isChecked()) {
        const int tick = KLiteStyle::dpiScaled(16);
        koptionsui::icon(QStringLiteral("corner-tick")).paint(&painter, QRect(width() - tick, height() - tick, tick, tick));
    }
}

KColorCombobox::KColorCombobox(QWidget *parent)
    : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
}

QSize KColorCombobox::sizeHint() const
{
    return KLiteStyle::dpiScaled(QSize(290, 32));
}

void KColorCombobox::setColor(const QColor &color)
{
    m_color = color;
    update();
}

void KColorCombobox::showPanel()
{
    if (!m_panel) {
        m_panel = new KColorPanel(this, Qt::black, kcolor::standardColors(),
                                  KExportPictrueMgr::instance()->recentColors());
        m_panel->installEventFilter(this);
        connect(m_panel, &KColorPanel::colorChanged, this, &KColorCombobox::onColorChanged);
    }
    m_panel->setCurrentColor(m_color);
    const QMargins shadow = m_panel->shadowMargins();
    m_panel->move(mapToGlobal(rect().bottomLeft() + QPoint(0, 1)) - QPoint(shadow.left(), shadow.top()));
    m_panel->show();
    m_arrow = QStringLiteral("arrow-up");
    update();
}

void KColorCombobox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->pos())) {
        setDown(false);
        showPanel();
        return;
    }
    QAbstractButton::mouseReleaseEvent(event);
}

bool KColorCombobox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_panel && event->type() == QEvent::Hide) {
        m_arrow = QStringLiteral("arrow-down");
        update();
    }
    return QAbstractButton::eventFilter(watched, event);
}

void KColorCombobox::onColorChanged(const QColor &color)
{
    if (!color.isValid())
        return;
    m_color = color;
    update();
    emit colorChanged(color);
    if (m_panel)
        KExportPictrueMgr::instance()->setRecentColors(m_panel->recentColors());
}

void KColorCombobox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = KLiteStyle::dpiScaled(2.0);
    const bool hot = underMouse() || m_arrow == QLatin1String("arrow-up");
    painter.setPen(hot ? QColor(0x6E, 0x9B, 0xEF) : QColor(0xCD, 0xCD, 0xCD));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    const int pad = KLiteStyle::dpiScaled(8);
    const int arrow = KLiteStyle::dpiScaled(12);
    const QRect swatch(pad, pad, width() - 3 * pad - arrow, height() - 2 * pad);
    painter.fillRect(swatch, QColor(m_color.rgb()));
    painter.setPen(QColor(0xE3, 0xE5, 0xE7));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(swatch).adjusted(0.5, 0.5, -0.5, -0.5));
    KDrawHelper::instance()->getIcon(m_arrow).paint(
        &painter, QRect(width() - pad - arrow, (height() - arrow) / 2, arrow, arrow));
}
