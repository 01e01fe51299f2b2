#pragma once

#include "kexportimagetask.h"

// The presentation component's task: renders slides through the slide collection. Long
// pictures stack the slides edge to edge, with white bands only above the first and below
// the last selected slide when the options ask for them.
class KExportImageTaskVyd : public KExportImageTask
{
    Q_OBJECT
public:
    explicit KExportImageTaskVyd(QObject *parent = nullptr);

    int pageCount() override;
    QImage previewImage() override;
    bool renderPages(const ExportImageOptions &options) override;

    // Half the white gap between slides, in rendered pixels.
    static int halfGap(const ExportImageOptions &options);
    // The slide on white with bands of the given heights above and below.
    static QImage padded(const QImage &slide, int top, int bottom);

private:
    float zoomFor(int dpi) const;
    QImage bandedSlide(QImage slide, int n, int first, int last, const ExportImageOptions &options) const;

    const int m_screenDpi;
};
