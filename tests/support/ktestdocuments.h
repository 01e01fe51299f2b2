#pragma once

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

namespace ktest {

// Writes a PDF whose pages have the given sizes in points, each with a dark block and its
// number so that rendered pages are not blank.
inline bool writePdf(const QString &path, const QList<QSizeF> &pageSizes)
{
    if (pageSizes.isEmpty())
        return false;
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageSize(QPageSize(pageSizes.first(), QPageSize::Point));
    QPainter painter(&writer);
    for (int i = 0; i < pageSizes.size(); ++i) {
        if (i > 0) {
            writer.setPageSize(QPageSize(pageSizes.at(i), QPageSize::Point));
            writer.newPage();
        }
        const QSizeF size = pageSizes.at(i);
        painter.fillRect(QRectF(size.width() * 0.2, size.height() * 0.2, size.width() * 0.6, size.height() * 0.1),
                         QColor(20, 40, 90));
        painter.drawText(QRectF(0, size.height() * 0.5, size.width(), 40), Qt::AlignCenter,
                         QStringLiteral("Page %1").arg(i + 1));
    }
    return painter.end();
}

inline bool writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// A PDF of the given objects, numbered from 1, whose table of object places is off by
// `misplaced` bytes; `trailer` adds entries to the trailer.
inline QByteArray rawPdf(const QList<QByteArray> &objects, const QByteArray &trailer = {}, int misplaced = 0)
{
    const QByteArray size = QByteArray::number(objects.size() + 1);
    QByteArray body = "%PDF-1.4\n";
    QByteArray table = "xref\n0 " + size + "\n0000000000 65535 f \n";
    for (int i = 0; i < objects.size(); ++i) {
        table += QByteArray::number(body.size() + misplaced).rightJustified(10, '0') + " 00000 n \n";
        body += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    return body + table + "trailer\n<< /Size " + size + " /Root 1 0 R" + trailer + " >>\nstartxref\n"
        + QByteArray::number(body.size()) + "\n%%EOF\n";
}

// HTML with one solid black block per page and the given pages left blank.
inline QByteArray blockPagesHtml(int pages, const QList<int> &blankPages = {}, int spacing = -1)
{
    QByteArray html = "<html><head>";
    if (spacing >= 0)
        html += "<meta name=\"page-spacing\" content=\"" + QByteArray::number(spacing) + "\">";
    html += "</head><body>";
    for (int p = 1; p <= pages; ++p) {
        const QByteArray breakStyle = p < pages ? " style=\"page-break-after: always\"" : "";
        if (blankPages.contains(p))
            html += "<p" + breakStyle + ">&nbsp;</p>";
        else
            html += "<table" + breakStyle + " bgcolor=\"#000000\" width=\"100%\" border=\"0\" cellspacing=\"0\" "
                    "cellpadding=\"0\"><tr><td height=\"50\"></td></tr></table>";
    }
    return html + "</body></html>";
}

} // namespace ktest
