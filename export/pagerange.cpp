#include "pagerange.h"

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
    if (ranges.isEmpty()) {
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
