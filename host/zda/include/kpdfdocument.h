#pragma once

#include "kunknown.h"

#include <QImage>
#include <QList>
#include <QSizeF>

// Automation interface of a PDF document. Sizes are in screen pixels at zoom 1 (the
// screen's resolution), so a page renders at zoom z to its size times z.
struct IKPdfDocument : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{2FF02E81-3A8B-4732-9DA5-128504E59C47}")); }
    // Non-zero when pages can be rendered at this zoom.
    virtual int prepareRendering(float zoom) = 0;
    virtual int pageCount() = 0;
    // Page i, 0-based.
    virtual QSizeF pageSize(int i) = 0;
    virtual QImage renderPage(int i, float zoom) = 0;
    // The pages (0-based) the caller is about to ask for, in order; a renderer that works
    // ahead renders no others. Empty: any page may come.
    virtual void setPagesWanted(const QList<int> &indexes) { Q_UNUSED(indexes) }
};
