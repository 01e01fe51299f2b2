#pragma once

#include "watermarksetting.h"

#include <QFont>
#include <QRectF>
#include <QSize>
#include <QStringList>

// Where and how a text stamp's text is drawn inside its frame.
struct WatermarkTextLayout
{
    QString text;
    QFont font;
    Qt::Alignment alignment;
    QRectF frame;
    QRectF textRect;
};

// A text cut into lines no wider than a limit, with the height they take together.
struct WrappedText
{
    QStringList lines;
    int height = 0;
};

// The base box of the stamp text for a size choice, in pixels at the given scale.
QSize watermarkTextSize(int size, int scale);

// Cuts the text into pieces narrower than maxWidth (at least one character each);
// a maxWidth of 0 or less keeps it whole.
WrappedText splitTextToLines(const QString &text, int maxWidth, const QFont &font);

// Fits the text into the box of its size: the largest font that fits, or wrapped lines
// at the smallest font, centred in the frame.
WatermarkTextLayout layoutWatermarkText(const WatermarkSetting &setting, const QRectF &frame);
