#pragma once

#include <QChar>
#include <QList>
#include <QStringList>

// Rows of a delimited text file: fields in double quotes may hold the delimiter, line
// breaks and doubled quotes; a byte order mark and a final line break are ignored.
class KCsvTable
{
public:
    static QList<QStringList> parse(const QString &text, QChar delimiter);
};
