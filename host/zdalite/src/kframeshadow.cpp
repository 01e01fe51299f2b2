#include "kframeshadow.h"

#include "kdrawhelper.h"
#include "klitestyle.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QScreen>

#include <xcb/xcb.h>

KFrameShadow::KFrameShadow(const QColor &color, int blur, int offset)
    : m_color(color)
    , m_blur(qMax(0, blur))
    , m_offset(qBound(-m_blur, offset, m_blur))
{
}

KFrameShadow KFrameShadow::fromTheme(const QString &themeClass)
{
    KDrawHelper *draw = KDrawHelper::instance();
    const QStringList classes{themeClass, QStringLiteral("KFrameShadow")};
    const QColor color = draw->getColor(classes, QStringLiteral("color"), QStyle::State_Enabled, QColor(0, 0, 0, 38));
    return KFrameShadow(color, KLiteStyle::dpiScaled(draw->getMetric(classes, QStringLiteral("blur"), 14)),
                        KLiteStyle::dpiScaled(draw->getMetric(classes, QStringLiteral("offset"), 3)));
}

QMargins KFrameShadow::margins() const
{
    if (isNull())
        return QMargins();
    return QMargins(m_blur, m_blur - m_offset, m_blur, m_blur + m_offset);
}

namespace {
// Roughly a Gaussian tail: the shadow is densest at the edge and thins out quickly.
void setFalloff(QGradient &gradient, const QColor &color)
{
    static const qreal stops[][2] = {{0.0, 1.0}, {0.2, 0.72}, {0.4, 0.42}, {0.6, 0.2}, {0.8, 0.07}, {1.0, 0.0}};
    for (const auto &stop : stops) {
        QColor c = color;
        c.setAlphaF(color.alphaF() * stop[1]);
        gradient.setColorAt(stop[0], c);
    }
}
} // namespace

void KFrameShadow::paint(QPainter *painter, const QRect &rect) const
{
    if (isNull() || rect.isEmpty())
        return;
    const QRectF r = QRectF(rect).translated(0, m_offset);
    const qreal b = m_blur;
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->fillRect(r, m_color);
    auto side = [&](const QRectF &area, QPointF from, QPointF to) {
        QLinearGradient g(from, to);
        setFalloff(g, m_color);
        painter->fillRect(area, g);
    };
    side(QRectF(r.left(), r.top() - b, r.width(), b), QPointF(0, r.top()), QPointF(0, r.top() - b));
    side(QRectF(r.left(), r.bottom(), r.width(), b), QPointF(0, r.bottom()), QPointF(0, r.bottom() + b));
    side(QRectF(r.left() - b, r.top(), b, r.height()), QPointF(r.left(), 0), QPointF(r.left() - b, 0));
    side(QRectF(r.right(), r.top(), b, r.height()), QPointF(r.right(), 0), QPointF(r.right() + b, 0));
    const QPointF corners[] = {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()};
    for (const QPointF &c : corners) {
        QRadialGradient g(c, b);
        setFalloff(g, m_color);
        const qreal x = c.x() == r.left() ? c.x() - b : c.x();
        const qreal y = c.y() == r.top() ? c.y() - b : c.y();
        painter->fillRect(QRectF(x, y, b, b), g);
    }
    painter->restore();
}

bool KFrameShadow::compositingAvailable()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
    static const bool available = [] {
        int screen = 0;
        xcb_connection_t *connection = xcb_connect(nullptr, &screen);
        bool owned = false;
        if (!xcb_connection_has_error(connection)) {
            const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
            xcb_intern_atom_reply_t *atom =
                xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, name.size(), name.constData()), nullptr);
            if (atom && atom->atom != XCB_ATOM_NONE) {
                xcb_get_selection_owner_reply_t *owner = xcb_get_selection_owner_reply(
                    connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
                owned = owner && owner->owner != XCB_NONE;
                free(owner);
            }
            free(atom);
        }
        xcb_disconnect(connection);
        return owned;
    }();
    return available;
}

QRect kResizedGeometry(const QRect &start, Qt::Edges edges, const QPoint &delta, const QSize &minimum,
                       const QSize &maximum)
{
    QRect r = start;
    const auto clampWidth = [&](int w) { return qBound(minimum.width(), w, maximum.width()); };
    const auto clampHeight = [&](int h) { return qBound(minimum.height(), h, maximum.height()); };
    if (edges & Qt::LeftEdge)
        r.setLeft(start.right() + 1 - clampWidth(start.width() - delta.x()));
    else if (edges & Qt::RightEdge)
        r.setWidth(clampWidth(start.width() + delta.x()));
    if (edges & Qt::TopEdge)
        r.setTop(start.bottom() + 1 - clampHeight(start.height() - delta.y()));
    else if (edges & Qt::BottomEdge)
        r.setHeight(clampHeight(start.height() + delta.y()));
    return r;
}

Qt::Edges kEdgesAt(const QRect &inner, const QPoint &p, int grip)
{
    if (!inner.adjusted(-grip, -grip, grip, grip).contains(p))
        return {};
    Qt::Edges edges;
    if (qAbs(p.x() - inner.left()) <= grip)
        edges |= Qt::LeftEdge;
    else if (qAbs(p.x() - inner.right()) <= grip)
        edges |= Qt::RightEdge;
    if (qAbs(p.y() - inner.top()) <= grip)
        edges |= Qt::TopEdge;
    else if (qAbs(p.y() - inner.bottom()) <= grip)
        edges |= Qt::BottomEdge;
    return edges;
}

Qt::CursorShape kCursorForEdges(Qt::Edges edges)
{
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool falling = bool(edges & Qt::LeftEdge) == bool(edges & Qt::TopEdge);
        return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    if (horizontal)
        return Qt::SizeHorCursor;
    if (vertical)
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

KFrameOuterShadow::KFrameOuterShadow(QWidget *target, const QString &themeClass, bool resizable)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_target(target)
    , m_shadow(KFrameShadow::fromTheme(themeClass))
    , m_resizable(resizable)
{
    setObjectName(themeClass);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    if (!m_target)
        return;
    m_target->installEventFilter(this);
    // Lives and dies with its target.
    connect(m_target, &QObject::destroyed, this, &QObject::deleteLater);
    follow();
}

void KFrameOuterShadow::follow()
{
    const bool shown = m_target && m_target->isVisible() && !m_target->isMaximized() && !m_target->isFullScreen()
        && !m_shadow.isNull() && KFrameShadow::compositingAvailable();
    if (!shown) {
        hide();
        return;
    }
    setGeometry(m_target->frameGeometry().marginsAdded(m_shadow.margins()));
    if (!isVisible())
        restack();
}

void KFrameOuterShadow::restack()
{
    // Top-level windows cannot be stacked relative to each other directly: raise the
    // shadow, then its target over it.
    if (m_restacking)
        return;
    m_restacking = true;
    show();
    raise();
    m_target->raise();
    m_restacking = false;
}

bool KFrameOuterShadow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
        follow();
        break;
    case QEvent::WindowActivate:
        follow();
        if (isVisible())
            restack();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void KFrameOuterShadow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect inner = rect().marginsRemoved(m_shadow.margins());
    painter.setClipRegion(QRegion(rect()).subtracted(inner));
    m_shadow.paint(&painter, inner);
}

void KFrameOuterShadow::mousePressEvent(QMouseEvent *event)
{
    if (!m_resizable || !m_target || event->button() != Qt::LeftButton)
        return;
    m_edges = kEdgesAt(rect().marginsRemoved(m_shadow.margins()), event->pos(), m_shadow.blur());
    m_pressGlobal = event->globalPos();
    m_pressGeometry = m_target->geometry();
}

void KFrameOuterShadow::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_resizable || !m_target)
        return;
    if (!(event->buttons() & Qt::LeftButton)) {
        setCursor(kCursorForEdges(kEdgesAt(rect().marginsRemoved(m_shadow.margins()), event->pos(), m_shadow.blur())));
        return;
    }
    if (m_edges)
        m_target->setGeometry(kResizedGeometry(m_pressGeometry, m_edges, event->globalPos() - m_pressGlobal,
                                               m_target->minimumSize(), m_target->maximumSize()));
}

void KFrameOuterShadow::mouseReleaseEvent(QMouseEvent *)
{
    m_edges = {};
}
