#pragma once

#include "krt.h"

#include <QRectF>
#include <QSize>
#include <QtGlobal>
#include <cmath>
#include <limits>

// Measures what a layout area becomes as a picture: its size in pixels at a whole-number
// scale, checked against the largest picture the edition allows.
class ImagePainter
{
public:
    explicit ImagePainter(int scale) : ImagePainter(scale, editionSizeLimit()) {}
    ImagePainter(int scale, int sizeLimit) : m_scale(qMax(1, scale)), m_limit(sizeLimit) {}

    // 10000 pixels a side; 3072 in the smaller editions (0, 5 and 7).
    static int editionSizeLimit()
    {
        const int edition = krt::product::versionID();
        return edition == 0 || edition == 5 || edition == 7 ? 3072 : 10000;
    }

    int scale() const { return m_scale; }
    int sizeLimit() const { return m_limit; }

    // Each side times the scale, rounded up; an invalid size beyond what a picture can hold.
    QSize pixelSize(const QRectF &area) const
    {
        const double w = std::ceil(area.width() * m_scale);
        const double h = std::ceil(area.height() * m_scale);
        const double most = std::numeric_limits<int>::max();
        if (!(w >= 0 && h >= 0 && w <= most && h <= most))
            return QSize(-1, -1);
        return QSize(int(w), int(h));
    }

    // Records the area's picture size; false when width times height exceeds the limit
    // squared (the picture may then be too large for some viewers and encoders).
    bool measure(const QRectF &area)
    {
        m_measured = pixelSize(area);
        const qint64 limit = qint64(m_limit) * m_limit;
        m_tooLarge = !m_measured.isValid() || qint64(m_measured.width()) * m_measured.height() > limit;
        return !m_tooLarge;
    }
    QSize measuredSize() const { return m_measured; }
    bool isTooLarge() const { return m_tooLarge; }

private:
    int m_scale;
    int m_limit;
    QSize m_measured;
    bool m_tooLarge = false;
};
