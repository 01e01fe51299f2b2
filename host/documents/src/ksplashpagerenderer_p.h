#pragma once

#include <QImage>
#include <QString>
#include <memory>

class PDFDoc;
class SplashOutputDev;

// Renders pages of one copy of a PDF through Poppler's own rasteriser, keeping one output
// device (and its fonts) for every page instead of building one per page. One thread at a
// time; the process's Poppler globals must exist (a Poppler::Document made them).
class KSplashPageRenderer
{
public:
    static std::shared_ptr<KSplashPageRenderer> open(const QString &path);
    ~KSplashPageRenderer();

    // Page i (0-based) on white at the resolution, as opaque 32-bit pixels.
    QImage render(int i, double dpi);

private:
    KSplashPageRenderer() = default;

    std::unique_ptr<PDFDoc> m_doc;
    std::unique_ptr<SplashOutputDev> m_output;
};
