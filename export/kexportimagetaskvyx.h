#pragma once

#include "kexportimagetask.h"

// The writer component's task: renders pages through the document's page renderer and,
// for long pictures, trims each page to its content and pads it with even white bands.
class KExportImageTaskVyx : public KExportImageTask
{
    Q_OBJECT
public:
    explicit KExportImageTaskVyx(QObject *parent = nullptr);

    int pageCount() override;
    QImage previewImage() override;
    bool renderPages(const ExportImageOptions &options) override;

    // Half of the white gap between two pages' content, in rendered pixels.
    static int halfGap(const ExportImageOptions &options, float docSpacing);

private:
    struct Bands
    {
        int gap = 0;  // half the gap between two pages
        int edge = 0; // above the first and below the last page, set by the first
    };
    QImage banded(const QImage &page, const PagePlace &place, const ExportImageOptions &options, Bands &bands);
};
