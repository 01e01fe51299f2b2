#pragma once

#include "kexportimagetask.h"

#include <kspreadsheet.h>

// The spreadsheet component's task. A sheet has no pages: the cells in use and everything
// anchored over them make one rectangle, which the host paints into one picture at the
// export's resolution; the white border is trimmed and a fixed margin added. Only long
// pictures exist; a per-page request fails.
class KExportImageTaskQz : public KExportImageTask
{
    Q_OBJECT
public:
    explicit KExportImageTaskQz(QObject *parent = nullptr);

    int pageCount() override;
    QImage previewImage() override;
    bool exportLongPicture(const ExportImageOptions &options) override;

    // Whether the last exported picture exceeded the host's size limit.
    bool areaTooLarge() const;

    static constexpr int kMargin = 15;
    // Rows and columns around the content that hold only white go; a blank picture keeps
    // one pixel.
    static QImage trimmed(const QImage &picture);
    static QImage withMargin(const QImage &picture, int margin);
    // Used range, drawing objects and other anchored objects together; empty when none.
    static KCellRange contentRange(IKWorksheet *sheet);

private:
    struct Painted;
    // formatSuffix: the output format whose size limits the picture must meet (none if empty).
    Painted paintContent(int scale, bool exportInCaller, const QString &formatSuffix);

    QImage m_previewCache;
    int m_renderDpi = 1;
    bool m_areaTooLarge = false;
};
