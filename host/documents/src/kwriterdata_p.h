#pragma once

#include <kwriterdocument.h>

#include <QImage>
#include <QString>
#include <atomic>
#include <memory>

class KPdfBackend;
class QTemporaryDir;

// What the writer document interfaces serve: numbered pages that render at any resolution.
// Made from text laid out by QTextDocument, or from the pages of a PDF that an office
// document was converted to.
struct KWriterData
{
    virtual ~KWriterData() = default;
    virtual int pageCount() = 0;
    // Page n (1-based); null for a page that does not exist or a resolution below 1.
    virtual QImage renderPage(int n, int dpiX, int dpiY) = 0;
    virtual bool printToPdf(const QString &path, QString *error) = 0;

    float spacing = kDocSpacingUnset;
    std::atomic<bool> renderOnInterfaceThread{false};
};

// Pages of a PDF; folder (may be null) holds the PDF and lives as long as the pages.
std::shared_ptr<KWriterData> makePdfWriterData(KPdfBackend *pdf, std::shared_ptr<QTemporaryDir> folder);
