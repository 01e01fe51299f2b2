#include "klitestyle.h"

#include "khostconfig.h"

#include <QtMath>
#include <atomic>

namespace {
std::atomic<double> g_factor{-1.0};
}

double KLiteStyle::scaleFactor()
{
    double factor = g_factor.load();
    if (factor <= 0) {
        factor = KHostConfig::value(QStringLiteral("dpiScale"), 1.0).toDouble();
        if (factor <= 0)
            factor = 1.0;
        g_factor = factor;
    }
    return factor;
}

void KLiteStyle::setScaleFactor(double factor)
{
    g_factor = factor > 0 ? factor : 1.0;
}

int KLiteStyle::dpiScaled(int value)
{
    return qRound(value * scaleFactor());
}

double KLiteStyle::dpiScaled(double value)
{
    return value * scaleFactor();
}

QSize KLiteStyle::dpiScaled(const QSize &size)
{
    return QSize(dpiScaled(size.width()), dpiScaled(size.height()));
}

QMargins KLiteStyle::dpiScaled(const QMargins &m)
{
    return QMargins(dpiScaled(m.left()), dpiScaled(m.top()), dpiScaled(m.right()), dpiScaled(m.bottom()));
}
