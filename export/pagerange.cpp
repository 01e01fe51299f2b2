#include "pagerange.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace {

// Sorted, non-overlapping copies of the non-empty ranges, clipped to [1, limit].
QList<PageRange> mergedRanges(const QList<PageRange> &ranges, qint32 limit)
{
    QList<PageRange> valid;
    for (const PageRange &r : ranges) {
        if (r.isEmpty() || r.first > limit)
            continue;
        valid.append(PageRange(r.first, std::min(r.last, limit)));
    }
    std::sort(valid.begin(), valid.end(),
              [](const PageRange &a, const PageRange &b) { return a.first < b.first; });
    QList<PageRange> merged;
    for (const PageRange &r : valid) {
        if (!merged.isEmpty() && qint64(r.first) <= qint64(merged.last().last) + 1)
            merged.last().last = std::max(merged.last().last, r.last);
        else
            merged.append(r);
    }
    return merged;
}

} // namespace

qint64 countDistinctPages(const QList<PageRange> &ranges)
{
    qint64 count = 0;
    for (const PageRange &r : mergedRanges(ranges, std::numeric_limits<qint32>::max()))
        count += qint64(r.last) - r.first + 1;
    return count;
}

QList<int> selectedPageNumbers(const QList<PageRange> &ranges, int pageCount)
{
    QList<int> pages;
    if (pageCount <= 0)
        return pages;
    // Ranges that name no page at all (0-2, 4-3) select nothing, which is the whole document.
    if (countDistinctPages(ranges) == 0) {
        for (int p = 1; p <= pageCount; ++p)
            pages.append(p);
        return pages;
    }
    for (const PageRange &r : mergedRanges(ranges, pageCount)) {
        for (int p = r.first; p <= r.last; ++p)
            pages.append(p);
    }
    return pages;
}

bool parsePageRanges(const QString &text, int pageCount, QList<PageRange> *ranges)
{
    QList<PageRange> parsed;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(',')) || trimmed.startsWith(QLatin1Char('-')))
        return false;
    for (const QString &section : trimmed.split(QLatin1Char(','))) {
        const QStringList ends = section.split(QLatin1Char('-'));
        if (ends.size() > 2 || ends.first().isEmpty() || ends.last().isEmpty())
            return false;
        bool okFirst = false;
        bool okLast = false;
        const int first = ends.first().toInt(&okFirst);
        const int last = ends.last().toInt(&okLast);
        if (!okFirst || !okLast || first < 1 || first > last || last > pageCount)
            return false;
        parsed.append(PageRange(first, last));
    }
    if (ranges)
        *ranges = parsed;
    return true;
}
