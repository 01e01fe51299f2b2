#include "kliteiconbutton.h"

#include "kdrawhelper.h"
#include "klitestyle.h"

#include <QPainter>
#include <QPainterPath>

KLiteIconButton::KLiteIconButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    connect(KDrawHelper::instance(), &KDrawHelper::themeChanged, this, QOverload<>::of(&QWidget::update));
}

KLiteIconButton::KLiteIconButton(const QString &iconNames, QWidget *parent)
    : KLiteIconButton(parent)
{
    setIconNames(iconNames);
}

void KLiteIconButton::setIconNames(const QString &iconSet)
{
    m_iconNames = iconSet;
    update();
}

QString KLiteIconButton::currentIconName() const
{
    return m_iconNames.isEmpty() ? QString() : KDrawHelper::iconNameForState(m_iconNames, state());
}

void KLiteIconButton::setIconSize(const QSize &size)
{
    m_iconSize = size;
    updateGeometry();
    update();
}

void KLiteIconButton::setFixedButtonSize(const QSize &size)
{
    setFixedSize(KLiteStyle::dpiScaled(size));
}

QStyle::State KLiteIconButton::state() const
{
    QStyle::State state = QStyle::State_None;
    if (!isEnabled())
        return state;
    state |= QStyle::State_Enabled;
    if (isChecked())
        state |= QStyle::State_On;
    if (m_hovered || underMouse())
        state |= QStyle::State_MouseOver;
    if (isDown())
        state |= QStyle::State_Sunken;
    return state;
}

QSize KLiteIconButton::sizeHint() const
{
    return KLiteStyle::dpiScaled(m_iconSize + QSize(12, 12));
}

void KLiteIconButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    KDrawHelper *draw = KDrawHelper::instance();
    const QStringList classes = KDrawHelper::themeClasses(this);
    const QStyle::State now = state();
    const QColor background = draw->getColor(classes, QStringLiteral("background"), now);
    if (background.isValid() && background.alpha() > 0) {
        const qreal radius = KLiteStyle::dpiScaled(double(draw->getMetric(classes, QStringLiteral("radius"), 3)));
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), radius, radius);
        painter.fillPath(path, background);
    }
    const QIcon glyph = m_iconNames.isEmpty() ? icon() : draw->getIcon(currentIconName());
    QRect target(QPoint(), KLiteStyle::dpiScaled(m_iconSize).boundedTo(size()));
    target.moveCenter(rect().center());
    glyph.paint(&painter, target, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
}

void KLiteIconButton::enterEvent(QEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void KLiteIconButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}
