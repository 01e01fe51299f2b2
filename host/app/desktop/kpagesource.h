#pragma once

#include <kunknown.h>

#include <QImage>
#include <QSizeF>
#include <QString>

#include <memory>

// The pages of an open document, whatever its kind, as the desktop view shows them. Sizes
// are in pixels at 96 dots per inch; render takes a scale on top of that.
class KPageSource
{
public:
    virtual ~KPageSource() = default;

    // Null with the reason for an object no back-end kind answers to.
    static std::unique_ptr<KPageSource> create(IKUnknown *document, QString *error);

    virtual int pageCount() = 0;
    // Page i, 0-based; an empty size for a page that does not exist.
    virtual QSizeF pageSize(int i) = 0;
    // Null for a page that does not exist or cannot be drawn at this scale.
    virtual QImage render(int i, double scale) = 0;
    // Whether render may be called from a worker thread (one call at a time).
    virtual bool rendersOffThread() { return true; }
    // Reads the document again after it changed (pages added, layout applied).
    virtual void refresh() {}
};
