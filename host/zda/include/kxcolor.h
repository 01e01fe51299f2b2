#pragma once

#include <QtGlobal>

// The suite's colour value as its drawing layer passes it around: an ARGB word and
// the theme slot it came from (-1 when it is a plain colour).
struct KxColor
{
    quint32 argb = 0xff000000u;
    int themeIndex = -1;

    bool operator==(const KxColor &o) const { return argb == o.argb && themeIndex == o.themeIndex; }
    bool operator!=(const KxColor &o) const { return !(*this == o); }
};
