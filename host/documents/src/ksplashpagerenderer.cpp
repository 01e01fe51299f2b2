#include "ksplashpagerenderer_p.h"

#include <GlobalParams.h>
#include <PDFDoc.h>
#include <SplashOutputDev.h>
#include <Stream.h>
#include <splash/SplashBitmap.h>

std::shared_ptr<KSplashPageRenderer> KSplashPageRenderer::open(const QByteArray &bytes)
{
    if (!globalParams || bytes.isEmpty())
        return nullptr;
    std::shared_ptr<KSplashPageRenderer> renderer(new KSplashPageRenderer);
    renderer->m_bytes = bytes;
    const QByteArray &held = renderer->m_bytes;
    renderer->m_doc = std::make_unique<PDFDoc>(new MemStream(held.constData(), 0, held.size(), Object(objNull)));
    if (!renderer->m_doc->isOk() || renderer->m_doc->isEncrypted())
        return nullptr;
    SplashColor paper;
    paper[0] = paper[1] = paper[2] = paper[3] = 255;
    renderer->m_output = std::make_unique<SplashOutputDev>(splashModeXBGR8, 4, false, paper);
    renderer->m_output->setFontAntialias(true);
    renderer->m_output->setVectorAntialias(true);
    renderer->m_output->setFreeTypeHinting(false, false);
    renderer->m_output->startDoc(renderer->m_doc.get());
    return renderer;
}

KSplashPageRenderer::~KSplashPageRenderer() = default;

QImage KSplashPageRenderer::render(int i, double dpi)
{
    if (i < 0 || i >= m_doc->getNumPages() || dpi <= 0)
        return QImage();
    m_doc->displayPage(m_output.get(), i + 1, dpi, dpi, 0, false, true, false);
    // The picture takes the device's bitmap over (the device makes a new one for the next
    // page), so pixels are neither copied nor kept twice.
    SplashBitmap *bitmap = m_output->takeBitmap();
    if (!bitmap || !bitmap->getDataPtr()) {
        delete bitmap;
        return QImage();
    }
    QImage image(bitmap->getDataPtr(), bitmap->getWidth(), bitmap->getHeight(), bitmap->getRowSize(),
                 QImage::Format_RGB32, [](void *owned) { delete static_cast<SplashBitmap *>(owned); }, bitmap);
    if (image.isNull())
        delete bitmap;
    return image;
}
