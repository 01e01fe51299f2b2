#include "kframeaction.h"

#include "kdrawhelper.h"

KFrameAction::KFrameAction(int kind, QObject *parent)
    : QAction(parent)
    , m_kind(kind)
{
    static const int registered = qRegisterMetaType<QStyle::State>("QStyle::State");
    Q_UNUSED(registered)
    m_lastState = state();
    // Enabled and checked changes reach the title bar through the same state signal.
    connect(this, &QAction::changed, this, [this] { updateState(m_lastState); });
}

void KFrameAction::setIconNames(const QString &iconSet)
{
    if (iconSet == m_iconNames)
        return;
    m_iconNames = iconSet;
    emit appearanceChanged();
}

QString KFrameAction::currentIconName() const
{
    return m_iconNames.isEmpty() ? QString() : KDrawHelper::iconNameForState(m_iconNames, state());
}

QIcon KFrameAction::currentIcon() const
{
    const QString name = currentIconName();
    return name.isEmpty() ? icon() : KDrawHelper::instance()->getIcon(name);
}

void KFrameAction::setIconSize(const QSize &size)
{
    m_iconSize = size;
    emit appearanceChanged();
}

void KFrameAction::setButtonSize(const QSize &size)
{
    m_buttonSize = size;
    emit appearanceChanged();
}

QStyle::State KFrameAction::state() const
{
    QStyle::State state = QStyle::State_None;
    if (isEnabled())
        state |= QStyle::State_Enabled;
    if (isChecked())
        state |= QStyle::State_On;
    if (isEnabled() && m_hovered)
        state |= QStyle::State_MouseOver;
    if (isEnabled() && m_pressed)
        state |= QStyle::State_Sunken;
    return state;
}

void KFrameAction::setHovered(bool hovered)
{
    const QStyle::State before = state();
    m_hovered = hovered;
    updateState(before);
}

void KFrameAction::setPressed(bool pressed)
{
    const QStyle::State before = state();
    m_pressed = pressed;
    updateState(before);
}

void KFrameAction::updateState(QStyle::State before)
{
    const QStyle::State now = state();
    m_lastState = now;
    if (now != before)
        emit stateChanged(now, before);
}
