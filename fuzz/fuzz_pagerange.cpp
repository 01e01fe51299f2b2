#include "fuzzsupport.h"

#include <pagerange.h>

KFUZZ_INIT

// The first two bytes are the page count; the rest is the text a person typed.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const int pageCount = (data[0] << 8 | data[1]) % 2000;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 2), int(size - 2));
    QList<PageRange> ranges;
    if (!parsePageRanges(text, pageCount, &ranges))
        return 0;
    // An accepted text names only pages that exist, so the selection is exactly its pages.
    const QList<int> pages = selectedPageNumbers(ranges, pageCount);
    const qint64 distinct = countDistinctPages(ranges);
    if (distinct > pageCount || (distinct > 0 && pages.size() != distinct))
        std::abort();
    for (int i = 0; i < pages.size(); ++i)
        if (pages.at(i) < 1 || pages.at(i) > pageCount || (i > 0 && pages.at(i) <= pages.at(i - 1)))
            std::abort();
    return 0;
}
