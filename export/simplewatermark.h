#pragma once

#include <QImage>
#include <QString>

// The plain text watermark of the smaller editions: faint black text fitted to the
// picture, optionally slanted. Long pictures repeat it in bands down the page.
namespace ksimplewatermark {

enum class Form { Single, Tiled };

void paint(QImage &image, const QString &text, const QString &fontFamily, bool rotate, Form form);

// Slant in degrees for a picture of this size, or 0 when it must stay level.
int angleFor(const QSize &size, bool rotate);

} // namespace ksimplewatermark
