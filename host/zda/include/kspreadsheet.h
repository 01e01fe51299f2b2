#pragma once

#include "kunknown.h"

#include <QRectF>

class ImagePainter;
class PainterExt;

// A block of cells, rows and columns 0-based and inclusive. Empty while any index is
// negative or a first index lies beyond its last.
struct KCellRange
{
    int firstRow = -1;
    int lastRow = -1;
    int firstColumn = -1;
    int lastColumn = -1;

    bool isEmpty() const
    {
        return firstRow < 0 || firstColumn < 0 || firstRow > lastRow || firstColumn > lastColumn;
    }
    int rowCount() const { return isEmpty() ? 0 : lastRow - firstRow + 1; }
    int columnCount() const { return isEmpty() ? 0 : lastColumn - firstColumn + 1; }
};

// Automation interfaces of a spreadsheet, from the running application down to the
// layout that paints a sheet. Every object handed out carries a reference the caller
// releases. Layout units are pixels at 96 dots per inch.

struct IKCellRange : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{5C0B7E20-93A4-4F1D-A6E2-71D3B84C0F5A}")); }
    virtual long bounds(KCellRange *range) = 0;
};

// A picture, chart or note placed over the cells.
struct IKSheetObject : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{5C0B7E21-93A4-4F1D-A6E2-71D3B84C0F5A}")); }
    // The cells the object covers.
    virtual long anchorRange(IKCellRange **range) = 0;
};

struct IKSheetObjects : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{5C0B7E22-93A4-4F1D-A6E2-71D3B84C0F5A}")); }
    virtual long count(int *count) = 0;
    // Object i, 0-based.
    virtual long item(int i, IKSheetObject **object) = 0;
};

struct IKSheetLayout : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{5C0B7E23-93A4-4F1D-A6E2-71D3B84C0F5A}")); }
    // The rectangle the cells of range take, in layout units, measured by painter at its
    // scale against its size limit. values: rows, columns, and the picture's width and
    // height in pixels at the painter's scale.
    virtual long drawingArea(IKCellRange *range, ImagePainter *painter, QRectF *area, int values[4]) = 0;
    // Paints area (layout units) at the painter's origin: grid lines, cell text and the
    // pictures and notes over the cells. The painter must be in page coordinates.
    // plainWatermark adds the document's own watermark text.
    virtual long draw(PainterExt *painter, const QRectF &area, bool plainWatermark) = 0;
};

struct IKWorksheet : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{5C0B7E24-93A4-4F1D-A6E2-71D3B84C0F5A}")); }
    // How many rows and columns a sheet can have.
    virtual long rowCount(int *count) = 0;
    virtual long columnCount(int *count) = 0;
    // The cells holding values; K_FALSE and null when the sheet has none.
    virtual long usedRange(IKCellRange **range) = 0;
    // Pictures and charts.
    virtual long drawingObjects(IKSheetObjects **objects) = 0;
    // Everything else anchored to cells (notes).
    virtual long anchoredObjects(IKSheetObjects **objects) = 0;
    // A reference to a block of this sheet; fails unless the block is non-empty and inside
    // the sheet.
    virtual long range(const KCellRange &cells, IKCellRange **range) = 0;
    virtual long layout(IKSheetLayout **layout) = 0;
};

struct IKDocumentSecurity : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{5C0B7E25-93A4-4F1D-A6E2-71D3B84C0F5A}")); }
    virtual long showPlainWatermarkWhenPrint(bool *show) = 0;
};

struct IKWorkbook : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{5C0B7E26-93A4-4F1D-A6E2-71D3B84C0F5A}")); }
    virtual long activeSheet(IKWorksheet **sheet) = 0;
    virtual long documentSecurity(IKDocumentSecurity **security) = 0;
};

// The spreadsheet component's application object, as the core application holds it.
struct IKSheetApplication : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{5C0B7E27-93A4-4F1D-A6E2-71D3B84C0F5A}")); }
    virtual long activeWorkbook(IKWorkbook **workbook) = 0;
};
