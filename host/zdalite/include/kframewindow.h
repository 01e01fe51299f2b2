#pragma once

#include "kframeshadow.h"

#include <QWidget>

class KFrameTitleBar;
class QVBoxLayout;

// The content area under a frame's title bar, filled with its theme background.
class KFrameClientWidget : public QWidget
{
    Q_OBJECT
public:
    explicit KFrameClientWidget(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A frameless top-level window drawn by the host: a title bar over a client widget, a border
// and a drop shadow around them. With the resize switch on, the edges and corners resize it.
//
// The interface is built by initUi(), at the latest when the window is first shown:
// beforeInitUi(), then createTitleBar() and createClientWidget(), then afterInitUi().
class KFrameWindow : public QWidget
{
    Q_OBJECT
public:
    explicit KFrameWindow(QWidget *parent = nullptr);
    ~KFrameWindow() override;

    void initUi();
    bool isUiInited() const { return m_uiInited; }
    // Null until initUi().
    KFrameTitleBar *titleBar() const { return m_titleBar; }
    KFrameClientWidget *clientWidget() const { return m_client; }

    void setTitleBarFlags(int flags);
    int titleBarFlags() const;

    void setResizable(bool resizable);
    bool isResizable() const { return m_resizable; }

    void setBorderVisible(bool visible);
    bool isBorderVisible() const { return m_border; }

    // Blur and offset in pixels, already scaled; a null shadow removes it.
    void setBoxShadow(const QColor &color, int blur, int offset);
    KFrameShadow boxShadow() const { return m_shadow; }
    // Whether the shadow is drawn now: not when maximised or without a compositor.
    bool isShadowShown() const;

    // Distance from the window's edge to its title bar and client.
    QMargins frameMargins() const;
    // The rectangle of the title bar and client, border included.
    QRect contentRect() const;
    // Edges a press at pos would resize; none with the resize switch off.
    Qt::Edges resizeEdgesAt(const QPoint &pos) const;

    void setVisible(bool visible) override;

signals:
    void uiInited();

protected:
    virtual void beforeInitUi() {}
    virtual void afterInitUi() {}
    virtual KFrameTitleBar *createTitleBar();
    virtual KFrameClientWidget *createClientWidget();

    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void updateFrame();
    int borderWidth() const;
    int gripWidth() const;

    QVBoxLayout *m_layout = nullptr;
    KFrameTitleBar *m_titleBar = nullptr;
    KFrameClientWidget *m_client = nullptr;
    bool m_uiInited = false;
    int m_flags;
    bool m_resizable = true;
    bool m_border = true;
    KFrameShadow m_shadow;
    Qt::Edges m_resizing;
    QPoint m_pressGlobal;
    QRect m_pressGeometry;
};
