#include "kwriterbounds_p.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVector>

#include <algorithm>
#include <array>

namespace {

// Elements that open a box of their own and stay open until their end tag.
const std::array<QLatin1String, 13> kBlocks = {
    QLatin1String("table"), QLatin1String("div"),    QLatin1String("blockquote"), QLatin1String("ul"),
    QLatin1String("ol"),    QLatin1String("dl"),     QLatin1String("center"),     QLatin1String("section"),
    QLatin1String("article"), QLatin1String("aside"), QLatin1String("header"),    QLatin1String("footer"),
    QLatin1String("nav")};

int blockIndex(const QString &name)
{
    const auto it = std::find(kBlocks.begin(), kBlocks.end(), name);
    return it == kBlocks.end() ? -1 : int(it - kBlocks.begin());
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber();
}

// The index just past the tag or markup that starts at i ('<'), quotes in attributes skipped.
int skipTag(const QString &html, int i)
{
    if (html.midRef(i, 4) == QLatin1String("<!--")) {
        const int end = html.indexOf(QLatin1String("-->"), i + 4);
        return end < 0 ? html.size() : end + 3;
    }
    QChar quote;
    for (++i; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('>')) {
            return i + 1;
        }
    }
    return i;
}

} // namespace

KHtmlNesting KHtmlNesting::measure(const QString &html)
{
    KHtmlNesting deepest;
    std::array<int, kBlocks.size()> open = {};
    int blocks = 0;
    for (int i = html.indexOf(QLatin1Char('<')); i >= 0 && i < html.size(); i = html.indexOf(QLatin1Char('<'), i)) {
        const bool closing = i + 1 < html.size() && html.at(i + 1) == QLatin1Char('/');
        int end = i + (closing ? 2 : 1);
        while (end < html.size() && isNameChar(html.at(end)))
            ++end;
        const int start = i + (closing ? 2 : 1);
        if (end == start && !(start < html.size() && html.at(start) == QLatin1Char('!'))) {
            ++i; // a "<" in the text
            continue;
        }
        const int kind = blockIndex(html.mid(start, end - start).toLower());
        i = skipTag(html, i);
        if (kind < 0)
            continue;
        if (closing && open[kind] > 0) {
            --open[kind];
            --blocks;
        } else if (!closing) {
            ++open[kind];
            deepest.blocks = std::max(deepest.blocks, ++blocks);
            deepest.tables = std::max(deepest.tables, open[0]);
        }
    }
    return deepest;
}

int kwriterbounds::breakLongRuns(QTextDocument *document)
{
    const QChar zeroWidthSpace(0x200B);
    QVector<int> positions;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        int run = 0;
        for (int i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c.isSpace() || c == zeroWidthSpace)
                run = 0;
            else if (++run >= kLongestRun && !c.isHighSurrogate() && i + 1 < text.size()) {
                positions << block.position() + i + 1;
                run = 0;
            }
        }
    }
    if (positions.isEmpty())
        return 0;
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (auto it = positions.crbegin(); it != positions.crend(); ++it) {
        cursor.setPosition(*it);
        cursor.insertText(QString(zeroWidthSpace));
    }
    cursor.endEditBlock();
    return positions.size();
}
