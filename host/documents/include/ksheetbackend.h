#pragma once

#include <kspreadsheet.h>

#include <QList>
#include <QStringList>
#include <memory>

class KSheetData;

// A workbook of one sheet served through the spreadsheet interfaces, read from a CSV or
// TSV file, or from the CSV a spreadsheet file was converted to. The object is the
// component's application object; its active workbook is the document.
//
// Beside "name.csv" a side file "name.csv.sheet" may place things over the cells, one
// directive a line ("#" starts a comment; cells as in "B3", ranges as in "B3:D8"):
//   width B 120              column width in pixels at 100 %
//   height 3 40              row height
//   align C right            left, center or right (default: numbers right, text left)
//   picture B3 logo.png      a picture at its own size from the top left of B3
//   picture B3:D8 chart.png  a picture stretched over the cells
//   note F2 Checked by Ann   a note shown beside its cell
//   watermark CONFIDENTIAL   the document's plain watermark for printed output
// Picture paths are relative to the CSV file's folder. Lines that do not fit are ignored
// with a warning.
class KSheetBackend : public KUnknownImpl<IKSheetApplication>
{
public:
    static KSheetBackend *fromCells(const QList<QStringList> &cells, const QString &sideFile = QString(),
                                    const QString &folder = QString());
    // By suffix: ".tsv" splits at tabs, anything else at commas. Null with a message for a
    // file that cannot be read.
    static KSheetBackend *open(const QString &path, QString *error);

    // Side-file lines that were ignored.
    QStringList warnings() const;

    long activeWorkbook(IKWorkbook **workbook) override;

private:
    explicit KSheetBackend(std::shared_ptr<const KSheetData> data);
    ~KSheetBackend() override;

    std::shared_ptr<const KSheetData> d;
};
