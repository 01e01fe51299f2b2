#pragma once

#include "watermarksetting.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>

// Paints the watermark onto a finished picture in place. Does nothing for a null setting,
// style none or a null picture.
void paintWatermark(QImage &image, const WatermarkSetting *setting);

// Draws one text stamp (text and shape) inside the frame of a cell picture. Use a
// premultiplied cell: text drawn into plain ARGB32 comes out too dark.
void drawWatermarkCell(const WatermarkSetting &setting, QImage &cell, const QRectF &frame);

// The picture one text stamp is drawn on: the stamp's rotated bounds plus a padding of
// 40 pixels per scale unit; also the period of the tiled pattern.
QSize watermarkCellSize(const WatermarkSetting &setting);

// The colour text and shapes are drawn with: the setting's colour (or the fallback for an
// invalid one) with the opacity as alpha.
QColor watermarkStampColor(const WatermarkSetting &setting);
