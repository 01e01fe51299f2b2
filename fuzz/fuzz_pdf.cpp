#include "fuzzsupport.h"

#include <kpdfbackend.h>
#include <ksplashpagerenderer_p.h>

#include <QImage>

KFUZZ_INIT

// A PDF file, damaged or not: opened, then its first page rendered small, alone and through
// a copy's own output device (the one pages read ahead use).
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
    if (pdf->pageCount() > 0 && pdf->prepareRendering(0.1f)) {
        pdf->renderPage(0, 0.1f);
        if (const auto copy = KSplashPageRenderer::open(kfuzz::bytes(data, size)))
            copy->render(0, 10.0);
    }
    pdf->Release();
    return 0;
}
