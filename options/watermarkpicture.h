#pragma once

#include <kexportcomponent.h>

#include <QImage>

// The ready-made picture stamp: the wide variant for a presentation exported as one long
// picture, the regular one otherwise; double-size pictures on high-DPI screens.
// A null image when the picture cannot be read.
QImage loadDefaultWatermarkPicture(const KExportComponent &component, bool longPicture);
