#pragma once

#include <QColor>
#include <QList>
#include <QRgb>
#include <QVector>

// The value rules behind the colour pickers, free of widgets.
namespace kcolor {

constexpr int MaxRecentColors = 11;

// The recent list after choosing colour: it moves to the front, the oldest drops when full.
QList<QColor> addRecentColor(const QList<QColor> &recent, const QColor &color);

// Transparency in percent (clamped to 0..100) to an alpha of 255..0, rounded half up.
int transparencyToAlpha(int transparency);

// The panel's standard colours in display order.
QList<QColor> standardColors();

// The preset grid: a 20 x 20 field (0..399), then the end cell 400, two rows of eight greys
// (401..408, 409..416) and the end cell 417.
constexpr int PresetColumns = 20;
constexpr int PresetFieldCells = 400;
constexpr int PresetCells = 418;
const QVector<QRgb> &presetColors();
// The cell an arrow key moves to from cell (or from none, -1); other keys keep it.
int presetMove(int cell, int key);

// The hue/saturation plane: the value at a position of a plane extent pixels wide (or high),
// on the 0..255 scale. Planes of one pixel and positions outside are clamped.
int planeHue(int x, int width);
int planeSaturation(int y, int height);

} // namespace kcolor
