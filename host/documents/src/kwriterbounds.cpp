#include "kwriterbounds_p.h"

#include <QHash>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVector>

#include <algorithm>

namespace {

// Elements without content, or that the next of their kind or their parent's end closes.
const QSet<QString> &notNesting()
{
    static const QSet<QString> names = {
        "area", "base", "basefont", "br", "col", "embed", "frame", "hr", "img", "input", "link", "meta",
        "param", "source", "track", "wbr", "p", "li", "dt", "dd", "tr", "td", "th", "thead", "tbody",
        "tfoot", "colgroup", "option", "optgroup", "rb", "rt", "rp"};
    return names;
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
    QHash<QString, int> open;
    int depth = 0;
    for (int i = html.indexOf(QLatin1Char('<')); i >= 0 && i < html.size(); i = html.indexOf(QLatin1Char('<'), i)) {
        const bool closing = i + 1 < html.size() && html.at(i + 1) == QLatin1Char('/');
        const int start = i + (closing ? 2 : 1);
        int end = start;
        while (end < html.size() && isNameChar(html.at(end)))
            ++end;
        if (end == start && !(start < html.size() && html.at(start) == QLatin1Char('!'))) {
            ++i; // a "<" in the text
            continue;
        }
        const QString name = html.mid(start, end - start).toLower();
        i = skipTag(html, i);
        if (!closing && (name == QLatin1String("script") || name == QLatin1String("style"))) {
            const int close = html.indexOf(QLatin1String("</") + name, i, Qt::CaseInsensitive);
            i = close < 0 ? html.size() : close; // their text is not markup
            continue;
        }
        if (name.isEmpty() || notNesting().contains(name) || html.at(i - 1) != QLatin1Char('>')
            || html.at(i - 2) == QLatin1Char('/'))
            continue; // comments, declarations, empty elements, a tag the text ends in
        int &count = open[name];
        if (closing && count > 0) {
            --count;
            --depth;
        } else if (!closing) {
            ++count;
            deepest.elements = std::max(deepest.elements, ++depth);
            if (name == QLatin1String("table"))
                deepest.tables = std::max(deepest.tables, count);
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
