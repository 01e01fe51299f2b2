#pragma once

#include <QMargins>
#include <QSize>

// Scales interface measures, given for a 100 % display, by the display factor.
// The factor is the host value "dpiScale" (default 1.0); tests may set it directly.
class KLiteStyle
{
public:
    static double scaleFactor();
    static void setScaleFactor(double factor);

    static int dpiScaled(int value);
    static double dpiScaled(double value);
    static QSize dpiScaled(const QSize &size);
    static QMargins dpiScaled(const QMargins &margins);
};

// The writer component's spelling of the same scaling.
class KVYXStyle
{
public:
    static int dpiScaled(int value) { return KLiteStyle::dpiScaled(value); }
    static double dpiScaled(double value) { return KLiteStyle::dpiScaled(value); }
    static QSize dpiScaled(const QSize &size) { return KLiteStyle::dpiScaled(size); }
};
