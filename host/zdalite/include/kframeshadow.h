#pragma once

#include <QColor>
#include <QMargins>
#include <QPointer>
#include <QWidget>

class QPainter;

// A soft drop shadow around a rectangle: the colour fades to nothing over the blur width and
// is moved down by the offset. Blur and offset are device-independent pixels, already scaled.
class KFrameShadow
{
public:
    KFrameShadow() = default;
    KFrameShadow(const QColor &color, int blur, int offset);
    // The theme's shadow ("color", "blur", "offset" of class KFrameShadow), DPI-scaled.
    static KFrameShadow fromTheme(const QString &themeClass = QStringLiteral("KFrameShadow"));

    bool isNull() const { return m_blur <= 0 || m_color.alpha() == 0; }
    QColor color() const { return m_color; }
    int blur() const { return m_blur; }
    int offset() const { return m_offset; }
    // Room the shadow needs around the rectangle.
    QMargins margins() const;
    void paint(QPainter *painter, const QRect &rect) const;

    // Translucent top-level windows need a compositing manager on X11; without one their
    // transparent pixels show black, so frames then go without a shadow.
    static bool compositingAvailable();

private:
    QColor m_color;
    int m_blur = 0;
    int m_offset = 0;
};

// A shadow drawn by a window of its own, stacked behind a target window and following it;
// for windows whose content cannot sit in a translucent window. With the resize switch on,
// dragging the shadow resizes the target.
class KFrameOuterShadow : public QWidget
{
    Q_OBJECT
public:
    KFrameOuterShadow(QWidget *target, const QString &themeClass, bool resizable);
    QWidget *target() const { return m_target; }
    bool isResizable() const { return m_resizable; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void follow();
    void restack();

    QPointer<QWidget> m_target;
    KFrameShadow m_shadow;
    bool m_resizable;
    bool m_restacking = false;
    Qt::Edges m_edges;
    QPoint m_pressGlobal;
    QRect m_pressGeometry;
};

// Geometry after dragging the given edges by delta, kept within the size limits and with
// the opposite edges fixed.
QRect kResizedGeometry(const QRect &start, Qt::Edges edges, const QPoint &delta, const QSize &minimum,
                       const QSize &maximum);
// Which edges of inner lie within grip pixels of point (on either side of the edge).
Qt::Edges kEdgesAt(const QRect &inner, const QPoint &point, int grip);
Qt::CursorShape kCursorForEdges(Qt::Edges edges);
