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

private:
    static QImage banded(QImage slide, const PagePlace &place, const ExportImageOptions &options);

    const int m_screenDpi;
};
