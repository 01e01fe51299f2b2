#include "ksheetdata_p.h"

#include "kopeningcancel.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QRegularExpression>
#include <QTextOption>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kDefaultWidth = 64;
constexpr double kDefaultHeight = 20;
constexpr double kMaxAutoWidth = 400;
constexpr double kPadding = 4;
constexpr double kLargestExtent = 100000; // widest column or tallest row a side file may set
constexpr double kNoteWidth = 180;
const QColor kGrid(212, 212, 212);
const QColor kText(34, 34, 34);

QFont cellFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    return font;
}

QFont noteFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    return font;
}

bool isNumber(const QString &text)
{
    bool ok = false;
    QLocale::c().toDouble(text.trimmed(), &ok);
    return ok;
}

// "B" → 1, "AA" → 26; -1 for anything else or beyond the sheet.
int columnOf(const QString &letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return -1;
    int column = 0;
    for (const QChar c : letters) {
        const QChar u = c.toUpper();
        if (u < QLatin1Char('A') || u > QLatin1Char('Z'))
            return -1;
        column = column * 26 + (u.unicode() - 'A' + 1);
    }
    return column <= KSheetData::kColumns ? column - 1 : -1;
}

double noteHeight(const QString &text)
{
    const QFontMetricsF metrics(noteFont());
    const QRectF box = metrics.boundingRect(QRectF(0, 0, kNoteWidth - 12, 10000), Qt::TextWordWrap, text);
    return std::max(40.0, box.height() + 12);
}

QVector<double> edges(const QVector<double> &sizes)
{
    QVector<double> result(sizes.size() + 1, 0.0);
    for (int i = 0; i < sizes.size(); ++i)
        result[i + 1] = result[i] + sizes[i];
    return result;
}

int indexAt(const QVector<double> &edge, double defaultSize, double position, int limit)
{
    int index;
    if (position < 0)
        index = 0;
    else if (position >= edge.last())
        index = edge.size() - 1 + int(std::min<double>(limit, std::floor((position - edge.last()) / defaultSize)));
    else
        index = int(std::upper_bound(edge.begin(), edge.end(), position) - edge.begin()) - 1;
    return std::min(index, limit - 1);
}

} // namespace

struct KSheetData::Directives
{
    QMap<int, double> widths;
    QMap<int, double> heights;
    struct Picture
    {
        KCellRange at;
        bool stretched = false;
        QImage image;
    };
    QList<Picture> pictures;
    struct Note
    {
        int row = 0;
        int column = 0;
        QString text;
    };
    QList<Note> notes;
};

KSheetData::KSheetData(const QList<QStringList> &cells, const QString &sideFile, const QString &folder)
    : m_cells(cells)
{
    if (m_cells.size() > kRows) {
        m_warnings << QCoreApplication::translate("KSheetBackend", "rows beyond %1 are not loaded").arg(kRows);
        m_cells = m_cells.mid(0, kRows);
    }
    for (int r = 0; r < m_cells.size(); ++r) {
        if (m_cells[r].size() > kColumns)
            m_cells[r] = m_cells[r].mid(0, kColumns);
        for (int c = 0; c < m_cells[r].size(); ++c) {
            if (m_cells[r][c].isEmpty())
                continue;
            if (m_used.isEmpty())
                m_used = {r, r, c, c};
            m_used.firstRow = std::min(m_used.firstRow, r);
            m_used.lastRow = std::max(m_used.lastRow, r);
            m_used.firstColumn = std::min(m_used.firstColumn, c);
            m_used.lastColumn = std::max(m_used.lastColumn, c);
        }
    }
    Directives directives;
    readSideFile(sideFile, folder, &directives);
    if (!layOut(directives))
        return; // cancelled: the sheet is dropped unused
    placeItems(directives);
    for (const QString &warning : qAsConst(m_warnings))
        qWarning().noquote() << "sheet:" << warning;
}

QString KSheetData::cell(int row, int column) const
{
    if (row < 0 || row >= m_cells.size() || column < 0)
        return QString();
    return m_cells.at(row).value(column);
}

bool KSheetData::parseCell(const QString &text, int *row, int *column)
{
    static const QRegularExpression cellRef(QStringLiteral("^([A-Za-z]{1,3})([0-9]{1,7})$"));
    const QRegularExpressionMatch m = cellRef.match(text);
    if (!m.hasMatch())
        return false;
    const int c = columnOf(m.captured(1));
    const int r = m.captured(2).toInt() - 1;
    if (c < 0 || r < 0 || r >= kRows)
        return false;
    *row = r;
    *column = c;
    return true;
}

bool KSheetData::parseRange(const QString &text, KCellRange *range)
{
    const QStringList ends = text.split(QLatin1Char(':'));
    if (ends.size() > 2)
        return false;
    KCellRange r;
    if (!parseCell(ends.first(), &r.firstRow, &r.firstColumn))
        return false;
    r.lastRow = r.firstRow;
    r.lastColumn = r.firstColumn;
    if (ends.size() == 2 && !parseCell(ends.last(), &r.lastRow, &r.lastColumn))
        return false;
    if (r.isEmpty())
        return false;
    *range = r;
    return true;
}

// One directive a line: "width B 120", "height 3 40", "align C right", "picture B3 logo.png",
// "picture B3:D8 chart.png", "note F2 text", "watermark text"; "#" starts a comment.
void KSheetData::readSideFile(const QString &text, const QString &folder, Directives *out)
{
    static const QRegularExpression line(QStringLiteral("^(\\S+)\\s+(\\S+)\\s*(.*)$"));
    const QStringList lines = QString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString l = lines.at(i).trimmed();
        if (l.isEmpty() || l.startsWith(QLatin1Char('#')))
            continue;
        const QRegularExpressionMatch m = line.match(l);
        const QString key = m.captured(1).toLower();
        const QString where = m.captured(2);
        const QString rest = m.captured(3);
        bool ok = m.hasMatch();
        if (ok && (key == QLatin1String("width") || key == QLatin1String("height"))) {
            const bool width = key == QLatin1String("width");
            const int index = width ? columnOf(where) : where.toInt() - 1;
            const double size = rest.toDouble(&ok);
            ok = ok && index >= 0 && index < (width ? kColumns : kRows) && size > 0 && size <= kLargestExtent;
            if (ok)
                (width ? out->widths : out->heights).insert(index, size);
        } else if (ok && key == QLatin1String("align")) {
            const int column = columnOf(where);
            static const QMap<QString, Qt::Alignment> kinds = {
                {QStringLiteral("left"), Qt::AlignLeft},
                {QStringLiteral("center"), Qt::AlignHCenter},
                {QStringLiteral("right"), Qt::AlignRight}};
            ok = column >= 0 && kinds.contains(rest.toLower());
            if (ok)
                m_alignments.insert(column, kinds.value(rest.toLower()));
        } else if (ok && key == QLatin1String("picture")) {
            Directives::Picture picture;
            picture.stretched = where.contains(QLatin1Char(':'));
            picture.image = QImage(QDir(folder).absoluteFilePath(rest));
            ok = parseRange(where, &picture.at) && !picture.image.isNull();
            if (ok)
                out->pictures << picture;
        } else if (ok && key == QLatin1String("note")) {
            Directives::Note note;
            note.text = rest;
            ok = parseCell(where, &note.row, &note.column) && !rest.isEmpty();
            if (ok)
                out->notes << note;
        } else if (ok && key == QLatin1String("watermark")) {
            m_watermark = (where + QLatin1Char(' ') + rest).trimmed();
        } else {
            ok = false;
        }
        if (!ok)
            m_warnings << QCoreApplication::translate("KSheetBackend", "line %1 of the side file ignored: %2").arg(i + 1).arg(l);
    }
}

bool KSheetData::layOut(const Directives &directives)
{
    int columns = m_used.isEmpty() ? 0 : m_used.lastColumn + 1;
    if (!directives.widths.isEmpty())
        columns = std::max(columns, directives.widths.lastKey() + 1);
    int rows = m_cells.size();
    if (!directives.heights.isEmpty())
        rows = std::max(rows, directives.heights.lastKey() + 1);

    const QFontMetricsF metrics(cellFont());
    QVector<double> widths(columns, kDefaultWidth);
    QVector<double> heights(rows, kDefaultHeight);
    for (int r = 0; r < m_cells.size(); ++r) {
        if (kopening::cancelRequested())
            return false;
        for (int c = 0; c < m_cells.at(r).size() && c < columns; ++c) {
            const QString &text = m_cells.at(r).at(c);
            if (text.isEmpty())
                continue;
            const QStringList lines = text.split(QLatin1Char('\n'));
            double widest = 0;
            for (const QString &line : lines)
                widest = std::max(widest, metrics.horizontalAdvance(line));
            widths[c] = std::max(widths[c], std::min(kMaxAutoWidth, std::ceil(widest + 2 * kPadding + 2)));
            heights[r] = std::max(heights[r], std::ceil(lines.size() * metrics.lineSpacing() + 6));
        }
    }
    for (auto it = directives.widths.begin(); it != directives.widths.end(); ++it)
        widths[it.key()] = it.value();
    for (auto it = directives.heights.begin(); it != directives.heights.end(); ++it)
        heights[it.key()] = it.value();
    m_columnLeft = edges(widths);
    m_rowTop = edges(heights);
    return true;
}

void KSheetData::placeItems(const Directives &directives)
{
    for (const Directives::Picture &p : directives.pictures) {
        KSheetItem item;
        item.picture = p.image;
        item.rect = p.stretched ? cellsRect(p.at)
                                : QRectF(QPointF(columnLeft(p.at.firstColumn), rowTop(p.at.firstRow)),
                                         QSizeF(p.image.size()));
        item.range = cellsUnder(item.rect);
        m_pictures << item;
    }
    for (const Directives::Note &n : directives.notes) {
        KSheetItem item;
        item.note = n.text;
        item.noteRow = n.row;
        item.noteColumn = n.column;
        item.rect = QRectF(columnLeft(n.column + 1) + 12, rowTop(n.row) + 2, kNoteWidth, noteHeight(n.text));
        item.range = cellsUnder(item.rect);
        item.range.firstColumn = std::min(item.range.firstColumn, n.column);
        item.range.firstRow = std::min(item.range.firstRow, n.row);
        m_notes << item;
    }
}

double KSheetData::columnLeft(int column) const
{
    const int own = m_columnLeft.size() - 1;
    return column <= own ? m_columnLeft.at(std::max(0, column)) : m_columnLeft.last() + (column - own) * kDefaultWidth;
}

double KSheetData::rowTop(int row) const
{
    const int own = m_rowTop.size() - 1;
    return row <= own ? m_rowTop.at(std::max(0, row)) : m_rowTop.last() + (row - own) * kDefaultHeight;
}

int KSheetData::columnAt(double x) const
{
    return indexAt(m_columnLeft, kDefaultWidth, x, kColumns);
}

int KSheetData::rowAt(double y) const
{
    return indexAt(m_rowTop, kDefaultHeight, y, kRows);
}

QRectF KSheetData::cellsRect(const KCellRange &range) const
{
    if (range.isEmpty())
        return QRectF();
    const double left = columnLeft(range.firstColumn);
    const double top = rowTop(range.firstRow);
    return QRectF(left, top, columnLeft(range.lastColumn + 1) - left, rowTop(range.lastRow + 1) - top);
}

// The cells the rectangle touches; its right and bottom edges belong to the cells before them.
KCellRange KSheetData::cellsUnder(const QRectF &rect) const
{
    KCellRange range;
    range.firstColumn = columnAt(rect.left());
    range.firstRow = rowAt(rect.top());
    range.lastColumn = std::max(range.firstColumn, columnAt(rect.right() - 0.01));
    range.lastRow = std::max(range.firstRow, rowAt(rect.bottom() - 0.01));
    return range;
}

Qt::Alignment KSheetData::alignmentOf(int row, int column) const
{
    if (m_alignments.contains(column))
        return m_alignments.value(column);
    return isNumber(cell(row, column)) ? Qt::AlignRight : Qt::AlignLeft;
}

void KSheetData::draw(QPainter *painter, const QRectF &area, bool plainWatermark) const
{
    painter->save();
    painter->setClipRect(QRectF(QPointF(0, 0), area.size()), Qt::IntersectClip);
    painter->translate(-area.topLeft());
    painter->fillRect(area, Qt::white);
    // Only the cells under the painter's clip: a picture painted tile by tile asks for the
    // same area many times.
    const QRectF visible = area.intersected(painter->clipBoundingRect());
    if (visible.isEmpty()) {
        painter->restore();
        return;
    }
    const KCellRange cells = cellsUnder(visible);
    drawGrid(painter, cells, area);
    drawCells(painter, cells, area);
    for (const KSheetItem &picture : m_pictures) {
        if (picture.rect.intersects(area))
            painter->drawImage(picture.rect, picture.picture);
    }
    for (const KSheetItem &note : m_notes) {
        if (note.rect.intersects(area) || cellsRect({note.noteRow, note.noteRow, note.noteColumn, note.noteColumn}).intersects(area))
            drawNote(painter, note);
    }
    if (plainWatermark && !m_watermark.isEmpty())
        drawWatermark(painter, area);
    painter->restore();
}

// One device pixel wide whatever the zoom, filled rather than stroked so that every line
// lands on whole pixels; the closing lines sit inside the area.
void KSheetData::drawGrid(QPainter *painter, const KCellRange &cells, const QRectF &area) const
{
    const double zoom = painter->deviceTransform().m11();
    const double pixel = zoom > 0 ? 1.0 / zoom : 1.0;
    for (int c = cells.firstColumn; c <= cells.lastColumn; ++c)
        painter->fillRect(QRectF(columnLeft(c), area.top(), pixel, area.height()), kGrid);
    painter->fillRect(QRectF(area.right() - pixel, area.top(), pixel, area.height()), kGrid);
    for (int r = cells.firstRow; r <= cells.lastRow; ++r)
        painter->fillRect(QRectF(area.left(), rowTop(r), area.width(), pixel), kGrid);
    painter->fillRect(QRectF(area.left(), area.bottom() - pixel, area.width(), pixel), kGrid);
}

void KSheetData::drawCells(QPainter *painter, const KCellRange &cells, const QRectF &area) const
{
    painter->save();
    painter->setFont(cellFont());
    painter->setPen(kText);
    const int lastRow = std::min(cells.lastRow, m_cells.size() - 1);
    for (int r = cells.firstRow; r <= lastRow; ++r) {
        const int lastColumn = std::min(cells.lastColumn, m_cells.at(r).size() - 1);
        for (int c = cells.firstColumn; c <= lastColumn; ++c) {
            const QString &text = m_cells.at(r).at(c);
            if (text.isEmpty())
                continue;
            const QRectF box = cellsRect({r, r, c, c});
            painter->setClipRect(box.intersected(area), Qt::ReplaceClip); // text stays in its cell
            painter->drawText(box.adjusted(kPadding, 0, -kPadding, 0), alignmentOf(r, c) | Qt::AlignVCenter, text);
        }
    }
    painter->restore();
}

void KSheetData::drawNote(QPainter *painter, const KSheetItem &note) const
{
    const QRectF cellBox = cellsRect({note.noteRow, note.noteRow, note.noteColumn, note.noteColumn});
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QPointF corner = cellBox.topRight();
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(220, 30, 30));
    painter->drawPolygon(QPolygonF({corner - QPointF(7, 0), corner, corner + QPointF(0, 7)}));
    painter->setPen(QPen(QColor(120, 120, 120), 0));
    painter->drawLine(corner, QPointF(note.rect.left(), note.rect.top() + 8));
    painter->setPen(QPen(QColor(201, 180, 88), 0));
    painter->setBrush(QColor(255, 249, 196));
    painter->drawRect(note.rect);
    painter->setFont(noteFont());
    painter->setPen(kText);
    painter->drawText(note.rect.adjusted(6, 6, -6, -6), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, note.note);
    painter->restore();
}

void KSheetData::drawWatermark(QPainter *painter, const QRectF &area) const
{
    painter->save();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(int(std::clamp(std::min(area.width(), area.height()) / 5, 12.0, 200.0)));
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(QColor(128, 128, 128, 70));
    painter->translate(area.center());
    painter->rotate(-30);
    painter->drawText(QRectF(-area.width(), -area.height(), 2 * area.width(), 2 * area.height()), Qt::AlignCenter,
                      m_watermark);
    painter->restore();
}
