#include "fuzzsupport.h"

#include <kpdfbackend.h>

#include <QImage>

KFUZZ_INIT

// A PDF file, damaged or not: opened, then its first page rendered small.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = kfuzz::writeFile(QStringLiteral("doc.pdf"), kfuzz::bytes(data, size));
    QString error;
    KPdfBackend *pdf = KPdfBackend::open(path, &error);
    if (!pdf) {
        if (error.isEmpty())
            std::abort(); // refused without a reason
        return 0;
    }
    if (pdf->pageCount() > 0 && pdf->prepareRendering(0.1f))
        pdf->renderPage(0, 0.1f);
    pdf->Release();
    return 0;
}
