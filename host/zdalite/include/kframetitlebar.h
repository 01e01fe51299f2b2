#pragma once

#include "kframeaction.h"

#include <QList>
#include <QMap>
#include <QPointer>
#include <QWidget>

#include <QMenu>

// The title row of a frame window: icon, title and actions, drawn from the theme. Dragging
// the bar moves the window; a double-click maximises or restores it when the maximise action
// is shown. Actions are made on demand through createAction(), which subclasses override.
class KFrameTitleBar : public QWidget
{
    Q_OBJECT
public:
    explicit KFrameTitleBar(QWidget *parent = nullptr);
    ~KFrameTitleBar() override;

    // The theme class: the ObjectThemeClassName property, else the C++ class name. Action
    // object names are the theme class followed by their suffix ("-Close").
    QString themeClassName() const;
    void setThemeClassName(const QString &name);

    void setTitleBarFlags(int flags);
    int titleBarFlags() const { return m_flags; }

    // The action of a window-type flag, made on first request.
    KFrameAction *action(int kind);
    // Custom actions show left of the standard ones, in the order added.
    void addCustomAction(KFrameAction *action);
    void removeCustomAction(KFrameAction *action);
    // The shown actions, left to right.
    QList<KFrameAction *> visibleActions() const;
    KFrameAction *actionAt(const QPoint &pos) const;

    // Windows that move themselves on mousePress() switch the bar's own dragging off.
    void setDragEnabled(bool enabled) { m_dragEnabled = enabled; }
    bool isDragEnabled() const { return m_dragEnabled; }

    void setMaximizeIconNames(const QString &maximize, const QString &restore);
    void setMenu(QMenu *menu);
    QMenu *menu() const { return m_menu; }

    static QString actionSuffix(int kind);
    static QString actionCollectionName(int kind);

    QSize sizeHint() const override;

public slots:
    virtual void onCloseButtonClicked();
    virtual void onMaximizeButtonClicked();
    virtual void onMinimizeButtonClicked();
    virtual void onMenuButtonClicked();

signals:
    void mousePress(QMouseEvent *event, KFrameAction *action);
    void actionTriggered(KFrameAction *action);
    void actionHovered(KFrameAction *action);
    void closeButtonClicked();
    void maximizeButtonClicked();
    void minimizeButtonClicked();
    void actionsChanged();

protected:
    virtual KFrameAction *createAction(int kind);
    void triggerAction(KFrameAction *action);
    bool maximizeAllowed() const;

    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void adopt(KFrameAction *action);
    void ensureActions();
    void updateHeight();
    void relayout();
    void setHoveredAction(KFrameAction *action);
    void syncMaximizeAction();
    void renameActions();
    void paintAction(QPainter &painter, KFrameAction *action) const;

    int m_flags = KFrame::DefaultButtons;
    QMap<int, KFrameAction *> m_actions;
    QList<KFrameAction *> m_custom;
    QPointer<KFrameAction> m_hovered;
    QPointer<KFrameAction> m_pressed;
    QPointer<QMenu> m_menu;
    QPointer<QWidget> m_watchedWindow;
    QString m_maximizeIcons = QStringLiteral("frame_title_maximize");
    QString m_restoreIcons = QStringLiteral("frame_title_restore");
    bool m_dragEnabled = true;
    bool m_dragging = false;
    QPoint m_dragOffset;
};
