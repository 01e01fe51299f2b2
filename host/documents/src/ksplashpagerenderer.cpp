#include "ksplashpagerenderer_p.h"

#include <GlobalParams.h>
#include <PDFDoc.h>
#include <SplashOutputDev.h>
#include <Stream.h>
#include <goo/gmem.h>
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
    // The picture takes the device's colour rows over (the device makes a new bitmap for the
    // next page), so pixels are neither copied nor kept twice; the alpha plane, a quarter
    // more that an opaque page never needs, goes at once.
    std::unique_ptr<SplashBitmap> bitmap(m_output->takeBitmap());
    if (!bitmap || !bitmap->getDataPtr() || bitmap->getRowSize() <= 0)
        return QImage();
    const int width = bitmap->getWidth();
    const int height = bitmap->getHeight();
    const int rowSize = bitmap->getRowSize();
    uchar *pixels = bitmap->takeData();
    bitmap.reset();
    QImage image(pixels, width, height, rowSize, QImage::Format_RGB32, [](void *owned) { gfree(owned); }, pixels);
    if (image.isNull())
        gfree(pixels);
    return image;
}
