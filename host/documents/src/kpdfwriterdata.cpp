#include "kwriterdata_p.h"

#include "kpdfbackend.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace {

// An office document converted to PDF keeps its own page sizes and layout; the writer
// interfaces then serve the PDF's pages.
struct KPdfWriterData : KWriterData
{
    std::shared_ptr<QTemporaryDir> folder; // declared first: outlives the document reading from it
    KComPtr<KPdfBackend> pdf;

    int pageCount() override { return pdf->pageCount(); }

    QImage renderPage(int n, int dpiX, int dpiY) override
    {
        if (n < 1 || n > pdf->pageCount() || dpiX < 1 || dpiY < 1)
            return QImage();
        QImage page = pdf->renderPageAtDpi(n - 1, dpiX);
        if (page.isNull())
            return page;
        if (dpiY != dpiX)
            page = page.scaled(page.width(), qRound(page.height() * double(dpiY) / dpiX));
        page = page.convertToFormat(QImage::Format_RGB32);
        page.setDotsPerMeterX(qRound(dpiX / 0.0254));
        page.setDotsPerMeterY(qRound(dpiY / 0.0254));
        return page;
    }

    bool printToPdf(const QString &path, QString *error) override
    {
        QFile::remove(path);
        if (QFile::copy(pdf->path(), path))
            return true;
        if (error)
            *error = QCoreApplication::translate("KWriterBackend", "%1: cannot be written").arg(path);
        return false;
    }
};

} // namespace

std::shared_ptr<KWriterData> makePdfWriterData(KPdfBackend *pdf, std::shared_ptr<QTemporaryDir> folder)
{
    auto data = std::make_shared<KPdfWriterData>();
    data->folder = std::move(folder);
    pdf->AddRef();
    data->pdf = KComPtr<KPdfBackend>(pdf);
    return data;
}
