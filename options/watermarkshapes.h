#pragma once

#include "watermarklayout.h"

#include <QPainter>

// Internal to the painter: one function per stamp shape. Each draws the layout's text and
// then its shape with the painter's current pen colour.
void drawWatermarkShape(QPainter &painter, int style, const WatermarkTextLayout &layout);

void drawTextOnlyStamp(QPainter &painter, const WatermarkTextLayout &layout);
void drawCircleStamp(QPainter &painter, const WatermarkTextLayout &layout);
void drawEllipseStamp(QPainter &painter, const WatermarkTextLayout &layout);
void drawRectangleStamp(QPainter &painter, const WatermarkTextLayout &layout);
void drawRightTriangleStamp(QPainter &painter, const WatermarkTextLayout &layout);
void drawIsoscelesTriangleStamp(QPainter &painter, const WatermarkTextLayout &layout);

// Shared by the shapes.
void drawStampText(QPainter &painter, const WatermarkTextLayout &layout);
QPen stampPen(const QPainter &painter, qreal width, Qt::PenStyle style = Qt::SolidLine);
// Height kept free around the text where a shape's outline is interrupted.
qreal textBand(const WatermarkTextLayout &layout);
