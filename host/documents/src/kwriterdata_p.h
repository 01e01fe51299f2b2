#pragma once

#include <kwriterdocument.h>

#include <QImage>
#include <QString>
#include <QStringList>
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

    // Editing; a document made of fixed pages (a converted PDF) has no sections or
    // paragraphs and takes no pictures.
    virtual int sectionCount() { return 0; }
    virtual bool pageSetupValue(int section, KPageSetupField field, float *value)
    {
        Q_UNUSED(section) Q_UNUSED(field) Q_UNUSED(value)
        return false;
    }
    virtual bool setPageSetupValue(int section, KPageSetupField field, float value)
    {
        Q_UNUSED(section) Q_UNUSED(field) Q_UNUSED(value)
        return false;
    }
    virtual int paragraphCount() { return 0; }
    virtual bool firstLineIndentChars(int paragraph, float *chars)
    {
        Q_UNUSED(paragraph) Q_UNUSED(chars)
        return false;
    }
    virtual bool setFirstLineIndentChars(int paragraph, float chars)
    {
        Q_UNUSED(paragraph) Q_UNUSED(chars)
        return false;
    }
    virtual bool insertPicture(const QString &path)
    {
        Q_UNUSED(path)
        return false;
    }

    float spacing = kDocSpacingUnset;
    std::atomic<bool> renderOnInterfaceThread{false};
    // Open operations by name, innermost last, and every begin and end made ("begin:NAME",
    // "end:NAME:1" when it changed the document).
    QStringList openOperations;
    QStringList operationLog;
};

// Pages of a PDF; folder (may be null) holds the PDF and lives as long as the pages.
std::shared_ptr<KWriterData> makePdfWriterData(KPdfBackend *pdf, std::shared_ptr<QTemporaryDir> folder);
