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
    // Rows of the page from its first to its last row with a non-white pixel.
    static QImage trimmed(const QImage &page);
    // Leftmost column holding a non-white pixel, or -1.
    static int contentLeft(const QImage &page);
};
