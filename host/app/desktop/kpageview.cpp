#include "kpageview.h"

#include "kpagesource.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QThreadPool>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

const QColor kBackdrop(0xd9, 0xdc, 0xe1);
const QColor kPageEdge(0xb4, 0xb8, 0xbf);
const QColor kPlaceholder(0xf4, 0xf5, 0xf7);

bool sameScale(double a, double b)
{
    return std::abs(a - b) < 1e-6;
}

} // namespace

KPageView::KPageView(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_pool(new QThreadPool(this))
{
    // One page at a time: the back-ends serialise rendering anyway, and the interface thread
    // keeps the other core.
    m_pool->setMaxThreadCount(1);
    setFocusPolicy(Qt::StrongFocus);
    // Always there, so fitting the width cannot make it appear and change the width again.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
}

KPageView::~KPageView()
{
    stopRendering();
}

void KPageView::stopRendering()
{
    m_pool->clear();
    m_pool->waitForDone();
    ++m_generation;
    m_busyJob = 0;
}

void KPageView::setSource(std::shared_ptr<KPageSource> source)
{
    stopRendering();
    m_source = std::move(source);
    m_cache.clear();
    m_cacheBytes = 0;
    m_painted.clear();
    m_sizes.clear();
    if (m_source) {
        const int count = qMax(0, m_source->pageCount());
        for (int i = 0; i < count; ++i)
            m_sizes.append(m_source->pageSize(i));
    }
    m_announced = -2;
    applyZoom(m_zoom, m_fitWidth);
    verticalScrollBar()->setValue(0);
    announcePage();
    pump();
}

void KPageView::reload()
{
    const int page = currentPage();
    stopRendering();
    if (m_source)
        m_source->refresh();
    const QHash<int, Cached> before = m_cache;
    auto source = m_source;
    setSource(source);
    // The old pictures stand in, marked out of date, until the new ones arrive: no flash of
    // blank pages after each change.
    for (auto it = before.constBegin(); it != before.constEnd(); ++it) {
        if (it.key() < pageCount() && !it->image.isNull()) {
            m_cache.insert(it.key(), {it->image, 0});
            m_cacheBytes += it->image.sizeInBytes();
        }
    }
    if (page > 0)
        goToPage(qMin(page, pageCount() - 1));
    pump();
}

QSize KPageView::contentSize() const
{
    return QSize(m_contentWidth, m_contentHeight);
}

double KPageView::deviceScale() const
{
    return m_zoom * devicePixelRatioF();
}

double KPageView::fitWidthZoom() const
{
    double widest = 0;
    for (const QSizeF &size : m_sizes)
        widest = qMax(widest, size.width());
    if (widest <= 0)
        return 1.0;
    return qBound(kMinZoom, (viewport()->width() - 2.0 * kGap) / widest, kMaxZoom);
}

void KPageView::relayout()
{
    m_tops.resize(m_sizes.size());
    int y = kGap;
    int widest = 0;
    for (int i = 0; i < m_sizes.size(); ++i) {
        m_tops[i] = y;
        y += qMax(1, qRound(m_sizes[i].height() * m_zoom)) + kGap;
        widest = qMax(widest, qRound(m_sizes[i].width() * m_zoom));
    }
    m_contentHeight = y;
    m_contentWidth = widest + 2 * kGap;
    updateScrollBars();
}

void KPageView::updateScrollBars()
{
    const QSize area = viewport()->size();
    verticalScrollBar()->setPageStep(area.height());
    verticalScrollBar()->setSingleStep(qMax(20, area.height() / 20));
    verticalScrollBar()->setRange(0, qMax(0, m_contentHeight - area.height()));
    horizontalScrollBar()->setPageStep(area.width());
    horizontalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setRange(0, qMax(0, m_contentWidth - area.width()));
}

QRect KPageView::pageRect(int i) const
{
    if (i < 0 || i >= m_sizes.size() || i >= m_tops.size())
        return QRect();
    const int w = qMax(1, qRound(m_sizes[i].width() * m_zoom));
    const int h = qMax(1, qRound(m_sizes[i].height() * m_zoom));
    const int span = qMax(m_contentWidth, viewport()->width());
    return QRect((span - w) / 2 - horizontalScrollBar()->value(), m_tops[i] - verticalScrollBar()->value(), w, h);
}

int KPageView::pageAt(int contentY) const
{
    if (m_tops.isEmpty())
        return -1;
    const auto after = std::upper_bound(m_tops.begin(), m_tops.end(), contentY);
    return qMax(0, int(after - m_tops.begin()) - 1);
}

int KPageView::currentPage() const
{
    // The page under the upper third of the window: the one being read.
    return pageAt(verticalScrollBar()->value() + viewport()->height() / 3);
}

QPair<int, int> KPageView::visiblePages() const
{
    if (m_tops.isEmpty())
        return {-1, -2};
    const int top = verticalScrollBar()->value();
    int first = pageAt(top);
    if (pageRect(first).bottom() < 0 && first + 1 < m_tops.size())
        ++first; // the window's top edge is in the gap below it
    int last = pageAt(top + viewport()->height() - 1);
    return {first, qMax(first, last)};
}

bool KPageView::isPageReady(int i) const
{
    const auto found = m_cache.constFind(i);
    return found != m_cache.constEnd() && !found->image.isNull() && sameScale(found->scale, deviceScale());
}

void KPageView::applyZoom(double zoom, bool fitWidth)
{
    // Keep the point read at the top of the window where it is.
    const int page = pageAt(verticalScrollBar()->value());
    double fraction = 0;
    if (page >= 0 && m_sizes.value(page).height() > 0)
        fraction = (verticalScrollBar()->value() - m_tops.value(page)) / (m_sizes[page].height() * m_zoom);
    const double before = m_zoom;
    m_fitWidth = fitWidth;
    m_zoom = fitWidth ? fitWidthZoom() : qBound(kMinZoom, zoom, kMaxZoom);
    relayout();
    if (page >= 0 && page < m_tops.size())
        verticalScrollBar()->setValue(m_tops[page] + qRound(fraction * m_sizes[page].height() * m_zoom));
    if (!sameScale(before, m_zoom)) {
        ++m_generation;
        emit zoomChanged(m_zoom);
    }
    viewport()->update();
    announcePage();
    pump();
}

void KPageView::setZoom(double zoom)
{
    applyZoom(zoom, false);
}

void KPageView::zoomIn()
{
    applyZoom(m_zoom * kZoomStep, false);
}

void KPageView::zoomOut()
{
    applyZoom(m_zoom / kZoomStep, false);
}

void KPageView::fitWidth()
{
    applyZoom(m_zoom, true);
}

void KPageView::goToPage(int i)
{
    if (i < 0 || i >= m_tops.size())
        return;
    verticalScrollBar()->setValue(m_tops[i] - kGap);
    announcePage();
}

void KPageView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), kBackdrop);
    const QPair<int, int> shown = visiblePages();
    const double target = deviceScale();
    for (int i = shown.first; i <= shown.second; ++i) {
        const QRect r = pageRect(i);
        painter.fillRect(r.adjusted(-1, -1, 1, 1), kPageEdge);
        const auto found = m_cache.constFind(i);
        if (found == m_cache.constEnd() || found->image.isNull()) {
            painter.fillRect(r, kPlaceholder);
            continue;
        }
        const bool sharp = sameScale(found->scale, target);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, !sharp);
        painter.drawImage(QRectF(r), found->image);
        if (sharp && !m_painted.contains(i)) {
            m_painted.insert(i);
            emit pagePainted(i);
        }
    }
    pump();
}

void KPageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    applyZoom(m_zoom, m_fitWidth);
}

void KPageView::keyPressEvent(QKeyEvent *event)
{
    const int page = currentPage();
    switch (event->key()) {
    case Qt::Key_PageDown:
        goToPage(qMin(page + 1, pageCount() - 1));
        break;
    case Qt::Key_PageUp: {
        // First back to the top of the page being read, then to the page before.
        const bool atTop = pageRect(page).top() >= kGap - 1;
        goToPage(atTop ? qMax(0, page - 1) : page);
        break;
    }
    case Qt::Key_Home:
        goToPage(0);
        break;
    case Qt::Key_End:
        goToPage(pageCount() - 1);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void KPageView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int delta = event->angleDelta().y();
    if (delta > 0)
        zoomIn();
    else if (delta < 0)
        zoomOut();
    event->accept();
}

void KPageView::scrollContentsBy(int, int)
{
    viewport()->update();
    announcePage();
}

void KPageView::announcePage()
{
    const int page = currentPage();
    const int key = page * 100003 + pageCount();
    if (key == m_announced)
        return;
    m_announced = key;
    emit currentPageChanged(page, pageCount());
}

// The next page worth rendering: the ones in sight first, then the neighbours, so paging
// on finds the next page ready.
int KPageView::nextWanted() const
{
    const QPair<int, int> shown = visiblePages();
    if (shown.first < 0)
        return -1;
    QVector<int> order;
    const int current = qBound(shown.first, currentPage(), shown.second);
    order.append(current);
    for (int i = shown.first; i <= shown.second; ++i) {
        if (i != current)
            order.append(i);
    }
    if (shown.second + 1 < pageCount())
        order.append(shown.second + 1);
    if (shown.first > 0)
        order.append(shown.first - 1);
    const double target = deviceScale();
    for (int i : order) {
        const auto found = m_cache.constFind(i);
        if (found == m_cache.constEnd() || !sameScale(found->scale, target))
            return i;
    }
    return -1;
}

void KPageView::pump()
{
    if (m_busyJob || !m_source || !isVisible())
        return;
    const int page = nextWanted();
    if (page < 0)
        return;
    const int job = m_busyJob = ++m_lastJob;
    const double scale = deviceScale();
    const int generation = m_generation;
    std::shared_ptr<KPageSource> source = m_source;
    if (!source->rendersOffThread()) {
        QTimer::singleShot(0, this, [this, source, job, page, scale, generation] {
            deliver(job, page, scale, generation, generation == m_generation ? source->render(page, scale) : QImage());
        });
        return;
    }
    QPointer<KPageView> self(this);
    m_pool->start([self, source, job, page, scale, generation] {
        const QImage image = source->render(page, scale);
        // The view waits for this job before it goes, so it is still there to post to.
        QMetaObject::invokeMethod(self.data(), [self, job, page, scale, generation, image] {
            if (self)
                self->deliver(job, page, scale, generation, image);
        }, Qt::QueuedConnection);
    });
}

void KPageView::deliver(int job, int page, double scale, int generation, const QImage &image)
{
    if (job == m_busyJob)
        m_busyJob = 0;
    if (generation == m_generation && page < m_sizes.size()) {
        QImage shown = image;
        shown.setDevicePixelRatio(1.0);
        // A null image is kept too, so a page that cannot be drawn is not asked for again.
        const auto old = m_cache.constFind(page);
        if (old != m_cache.constEnd())
            m_cacheBytes -= old->image.sizeInBytes();
        m_cache.insert(page, {shown, scale});
        m_cacheBytes += shown.sizeInBytes();
        trimCache();
        // Pages measured only by drawing them may turn out another size.
        const QSizeF measured = m_source->pageSize(page);
        if (measured.isValid() && measured != m_sizes[page]) {
            m_sizes[page] = measured;
            applyZoom(m_zoom, m_fitWidth);
        }
    }
    viewport()->update();
    pump();
}

void KPageView::trimCache()
{
    const int current = qMax(0, currentPage());
    while (m_cacheBytes > kCacheBytes && m_cache.size() > 1) {
        int farthest = -1;
        for (auto it = m_cache.constBegin(); it != m_cache.constEnd(); ++it) {
            if (farthest < 0 || std::abs(it.key() - current) > std::abs(farthest - current))
                farthest = it.key();
        }
        m_cacheBytes -= m_cache.value(farthest).image.sizeInBytes();
        m_cache.remove(farthest);
    }
}
