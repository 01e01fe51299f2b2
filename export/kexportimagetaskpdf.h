#pragma once

#include "kexportimagetask.h"

#include <kpdfdocument.h>

#include <functional>

// The PDF component's task. Long pictures are split into parts of at most
// maxPagesPerPicture A4 heights, written into a numbered folder as Name_0, Name_1, ...
class KExportImageTaskPdf : public KExportImageTask
{
    Q_OBJECT
public:
    explicit KExportImageTaskPdf(QObject *parent = nullptr);

    int pageCount() override;
    qint64 selectedPagesHeight(int limit, const ExportImageOptions &options) override;
    QImage previewImage() override;
    bool renderPages(const ExportImageOptions &options) override;
    bool renderLongPicture(const ExportImageOptions &options) override;

    // Tallest part, in pixels: that many A4 heights at the export's resolution.
    static qint64 partHeightLimit(const ExportImageOptions &options);
    // Height of a part holding pages of these sizes, narrower ones widened to the widest.
    static qint64 partHeight(const QList<QSize> &pages);

protected:
    QList<QImage> prepareColumn(const QList<QImage> &images) override;

private:
    bool walkDocument(const ExportImageOptions &options, const PageSink &longPage = PageSink());
    QList<QSize> checkPageSizes(IKPdfDocument *document, const QList<int> &numbers, float zoom,
                                const ExportImageOptions &options);
    QImage renderPage(IKPdfDocument *document, int index, float zoom);
    bool composePart(QList<QImage> &pages, int partIndex, const QString &folder, const ExportImageOptions &options);

    const int m_screenDpi;
};
