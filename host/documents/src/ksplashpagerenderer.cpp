#include "ksplashpagerenderer_p.h"

#include <cstdint>
#include <cstring>
#include <mutex>

#include <GfxState.h>
#include <GlobalParams.h>
#include <PDFDoc.h>
#include <SplashOutputDev.h>
#include <Stream.h>
#include <goo/gmem.h>
#include <splash/Splash.h>
#include <splash/SplashBitmap.h>
#include <splash/SplashFont.h>

namespace {

// Mirrors the glyph cache's tag record, private to Poppler's font code and unchanged there
// for many years; the cache is an array of these beside the glyph bitmaps. Pages drawn
// through it are compared with Poppler's own drawing in the tests, so a change there shows.
struct GlyphCacheTag
{
    int c;
    short xFrac, yFrac;
    int mru;
    int x, y, w, h;
};

// Splash sizes a font's glyph cache from the font's bounding box, which for most embedded
// fonts leaves 8 to 32 glyphs (each in up to four sub-pixel positions): body text then
// rasterises nearly every glyph it draws, again and again, and FreeType took over a third
// of an export's time. This widens each font's cache once to hold an alphabet, within a
// bound per font.
class GlyphCacheWidener : private SplashFont
{
public:
    static void widen(SplashFont *font)
    {
        if (!font)
            return;
        int &sets = font->*&GlyphCacheWidener::cacheSets;
        const int assoc = font->*&GlyphCacheWidener::cacheAssoc;
        const int glyphBytes = font->*&GlyphCacheWidener::glyphSize;
        if (sets >= kSets || assoc <= 0 || glyphBytes <= 0)
            return;
        int wider = kSets;
        while (wider > sets && long(wider) * assoc * glyphBytes > kBytes)
            wider /= 2;
        if (wider <= sets)
            return;
        auto *cache = static_cast<unsigned char *>(gmallocn_checkoverflow(wider * assoc, glyphBytes));
        auto *tags = static_cast<GlyphCacheTag *>(gmallocn_checkoverflow(wider * assoc, sizeof(GlyphCacheTag)));
        if (!cache || !tags) {
            gfree(cache);
            gfree(tags);
            return;
        }
        for (int i = 0; i < wider * assoc; ++i)
            tags[i] = GlyphCacheTag{0, 0, 0, i & (assoc - 1), 0, 0, 0, 0}; // empty, ranked within its set
        gfree(font->*&GlyphCacheWidener::cache);
        gfree(font->*&GlyphCacheWidener::cacheTags);
        font->*&GlyphCacheWidener::cache = cache;
        font->*&GlyphCacheWidener::cacheTags = reinterpret_cast<SplashFontCacheTag *>(tags);
        sets = wider;
    }

private:
    static constexpr int kSets = 256; // a set for every code of a simple font
    static constexpr long kBytes = 512L << 10; // a font's share: an alphabet of body text
};

unsigned char blendOnWhite(int colour, int alpha)
{
    const int x = (255 - alpha) * 255 + alpha * colour;
    return static_cast<unsigned char>((x + (x >> 8) + 0x80) >> 8);
}

// One pixel of XBGR8 with its coverage, as Splash's own step puts it onto white.
void putOnWhite(unsigned char *pixel, int alpha)
{
    if (alpha != 255) {
        pixel[0] = blendOnWhite(pixel[0], alpha);
        pixel[1] = blendOnWhite(pixel[1], alpha);
        pixel[2] = blendOnWhite(pixel[2], alpha);
    }
    pixel[3] = 255;
}

// Puts a page drawn on a transparent backdrop onto white paper, as Splash's own step does
// pixel by pixel; on a page of text most runs of eight are untouched or opaque and need no
// arithmetic, and that step had become a tenth of an export's time.
bool compositeOnWhite(SplashBitmap *bitmap)
{
    unsigned char *data = bitmap ? bitmap->getDataPtr() : nullptr;
    const unsigned char *alpha = bitmap ? bitmap->getAlphaPtr() : nullptr;
    if (!data || !alpha || bitmap->getMode() != splashModeXBGR8 || bitmap->getRowSize() < 4 * bitmap->getWidth())
        return false;
    const int width = bitmap->getWidth();
    for (int y = 0; y < bitmap->getHeight(); ++y) {
        unsigned char *p = data + size_t(y) * size_t(bitmap->getRowSize());
        const unsigned char *q = alpha + size_t(y) * size_t(width);
        int x = 0;
        for (; x + 8 <= width; x += 8) {
            std::uint64_t run;
            std::memcpy(&run, q + x, sizeof run);
            if (run == 0) {
                std::memset(p + 4 * x, 0xff, 32);
                continue;
            }
            for (int i = x; i < x + 8; ++i)
                putOnWhite(p + 4 * i, q[i]);
        }
        for (; x < width; ++x)
            putOnWhite(p + 4 * x, q[x]);
    }
    return true;
}

// Poppler's device for pages of one copy, with the two steps above made cheap; the paper
// is white.
class KPageOutputDev : public SplashOutputDev
{
public:
    using SplashOutputDev::SplashOutputDev;

    void endPage() override
    {
        if (!compositeOnWhite(getSplash() ? getSplash()->getBitmap() : nullptr))
            SplashOutputDev::endPage();
    }

    void drawChar(GfxState *state, double x, double y, double dx, double dy, double originX, double originY, CharCode code, int nBytes, const Unicode *u, int uLen) override
    {
        SplashOutputDev::drawChar(state, x, y, dx, dy, originX, originY, code, nBytes, u, uLen);
        // The font is made lazily by the first character drawn with it.
        GlyphCacheWidener::widen(getCurrentFont());
    }
};

} // namespace

void KSplashPageRenderer::prepareSharedState()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const PDFRectangle box(0, 0, 1, 1);
        GfxState state(72, 72, &box, 0, true);
    });
}

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
    renderer->m_output = std::make_unique<KPageOutputDev>(splashModeXBGR8, 4, false, paper);
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
