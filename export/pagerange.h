#pragma once

#include <QList>
#include <QMetaType>

// A run of pages, 1-based and inclusive. A range starting below 1 or ending before it
// starts holds no page.
struct PageRange
{
    qint32 first = 0;
    qint32 last = 0;

    PageRange() = default;
    PageRange(qint32 f, qint32 l) : first(f), last(l) {}

    bool isEmpty() const { return first < 1 || first > last; }
    bool operator==(const PageRange &o) const { return first == o.first && last == o.last; }
};

Q_DECLARE_METATYPE(PageRange)

// Number of distinct pages the ranges name, without expanding them (a range may span
// two billion pages).
qint64 countDistinctPages(const QList<PageRange> &ranges);

// The distinct pages of the ranges that exist in a document of pageCount pages,
// ascending; all pages when ranges is empty.
QList<int> selectedPageNumbers(const QList<PageRange> &ranges, int pageCount);
