#pragma once

#include <QString>

class QTextDocument;

// Bounds on the work QTextDocument does for a hostile document.

// How deeply an HTML text nests its elements. QTextDocument's time grows steeply with the
// depth of tables and with deep nesting of any element, and very deep nesting overflows
// the stack, so the depth is measured before the text reaches it. Linear in the text;
// tolerant like a browser: unclosed elements stay open, stray end tags are ignored, and
// elements that end by themselves (a cell, a paragraph, a line break) do not nest.
struct KHtmlNesting
{
    int tables = 0;   // deepest table inside tables
    int elements = 0; // deepest element inside elements

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
