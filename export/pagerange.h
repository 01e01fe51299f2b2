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
// ascending; all pages when the ranges name no page at all (none given, or only empty ones).
QList<int> selectedPageNumbers(const QList<PageRange> &ranges, int pageCount);

// Parses a page-range text such as "1,3,5-10" for a document of pageCount pages. Every
// section must name pages that exist, first not above last; an empty section, a leading
// "," or "-", or a section with two dashes makes the whole text invalid.
bool parsePageRanges(const QString &text, int pageCount, QList<PageRange> *ranges);
