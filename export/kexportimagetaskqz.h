#pragma once

#include "kexportimagetask.h"

#include <kspreadsheet.h>

#include <mutex>

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
    // The content without its white border (a blank picture keeps one pixel), in a white
    // margin of kMargin.
    static QImage framed(const QImage &picture);
    // Used range, drawing objects and other anchored objects together; empty when none.
    static KCellRange contentRange(IKWorksheet *sheet);

private:
    struct Painted;
    // formatSuffix: the output format whose size limits the picture must meet (none if empty).
    Painted paintContent(int scale, bool exportInCaller, const QString &formatSuffix);
    bool paintArea(QImage &image, IKSheetLayout *layout, const QRectF &area, int scale, bool plain);

    mutable std::mutex m_stateLock; // guards the three below
    QImage m_previewCache;
    int m_renderDpi = 1;
    bool m_areaTooLarge = false;
};
