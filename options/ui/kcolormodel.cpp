#include "kcolormodel.h"

#include <QtGlobal>

namespace kcolor {

QList<QColor> addRecentColor(const QList<QColor> &recent, const QColor &color)
{
    if (!color.isValid())
        return recent;
    QList<QColor> result{color};
    for (const QColor &old : recent) {
        if (old != color)
            result.append(old);
    }
    while (result.size() > MaxRecentColors)
        result.removeLast();
    return result;
}

int transparencyToAlpha(int transparency)
{
    const int t = qBound(0, transparency, 100);
    // 255 - t * 255 / 100, rounded half up, in integers: (25500 - 255 t + 50) / 100.
    return (25500 - 255 * t + 50) / 100;
}

QList<QColor> standardColors()
{
    static const QRgb values[] = {0xC11900, 0xFF2500, 0xFFC100, 0xFFFB01, 0x93D150, 0x01B150,
                                  0x01B1F1, 0x002060, 0x7130A0, 0xFFFFFF, 0x000000};
    QList<QColor> colors;
    for (QRgb value : values)
        colors.append(QColor(value));
    return colors;
}

namespace {

// A smooth field: hue runs along the columns (from pale yellows and greens), each row a
// step darker, from near-white at the top to deep tones at the bottom.
QVector<QRgb> makePresets()
{
    static const QRgb firstRow[] = {0xF9FBFA, 0xF9FBF8, 0xF9FBEE, 0xF8F9E7};
    QVector<QRgb> colors;
    colors.reserve(PresetCells);
    for (int row = 0; row < 20; ++row) {
        for (int column = 0; column < PresetColumns; ++column) {
            if (row == 0 && column < 4) {
                colors.append(firstRow[column]);
                continue;
            }
            const int hue = (60 + column * 18) % 360;
            const double t = row / 19.0;
            const double saturation = 0.25 + 0.6 * (row == 0 ? column / 19.0 * 0.4 : 1.0 - t * 0.3);
            const double lightness = 0.96 - 0.78 * t;
            colors.append(QColor::fromHslF(hue / 360.0, qBound(0.0, saturation, 1.0), lightness).rgb());
        }
    }
    static const QRgb neutral[] = {0xFFFFFF, 0xF8F8F8, 0xDDDDDD, 0xB2B2B2, 0x808080, 0x5F5F5F, 0x333333,
                                   0x1C1C1C, 0x080808, 0xEAEAEA, 0xC0C0C0, 0x969696, 0x777777,
                                   0x4D4D4D, 0x292929, 0x111111, 0x070707, 0x000000};
    for (QRgb value : neutral)
        colors.append(value | 0xFF000000u);
    for (QRgb &value : colors)
        value |= 0xFF000000u;
    return colors;
}

int moveInField(int cell, bool up)
{
    const int column = cell % PresetColumns;
    const int row = cell / PresetColumns;
    const int lastRow = PresetFieldCells / PresetColumns - 1;
    if (up && row > 0)
        return cell - PresetColumns;
    if (!up && row < lastRow)
        return cell + PresetColumns;
    // Leaving the field at the top wraps to the next column's bottom, at the bottom to the
    // previous column's top; past the last or first column lie the end cells.
    const int next = column + (up ? 1 : -1);
    if (next >= PresetColumns)
        return PresetFieldCells;
    if (next < 0)
        return PresetCells - 1;
    return up ? lastRow * PresetColumns + next : next;
}

} // namespace

const QVector<QRgb> &presetColors()
{
    static const QVector<QRgb> colors = makePresets();
    return colors;
}

int presetMove(int cell, int key)
{
    if (cell < 0 || cell >= PresetCells)
        return (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right) ? 0 : cell;
    switch (key) {
    case Qt::Key_Left:
        return qMax(0, cell - 1);
    case Qt::Key_Right:
        return qMin(PresetCells - 1, cell + 1);
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const bool up = key == Qt::Key_Up;
        if (cell < PresetFieldCells)
            return moveInField(cell, up);
        // Either key switches between the two grey rows.
        if (cell >= 401 && cell <= 408)
            return cell + 8;
        if (cell >= 409 && cell <= 416)
            return cell - 8;
        return cell; // the end cells have no row to switch to
    }
    default:
        return cell;
    }
}

int planeHue(int x, int width)
{
    if (width <= 1)
        return 0;
    // The last column would give 256, one past the scale.
    return qBound(0, qBound(0, x, width - 1) * 256 / (width - 1), 255);
}

int planeSaturation(int y, int height)
{
    if (height <= 1)
        return 255;
    return 255 - qBound(0, y, height - 1) * 255 / (height - 1);
}

} // namespace kcolor
