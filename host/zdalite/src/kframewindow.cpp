#include "kframewindow.h"

#include "kdrawhelper.h"
#include "kframetitlebar.h"
#include "klitestyle.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

KFrameClientWidget::KFrameClientWidget(QWidget *parent)
    : QWidget(parent)
{
    connect(KDrawHelper::instance(), &KDrawHelper::themeChanged, this, QOverload<>::of(&QWidget::update));
}

void KFrameClientWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), KDrawHelper::instance()->getColor(KDrawHelper::themeClasses(this),
                                                               QStringLiteral("background"), QStyle::State_Enabled,
                                                               palette().color(QPalette::Window)));
}

KFrameWindow::KFrameWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_flags(KFrame::DefaultButtons)
    , m_shadow(KFrameShadow::fromTheme())
{
    setMouseTracking(true);
    m_layout = new QVBoxLayout(this);
    m_layout->setSpacing(0);
    updateFrame();
    connect(KDrawHelper::instance(), &KDrawHelper::themeChanged, this, QOverload<>::of(&QWidget::update));
}

KFrameWindow::~KFrameWindow() = default;

void KFrameWindow::initUi()
{
    if (m_uiInited)
        return;
    m_uiInited = true;
    beforeInitUi();
    m_titleBar = createTitleBar();
    m_client = createClientWidget();
    m_titleBar->setTitleBarFlags(m_flags);
    m_layout->addWidget(m_titleBar);
    m_layout->addWidget(m_client, 1);
    afterInitUi();
    emit uiInited();
}

KFrameTitleBar *KFrameWindow::createTitleBar()
{
    return new KFrameTitleBar(this);
}

KFrameClientWidget *KFrameWindow::createClientWidget()
{
    return new KFrameClientWidget(this);
}

void KFrameWindow::setVisible(bool visible)
{
    if (visible)
        initUi();
    QWidget::setVisible(visible);
}

void KFrameWindow::setTitleBarFlags(int flags)
{
    m_flags = flags;
    if (m_titleBar)
        m_titleBar->setTitleBarFlags(flags);
}

int KFrameWindow::titleBarFlags() const
{
    return m_titleBar ? m_titleBar->titleBarFlags() : m_flags;
}

void KFrameWindow::setResizable(bool resizable)
{
    m_resizable = resizable;
    if (!resizable)
        unsetCursor();
    updateFrame();
}

void KFrameWindow::setBorderVisible(bool visible)
{
    m_border = visible;
    updateFrame();
}

void KFrameWindow::setBoxShadow(const QColor &color, int blur, int offset)
{
    m_shadow = KFrameShadow(color, blur, offset);
    updateFrame();
}

bool KFrameWindow::isShadowShown() const
{
    // A shadow set after the native window exists has no see-through pixels to go into.
    return !m_shadow.isNull() && !isMaximized() && !isFullScreen() && KFrameShadow::compositingAvailable()
        && testAttribute(Qt::WA_TranslucentBackground);
}

int KFrameWindow::borderWidth() const
{
    if (isMaximized() || isFullScreen())
        return 0;
    // Without a shadow to grab, a wider border keeps the edges within reach.
    if (m_resizable && !isShadowShown())
        return KLiteStyle::dpiScaled(3);
    return m_border ? KLiteStyle::dpiScaled(1) : 0;
}

int KFrameWindow::gripWidth() const
{
    return qMax(borderWidth(), KLiteStyle::dpiScaled(6));
}

QMargins KFrameWindow::frameMargins() const
{
    const int border = borderWidth();
    const QMargins shadow = isShadowShown() ? m_shadow.margins() : QMargins();
    return shadow + QMargins(border, border, border, border);
}

QRect KFrameWindow::contentRect() const
{
    return rect().marginsRemoved(isShadowShown() ? m_shadow.margins() : QMargins());
}

void KFrameWindow::updateFrame()
{
    // The shadow needs see-through pixels around the content; this must be set before the
    // native window exists to take effect.
    if (!testAttribute(Qt::WA_WState_Created))
        setAttribute(Qt::WA_TranslucentBackground, !m_shadow.isNull() && KFrameShadow::compositingAvailable());
    m_layout->setContentsMargins(frameMargins());
    update();
}

Qt::Edges KFrameWindow::resizeEdgesAt(const QPoint &pos) const
{
    if (!m_resizable || isMaximized() || isFullScreen())
        return {};
    const QRect inner = contentRect();
    const int grip = gripWidth();
    // Only the frame's own band: presses on the title bar or client belong to them.
    if (inner.marginsRemoved(QMargins(borderWidth(), borderWidth(), borderWidth(), borderWidth())).contains(pos))
        return {};
    return kEdgesAt(inner, pos, grip);
}

void KFrameWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect inner = contentRect();
    if (isShadowShown()) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect(), Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        m_shadow.paint(&painter, inner);
    }
    KDrawHelper *draw = KDrawHelper::instance();
    const QStringList classes = KDrawHelper::themeClasses(this);
    const int border = borderWidth();
    const QColor background = draw->getColor(classes, QStringLiteral("background"), QStyle::State_Enabled, Qt::white);
    painter.fillRect(inner, background);
    if (border > 0) {
        const QColor line = draw->getColor(classes, QStringLiteral("border"), QStyle::State_Enabled, Qt::gray);
        QRegion band = QRegion(inner).subtracted(inner.marginsRemoved(QMargins(border, border, border, border)));
        painter.setClipRegion(band);
        painter.fillRect(inner, line);
    }
}

void KFrameWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        updateFrame();
}

void KFrameWindow::mousePressEvent(QMouseEvent *event)
{
    m_resizing = event->button() == Qt::LeftButton ? resizeEdgesAt(event->pos()) : Qt::Edges();
    m_pressGlobal = event->globalPos();
    m_pressGeometry = geometry();
    QWidget::mousePressEvent(event);
}

void KFrameWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (m_resizing && (event->buttons() & Qt::LeftButton)) {
        setGeometry(kResizedGeometry(m_pressGeometry, m_resizing, event->globalPos() - m_pressGlobal,
                                     minimumSize(), maximumSize()));
        return;
    }
    const Qt::Edges edges = resizeEdgesAt(event->pos());
    if (edges)
        setCursor(kCursorForEdges(edges));
    else
        unsetCursor();
    QWidget::mouseMoveEvent(event);
}

void KFrameWindow::mouseReleaseEvent(QMouseEvent *event)
{
    m_resizing = {};
    QWidget::mouseReleaseEvent(event);
}

void KFrameWindow::leaveEvent(QEvent *event)
{
    if (!m_resizing)
        unsetCursor();
    QWidget::leaveEvent(event);
}
