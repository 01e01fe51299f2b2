#include "kframetitlebar.h"

#include "kdrawhelper.h"
#include "klitestyle.h"

#include <QDynamicPropertyChangeEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {
// Left to right; custom actions come before these.
const int kStandardOrder[] = {KFrame::AvatarButton, KFrame::PhoneButton, KFrame::MenuButton,
                              KFrame::MinimizeButton, KFrame::MaximizeButton, KFrame::CloseButton};
} // namespace

KFrameTitleBar::KFrameTitleBar(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_StyledBackground, false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    updateHeight();
    connect(KDrawHelper::instance(), &KDrawHelper::themeChanged, this, [this] {
        updateHeight();
        update();
    });
}

void KFrameTitleBar::updateHeight()
{
    setFixedHeight(KLiteStyle::dpiScaled(
        KDrawHelper::instance()->getMetric(KDrawHelper::themeClasses(this), QStringLiteral("height"), 32)));
}

QString KFrameTitleBar::themeClassName() const
{
    const QString themed = property(KDrawHelper::ObjectThemeClassName).toString();
    return themed.isEmpty() ? QString::fromLatin1(metaObject()->className()) : themed;
}

void KFrameTitleBar::setThemeClassName(const QString &name)
{
    setProperty(KDrawHelper::ObjectThemeClassName, name);
}

QString KFrameTitleBar::actionSuffix(int kind)
{
    switch (kind) {
    case KFrame::CloseButton: return QStringLiteral("-Close");
    case KFrame::MaximizeButton: return QStringLiteral("-Maximize");
    case KFrame::MinimizeButton: return QStringLiteral("-Minimize");
    case KFrame::MenuButton: return QStringLiteral("-Menu");
    case KFrame::AvatarButton: return QStringLiteral("-Avatar");
    case KFrame::PhoneButton: return QStringLiteral("-Phone");
    default: return QString();
    }
}

QString KFrameTitleBar::actionCollectionName(int kind)
{
    switch (kind) {
    case KFrame::CloseButton: return QStringLiteral("close");
    case KFrame::MaximizeButton: return QStringLiteral("maximize");
    case KFrame::MinimizeButton: return QStringLiteral("minimize");
    case KFrame::MenuButton: return QStringLiteral("assistmenu");
    case KFrame::PhoneButton: return QStringLiteral("qrcode");
    default: return QString();
    }
}

void KFrameTitleBar::setTitleBarFlags(int flags)
{
    if (flags == m_flags)
        return;
    m_flags = flags;
    ensureActions();
    relayout();
    emit actionsChanged();
}

KFrameAction *KFrameTitleBar::createAction(int kind)
{
    auto *action = new KFrameAction(kind, this);
    switch (kind) {
    case KFrame::CloseButton:
        action->setText(tr("Close"));
        action->setIconNames(QStringLiteral("frame_title_close;frame_title_close_hover;frame_title_close_click"));
        break;
    case KFrame::MaximizeButton:
        action->setText(tr("Maximize"));
        action->setIconNames(m_maximizeIcons);
        break;
    case KFrame::MinimizeButton:
        action->setText(tr("Minimize"));
        action->setIconNames(QStringLiteral("frame_title_minimize"));
        break;
    case KFrame::MenuButton:
        action->setText(tr("Menu"));
        action->setIconNames(QStringLiteral("frame_title_menu"));
        break;
    case KFrame::AvatarButton:
        action->setText(tr("Account"));
        action->setIconNames(QStringLiteral("frame_title_avatar"));
        break;
    case KFrame::PhoneButton:
        action->setText(tr("Phone"));
        action->setIconNames(QStringLiteral("frame_title_phone"));
        break;
    default:
        break;
    }
    return action;
}

void KFrameTitleBar::adopt(KFrameAction *action)
{
    if (action->parent() != this)
        action->setParent(this);
    const int kind = action->kind();
    if (action->objectName().isEmpty() && !actionSuffix(kind).isEmpty())
        action->setObjectName(themeClassName() + actionSuffix(kind));
    if (!action->property("coll_name").isValid() && !actionCollectionName(kind).isEmpty())
        action->setProperty("coll_name", actionCollectionName(kind));
    connect(action, &KFrameAction::stateChanged, this, QOverload<>::of(&QWidget::update));
    connect(action, &KFrameAction::appearanceChanged, this, &KFrameTitleBar::relayout);
    connect(action, &QObject::destroyed, this, [this, action] {
        m_custom.removeAll(action);
        for (auto it = m_actions.begin(); it != m_actions.end(); ++it) {
            if (it.value() == action) {
                m_actions.erase(it);
                break;
            }
        }
        update();
    });
}

KFrameTitleBar::~KFrameTitleBar()
{
    // The actions die with the title bar's children, after this part of it is gone.
    for (KFrameAction *a : findChildren<KFrameAction *>(QString(), Qt::FindDirectChildrenOnly))
        disconnect(a, nullptr, this, nullptr);
}

void KFrameTitleBar::ensureActions()
{
    for (int kind : kStandardOrder) {
        if (m_flags & kind)
            action(kind);
    }
}

KFrameAction *KFrameTitleBar::action(int kind)
{
    if (KFrameAction *existing = m_actions.value(kind))
        return existing;
    if (actionSuffix(kind).isEmpty())
        return nullptr;
    KFrameAction *made = createAction(kind);
    if (!made)
        return nullptr;
    adopt(made);
    m_actions.insert(kind, made);
    if (kind == KFrame::MaximizeButton)
        syncMaximizeAction();
    relayout();
    return made;
}

void KFrameTitleBar::addCustomAction(KFrameAction *action)
{
    if (!action || m_custom.contains(action))
        return;
    adopt(action);
    m_custom.append(action);
    relayout();
    emit actionsChanged();
}

void KFrameTitleBar::removeCustomAction(KFrameAction *action)
{
    if (!m_custom.removeAll(action))
        return;
    disconnect(action, nullptr, this, nullptr);
    relayout();
    emit actionsChanged();
}

QList<KFrameAction *> KFrameTitleBar::visibleActions() const
{
    QList<KFrameAction *> shown;
    for (KFrameAction *custom : m_custom) {
        if (custom->isVisible())
            shown << custom;
    }
    for (int kind : kStandardOrder) {
        KFrameAction *standard = (m_flags & kind) ? m_actions.value(kind) : nullptr;
        if (standard && standard->isVisible())
            shown << standard;
    }
    return shown;
}

KFrameAction *KFrameTitleBar::actionAt(const QPoint &pos) const
{
    for (KFrameAction *shown : visibleActions()) {
        if (shown->geometry().contains(pos))
            return shown;
    }
    return nullptr;
}

void KFrameTitleBar::setMaximizeIconNames(const QString &maximize, const QString &restore)
{
    m_maximizeIcons = maximize;
    m_restoreIcons = restore;
    syncMaximizeAction();
}

void KFrameTitleBar::setMenu(QMenu *menu)
{
    m_menu = menu;
}

QSize KFrameTitleBar::sizeHint() const
{
    int width = KLiteStyle::dpiScaled(160);
    for (KFrameAction *shown : visibleActions())
        width += KLiteStyle::dpiScaled(shown->buttonSize().width());
    return QSize(width, height());
}

void KFrameTitleBar::relayout()
{
    int right = width();
    const QList<KFrameAction *> shown = visibleActions();
    for (auto it = shown.crbegin(); it != shown.crend(); ++it) {
        KFrameAction *a = *it;
        const int w = KLiteStyle::dpiScaled(a->buttonSize().width());
        const int h = a->buttonSize().height() > 0 ? KLiteStyle::dpiScaled(a->buttonSize().height()) : height();
        right -= w;
        a->setGeometry(QRect(right, (height() - h) / 2, w, h));
    }
    update();
}

bool KFrameTitleBar::maximizeAllowed() const
{
    const QWidget *win = window();
    KFrameAction *maximize = m_actions.value(KFrame::MaximizeButton);
    return (m_flags & KFrame::MaximizeButton) && (!maximize || maximize->isEnabled())
        && win->minimumSize() != win->maximumSize();
}

void KFrameTitleBar::syncMaximizeAction()
{
    KFrameAction *maximize = m_actions.value(KFrame::MaximizeButton);
    if (!maximize)
        return;
    const bool maximized = window()->isMaximized();
    maximize->setIconNames(maximized ? m_restoreIcons : m_maximizeIcons);
    maximize->setText(maximized ? tr("Restore") : tr("Maximize"));
}

void KFrameTitleBar::renameActions()
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setObjectName(themeClassName() + actionSuffix(it.key()));
}

void KFrameTitleBar::triggerAction(KFrameAction *action)
{
    QPointer<KFrameAction> guard(action);
    emit actionTriggered(action);
    if (!guard)
        return;
    action->trigger();
    switch (action->kind()) {
    case KFrame::CloseButton:
        emit closeButtonClicked();
        onCloseButtonClicked();
        break;
    case KFrame::MaximizeButton:
        emit maximizeButtonClicked();
        onMaximizeButtonClicked();
        break;
    case KFrame::MinimizeButton:
        emit minimizeButtonClicked();
        onMinimizeButtonClicked();
        break;
    case KFrame::MenuButton:
        onMenuButtonClicked();
        break;
    default:
        break;
    }
}

void KFrameTitleBar::onCloseButtonClicked()
{
    window()->close();
}

void KFrameTitleBar::onMaximizeButtonClicked()
{
    QWidget *win = window();
    if (win->isMaximized())
        win->showNormal();
    else
        win->showMaximized();
}

void KFrameTitleBar::onMinimizeButtonClicked()
{
    window()->showMinimized();
}

void KFrameTitleBar::onMenuButtonClicked()
{
    KFrameAction *button = m_actions.value(KFrame::MenuButton);
    if (m_menu && button)
        m_menu->popup(mapToGlobal(button->geometry().bottomLeft() + QPoint(0, 1)));
}

bool KFrameTitleBar::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::DynamicPropertyChange:
        if (static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName() == KDrawHelper::ObjectThemeClassName) {
            renameActions();
            updateHeight();
            update();
        }
        break;
    case QEvent::ParentChange:
    case QEvent::Polish:
        updateHeight();
        ensureActions();
        relayout();
        if (m_watchedWindow != window()) {
            if (m_watchedWindow)
                m_watchedWindow->removeEventFilter(this);
            m_watchedWindow = window();
            if (m_watchedWindow != this)
                m_watchedWindow->installEventFilter(this);
            syncMaximizeAction();
        }
        break;
    case QEvent::ToolTip: {
        auto *help = static_cast<QHelpEvent *>(event);
        KFrameAction *hit = actionAt(help->pos());
        if (hit && !hit->toolTip().isEmpty())
            QToolTip::showText(help->globalPos(), hit->toolTip(), this, hit->geometry());
        else
            QToolTip::hideText();
        return true;
    }
    default:
        break;
    }
    return QWidget::event(event);
}

bool KFrameTitleBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow) {
        if (event->type() == QEvent::WindowStateChange)
            syncMaximizeAction();
        if (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::WindowIconChange)
            update();
    }
    return QWidget::eventFilter(watched, event);
}

void KFrameTitleBar::paintAction(QPainter &painter, KFrameAction *a) const
{
    const QStringList classes{a->objectName(), QStringLiteral("KFrameAction") + actionSuffix(a->kind()),
                              QStringLiteral("KFrameAction")};
    const QColor background = KDrawHelper::instance()->getColor(classes, QStringLiteral("background"), a->state());
    if (background.isValid() && background.alpha() > 0)
        painter.fillRect(a->geometry(), background);
    const QSize iconSize = KLiteStyle::dpiScaled(a->iconSize());
    QRect iconRect(QPoint(), iconSize);
    iconRect.moveCenter(a->geometry().center());
    a->currentIcon().paint(&painter, iconRect, Qt::AlignCenter, a->isEnabled() ? QIcon::Normal : QIcon::Disabled);
}

void KFrameTitleBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    KDrawHelper *draw = KDrawHelper::instance();
    const QStringList classes = KDrawHelper::themeClasses(this);
    painter.fillRect(rect(), draw->getColor(classes, QStringLiteral("background"), QStyle::State_Enabled,
                                            palette().color(QPalette::Window)));
    const QList<KFrameAction *> shown = visibleActions();
    int left = KLiteStyle::dpiScaled(10);
    const QIcon icon = window()->windowIcon();
    if (!icon.isNull()) {
        const int side = KLiteStyle::dpiScaled(draw->getMetric(classes, QStringLiteral("icon"), 16));
        icon.paint(&painter, QRect(left, (height() - side) / 2, side, side));
        left += side + KLiteStyle::dpiScaled(8);
    }
    const int right = (shown.isEmpty() ? width() : shown.first()->geometry().left()) - KLiteStyle::dpiScaled(8);
    if (right > left) {
        const QColor text = draw->getColor(classes, QStringLiteral("text"), QStyle::State_Enabled,
                                           palette().color(QPalette::WindowText));
        painter.setPen(text);
        // In pixels scaled like every other measure of the bar, so the title keeps its size
        // relative to the buttons at any display factor.
        QFont titleFont = font();
        titleFont.setPixelSize(KLiteStyle::dpiScaled(draw->getMetric(classes, QStringLiteral("font-size"), 13)));
        painter.setFont(titleFont);
        const QString title =
            QFontMetrics(titleFont).elidedText(window()->windowTitle(), Qt::ElideRight, right - left);
        painter.drawText(QRect(left, 0, right - left, height()), Qt::AlignVCenter | Qt::AlignLeft, title);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    for (KFrameAction *a : shown)
        paintAction(painter, a);
}

void KFrameTitleBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void KFrameTitleBar::setHoveredAction(KFrameAction *hovered)
{
    if (hovered == m_hovered)
        return;
    if (m_hovered)
        m_hovered->setHovered(false);
    m_hovered = hovered;
    if (hovered) {
        hovered->setHovered(true);
        hovered->hover();
        emit actionHovered(hovered);
    }
}

void KFrameTitleBar::mousePressEvent(QMouseEvent *event)
{
    KFrameAction *hit = actionAt(event->pos());
    emit mousePress(event, hit);
    if (event->button() != Qt::LeftButton)
        return;
    if (hit) {
        if (hit->isEnabled()) {
            m_pressed = hit;
            hit->setPressed(true);
        }
        return;
    }
    m_dragging = m_dragEnabled;
    m_dragOffset = event->globalPos() - window()->pos();
}

void KFrameTitleBar::mouseMoveEvent(QMouseEvent *event)
{
    setHoveredAction(actionAt(event->pos()));
    if (m_pressed) {
        m_pressed->setPressed(actionAt(event->pos()) == m_pressed);
        return;
    }
    QWidget *win = window();
    if (m_dragging && (event->buttons() & Qt::LeftButton) && !win->isMaximized() && !win->isFullScreen())
        win->move(event->globalPos() - m_dragOffset);
}

void KFrameTitleBar::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    if (!m_pressed || event->button() != Qt::LeftButton)
        return;
    KFrameAction *released = m_pressed;
    m_pressed = nullptr;
    released->setPressed(false);
    if (actionAt(event->pos()) == released && released->isEnabled())
        triggerAction(released);
}

void KFrameTitleBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && !actionAt(event->pos()) && maximizeAllowed())
        onMaximizeButtonClicked();
    else
        mousePressEvent(event);
}

void KFrameTitleBar::leaveEvent(QEvent *event)
{
    setHoveredAction(nullptr);
    QWidget::leaveEvent(event);
}
