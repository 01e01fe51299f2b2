#include "kcsvtable.h"

#include "kopeningcancel.h"

QList<QStringList> KCsvTable::parse(const QString &text, QChar delimiter)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool rowStarted = false;
    const int start = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    for (int i = start; i < text.size(); ++i) {
        const QChar c = text.at(i);
        rowStarted = true;
        if (quoted) {
            if (c != QLatin1Char('"'))
                field += c;
            else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                field += text.at(++i);
            else
                quoted = false;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == delimiter) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            row << field;
            rows << row;
            row.clear();
            field.clear();
            rowStarted = false;
            if (kopening::cancelRequested())
                return {};
        } else {
            field += c;
        }
    }
    if (rowStarted) {
        row << field;
        rows << row;
    }
    return rows;
}
