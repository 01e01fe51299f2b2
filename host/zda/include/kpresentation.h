#pragma once

#include "kunknown.h"

#include <QImage>
#include <QVariant>

// Automation interfaces of a presentation, from the running application down to its
// slides. Every object handed out carries a reference the caller releases.

struct IKSlide : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{91493A10-7C2E-4D7B-8E35-2B6F0C41D803}")); }
    // Renders the slide at zoom times the screen's resolution. forExport asks for the
    // finished look (smoothed text and pictures); the preview is drawn fast without it.
    // A negative status is a failure.
    virtual long render(QImage *image, float zoom, bool forExport) = 0;
};

struct IKSlides : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{91493A11-7C2E-4D7B-8E35-2B6F0C41D803}")); }
    virtual long count(int *count) = 0;
    // Slide n, 1-based, passed as a variant holding a 32-bit integer.
    virtual long item(const QVariant &index, IKSlide **slide) = 0;
};

struct IKPresentation : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{91493A12-7C2E-4D7B-8E35-2B6F0C41D803}")); }
    virtual long slides(IKSlides **slides) = 0;
};

// The presentation component's application object, as the core application holds it.
struct IKPresApplication : IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{91493A13-7C2E-4D7B-8E35-2B6F0C41D803}")); }
    virtual long activePresentation(IKPresentation **presentation) = 0;
};
