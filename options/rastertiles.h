#pragma once

#include <QImage>
#include <QRect>

#include <functional>

class QPainter;

// Qt's raster painter drops everything past device coordinate 32767, so a tall or wide
// picture is painted tile by tile: each tile is a view onto the picture's own memory and
// the painter is translated so callers keep drawing in picture coordinates.
namespace krastertiles {

// Largest side one painter may address.
constexpr int kMaxPaintSide = 16384;

// Calls visit once per tile with a picture that shares the tile's memory (the picture
// itself when it is within the limit); visit returns false to stop early.
bool forEachTile(QImage &image, const std::function<bool(QImage &view, const QRect &tile)> &visit,
                 int maxSide = kMaxPaintSide);

// Clips a painter on a tile's view to the tile and moves it to picture coordinates.
void aimAtTile(QPainter &painter, const QRect &tile);

// Calls paint once per tile with a painter in picture coordinates, clipped to the tile
// (given in picture coordinates). Pictures within the limit get one call on themselves.
// paint returns false to stop early (a cancel); the result says whether every tile ran.
bool paintInTiles(QImage &image, const std::function<bool(QPainter &, const QRect &tile)> &paint,
                  int maxSide = kMaxPaintSide);

} // namespace krastertiles
