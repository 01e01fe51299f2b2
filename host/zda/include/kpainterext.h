#pragma once

#include <QPaintDevice>
#include <QPainter>

// The host's painter for layouts. In page coordinates the origin is the device's top-left
// corner and one unit is one layout unit (a pixel at 96 dots per inch) on one device pixel,
// whatever resolution the device declares; a zoom set on top makes larger pictures.
class PainterExt : public QPainter
{
public:
    PainterExt() = default;
    explicit PainterExt(QPaintDevice *device) : QPainter(device) {}

    void setupPageCoordinates()
    {
        resetTransform();
        m_pageCoordinates = true;
    }
    bool hasPageCoordinates() const { return m_pageCoordinates; }

private:
    bool m_pageCoordinates = false;
};
