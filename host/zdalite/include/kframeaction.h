#pragma once

#include <QAction>
#include <QRect>
#include <QSize>
#include <QStyle>

// Carried by KFrameAction::stateChanged, also across queued connections and signal spies.
Q_DECLARE_METATYPE(QStyle::State)

// Window-type flags of a frame: which actions its title bar shows.
namespace KFrame {
enum WindowTypeFlag : int {
    CloseButton = 0x1,
    MaximizeButton = 0x2,
    MinimizeButton = 0x4,
    MenuButton = 0x8,
    AvatarButton = 0x10,
    PhoneButton = 0x10000,
    DefaultButtons = CloseButton | MaximizeButton | MinimizeButton,
};
}

// One button of a title bar. The title bar draws and hit-tests its actions itself; an action
// keeps its kind (a window-type flag, 0 for a custom one), its icon set and its state.
class KFrameAction : public QAction
{
    Q_OBJECT
public:
    explicit KFrameAction(int kind, QObject *parent = nullptr);

    int kind() const { return m_kind; }

    // "normal;hover;pressed[;disabled[;checked]]" theme icon names.
    void setIconNames(const QString &iconSet);
    QString iconNames() const { return m_iconNames; }
    QString currentIconName() const;
    QIcon currentIcon() const;

    // Sizes for a 100 % display; the title bar scales them.
    void setIconSize(const QSize &size);
    QSize iconSize() const { return m_iconSize; }
    void setButtonSize(const QSize &size);
    QSize buttonSize() const { return m_buttonSize; }

    // Enabled and checked come from the action; hover and pressed from the title bar.
    QStyle::State state() const;
    void setHovered(bool hovered);
    void setPressed(bool pressed);

    QRect geometry() const { return m_geometry; }
    void setGeometry(const QRect &rect) { m_geometry = rect; }

signals:
    void stateChanged(const QStyle::State &now, const QStyle::State &before);
    void appearanceChanged();

private:
    void updateState(QStyle::State before);

    int m_kind = 0;
    QString m_iconNames;
    QSize m_iconSize{16, 16};
    QSize m_buttonSize{40, 0}; // height 0: the title bar's height
    bool m_hovered = false;
    bool m_pressed = false;
    QStyle::State m_lastState;
    QRect m_geometry;
};
