#pragma once

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMainWindow>

class QLabel;

namespace kpicture {

// Largest picture the viewer decodes, in pixels: a 16384-pixel-wide long picture of 131072
// rows (8 GiB held as 32-bit pixels). Larger ones are refused before any memory is taken.
constexpr qint64 kMaxPixels = qint64(16384) * 131072;

// Reads a picture for viewing, as 32-bit pixels (opaque or premultiplied) whose rows any
// column range can be taken from without copying. Returns why it cannot be shown, or "".
QString load(const QString &path, QImage *picture);

// Dots per inch from the picture's dots per metre, rounded; 0 when unknown.
int dotsPerInch(int dotsPerMeter);

} // namespace kpicture

// Shows one picture, at a zoom or fitted to the window, drawing only what is visible. Long
// pictures (past the 32767 rows a raster painter reaches) are drawn through read-only views
// of at most kTileRows rows; reduced zooms draw from a cache of smoothly scaled bands.
class KPictureView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    static constexpr int kTileRows = 16384;
    static constexpr double kMaxScale = 16.0;

    explicit KPictureView(QWidget *parent = nullptr);

    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }

    double scale() const { return m_scale; }
    bool isFitted() const { return m_fitted; }
    // The zoom at which the picture fits the viewport: whole, or by its width when whole it
    // would be a sliver (a long picture); never enlarged.
    double fitScale() const;
    static double fitScale(const QSize &picture, const QSize &area, int scrollBarExtent);

    // The picture point (in picture pixels) under a point of the viewport.
    QPointF pictureAt(const QPointF &point) const;

    void setScale(double scale);
    void fit();
    void zoomIn();
    void zoomOut();

signals:
    void scaleChanged(double scale);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    QSize scaledSize() const;
    // Where the picture's top left lies in the viewport: centred while it is smaller.
    QPoint origin() const;
    void updateScrollBars();
    // Keeps the picture point under the viewport point in place while the zoom changes.
    void applyScale(double scale, bool fitted, const QPointF &anchor);
    void paintDirect(QPainter &painter, const QRect &visible, const QPoint &origin);
    void paintBands(QPainter &painter, const QRect &visible, const QPoint &origin, qreal ratio);
    const QImage &band(int index, double deviceScale, int bandRows);
    QImage scaledBand(int index, double deviceScale, int bandRows) const;
    void dropBands();
    QImage rows(int y0, int y1) const;

    QImage m_picture;
    double m_scale = 1.0;
    bool m_fitted = true;
    // Scaled bands for one device scale and pixel ratio, dropped beyond a memory budget
    // (oldest first).
    double m_bandScale = 0;
    qreal m_bandRatio = 0;
    QHash<int, QImage> m_bands;
    QList<int> m_bandOrder;
    qint64 m_bandBytes = 0;
};

// The window around the view: the file's size and resolution in the title and status line.
class KPictureViewer : public QMainWindow
{
    Q_OBJECT
public:
    KPictureViewer(const QString &path, const QImage &picture, QWidget *parent = nullptr);

    KPictureView *view() const { return m_view; }
    QString statusText() const;

private:
    void updateStatus();

    QString m_path;
    KPictureView *m_view;
    QLabel *m_status;
};
