#pragma once

#include <QByteArray>
#include <QImage>
#include <memory>

class PDFDoc;
class SplashOutputDev;

// Renders pages of one copy of a PDF through Poppler's own rasteriser, keeping one output
// device (and its fonts) for every page instead of building one per page. One thread at a
// time; the process's Poppler globals must exist (a Poppler::Document made them).
class KSplashPageRenderer
{
public:
    // Reads the PDF from bytes the caller already holds, so every copy shows the same file.
    static std::shared_ptr<KSplashPageRenderer> open(const QByteArray &bytes);
    // Makes the colour profiles Poppler shares between all documents, once and before any
    // page is drawn: its first drawing state makes them unguarded, and two copies starting
    // their first pages together would make them twice, freeing one while it is set.
    static void prepareSharedState();
    ~KSplashPageRenderer();

    // Page i (0-based) on white at the resolution, as opaque 32-bit pixels.
    QImage render(int i, double dpi);

private:
    KSplashPageRenderer() = default;

    QByteArray m_bytes; // the document's stream reads from these
    std::unique_ptr<PDFDoc> m_doc;
    std::unique_ptr<SplashOutputDev> m_output;
};
