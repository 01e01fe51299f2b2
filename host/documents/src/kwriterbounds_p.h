#pragma once

#include <QString>

class QTextDocument;

// Bounds on the work QTextDocument does for a hostile document.

// How deeply an HTML text nests the elements that QTextDocument lays out as nested boxes.
// Its layout time grows steeply with the depth of tables and deep nesting overflows the
// stack, so the depth is measured before the text reaches it. Linear in the text; tolerant
// like a browser: unclosed elements stay open, stray end tags are ignored.
struct KHtmlNesting
{
    int tables = 0; // deepest table inside tables
    int blocks = 0; // deepest block (division, quote, list, table) inside blocks

    static KHtmlNesting measure(const QString &html);
};

namespace kwriterbounds {

// Qt finds where a line may end by looking ahead for the next chance to break, so a run of
// text without one (no space in a megabyte) is laid out in time that grows with the square
// of its length. Such runs get a zero-width space every kLongestRun characters: it shows
// nothing and lets a line end there. Returns how many were put in; call it before the
// document has a layout, so that nothing is laid out twice.
constexpr int kLongestRun = 1000;
int breakLongRuns(QTextDocument *document);

} // namespace kwriterbounds
