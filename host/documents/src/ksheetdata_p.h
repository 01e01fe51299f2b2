#pragma once

#include <kspreadsheet.h>

#include <QImage>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QVector>

class QPainter;

// Something placed over the cells: a picture, or a note shown beside its cell.
struct KSheetItem
{
    KCellRange range; // the cells it covers
    QRectF rect;      // layout units
    QImage picture;
    QString note;
    int noteRow = -1; // the cell a note belongs to
    int noteColumn = -1;
};

// One worksheet: its cells, column widths and row heights, and the items over it.
// Layout units are pixels at 96 dots per inch. Immutable once made, so any thread may
// read and paint it.
class KSheetData
{
public:
    static constexpr int kRows = 1048576;
    static constexpr int kColumns = 16384;

    // cells as read from a CSV file; sideFile (may be empty) adds widths, heights,
    // alignments, pictures and notes; pictures are found relative to folder.
    KSheetData(const QList<QStringList> &cells, const QString &sideFile, const QString &folder);

    KCellRange usedRange() const { return m_used; }
    const QList<KSheetItem> &pictures() const { return m_pictures; }
    const QList<KSheetItem> &notes() const { return m_notes; }
    QString watermark() const { return m_watermark; }
    QStringList warnings() const { return m_warnings; }
    QString cell(int row, int column) const;

    double columnLeft(int column) const;
    double rowTop(int row) const;
    QRectF cellsRect(const KCellRange &range) const;
    KCellRange cellsUnder(const QRectF &rect) const;

    // Paints area at the painter's origin in the painter's current units.
    void draw(QPainter *painter, const QRectF &area, bool plainWatermark) const;

    // "B3" → row 2, column 1; false for anything else or beyond the sheet.
    static bool parseCell(const QString &text, int *row, int *column);
    static bool parseRange(const QString &text, KCellRange *range);

private:
    struct Directives;
    void readSideFile(const QString &text, const QString &folder, Directives *out);
    bool layOut(const Directives &directives); // false when the opening is cancelled
    void placeItems(const Directives &directives);
    int columnAt(double x) const;
    int rowAt(double y) const;
    Qt::Alignment alignmentOf(int row, int column) const;
    void drawGrid(QPainter *painter, const KCellRange &cells, const QRectF &area) const;
    void drawCells(QPainter *painter, const KCellRange &cells, const QRectF &area) const;
    void drawNote(QPainter *painter, const KSheetItem &note) const;
    void drawWatermark(QPainter *painter, const QRectF &area) const;

    QList<QStringList> m_cells;
    KCellRange m_used;
    QVector<double> m_columnLeft; // edges of the columns with a width of their own
    QVector<double> m_rowTop;
    QMap<int, Qt::Alignment> m_alignments;
    QList<KSheetItem> m_pictures;
    QList<KSheetItem> m_notes;
    QString m_watermark;
    QStringList m_warnings;
};
