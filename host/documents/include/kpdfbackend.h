#pragma once

#include <kpdfdocument.h>

#include <QMutex>
#include <QString>
#include <memory>

namespace Poppler {
class Document;
}

// A PDF file served through the PDF document interface.
class KPdfBackend : public KUnknownImpl<IKPdfDocument>
{
public:
    // Null with a message for a file that is missing, damaged, encrypted or has no page.
    static KPdfBackend *open(const QString &path, QString *error);

    int prepareRendering(float zoom) override;
    int pageCount() override;
    QSizeF pageSize(int i) override;
    QImage renderPage(int i, float zoom) override;

private:
    explicit KPdfBackend(std::unique_ptr<Poppler::Document> document);
    ~KPdfBackend() override;

    QMutex m_mutex; // Poppler renders one page at a time per document
    std::unique_ptr<Poppler::Document> m_document;
};
