#pragma once

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QVector>

#include <memory>

class KPageSource;
class QThreadPool;

// The pages of a document one below the other, scrolled continuously. Only the pages in
// sight are drawn; they are rendered on a worker thread when the back-end allows it, kept
// while the cache has room, and shown stretched from another zoom until the sharp copy
// arrives.
class KPageView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    static constexpr double kMinZoom = 0.1;
    static constexpr double kMaxZoom = 8.0;
    static constexpr double kZoomStep = 1.25;
    static constexpr int kGap = 12;
    static constexpr qint64 kCacheBytes = qint64(256) * 1024 * 1024;

    explicit KPageView(QWidget *parent = nullptr);
    ~KPageView() override;

    void setSource(std::shared_ptr<KPageSource> source);
    // Reads the pages again after the document changed; keeps the current page in sight.
    void reload();

    int pageCount() const { return m_sizes.size(); }
    // 0-based; -1 without pages.
    int currentPage() const;
    double zoom() const { return m_zoom; }
    bool isFitWidth() const { return m_fitWidth; }
    // Where page i lies in the scrolled content, in widget pixels.
    QRect pageRect(int i) const;
    // The pages whose rectangles meet the viewport.
    QPair<int, int> visiblePages() const;
    // Whether page i is shown sharp (rendered at the current zoom).
    bool isPageReady(int i) const;
    QSize contentSize() const;

    void setZoom(double zoom);
    void zoomIn();
    void zoomOut();
    void fitWidth();
    void goToPage(int i);

signals:
    void currentPageChanged(int page, int count);
    void zoomChanged(double zoom);
    // A page was rendered and painted sharp; the first one tells how fast the view opens.
    void pagePainted(int page);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Cached
    {
        QImage image;
        double scale = 0;
    };

    double deviceScale() const;
    double fitWidthZoom() const;
    int pageAt(int contentY) const;
    int nextWanted() const;
    void relayout();
    void updateScrollBars();
    void applyZoom(double zoom, bool fitWidth);
    void pump();
    void deliver(int job, int page, double scale, int generation, const QImage &image);
    void trimCache();
    void announcePage();
    void stopRendering();

    std::shared_ptr<KPageSource> m_source;
    QThreadPool *m_pool;
    QVector<QSizeF> m_sizes;
    QVector<int> m_tops; // at the current zoom, in content pixels
    int m_contentWidth = 0;
    int m_contentHeight = 0;
    double m_zoom = 1.0;
    bool m_fitWidth = true;
    // Bumped by a new zoom or document: renders asked for before are not kept.
    int m_generation = 0;
    int m_lastJob = 0;
    int m_busyJob = 0; // the render in flight, 0 when none
    QHash<int, Cached> m_cache;
    qint64 m_cacheBytes = 0;
    QSet<int> m_painted;
    int m_announced = -2;
};
