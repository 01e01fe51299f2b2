#include "watermarklabels.h"

namespace {

QString labelAt(const char *const labels[], int count, int index)
{
    return index >= 0 && index < count ? QString::fromLatin1(labels[index])
                                       : QStringLiteral("other");
}

} // namespace

QString watermarkStyleLabel(int style)
{
    static const char *const labels[] = {"normal", "r_triangle", "i_triangle",
                                         "rectangle", "circle", "ellipse"};
    return labelAt(labels, 6, style);
}

QString watermarkSizeLabel(int size)
{
    static const char *const labels[] = {"small", "mid", "large"};
    return labelAt(labels, 3, size);
}

QString watermarkPolicyLabel(int policy)
{
    static const char *const labels[] = {"center", "tile"};
    return labelAt(labels, 2, policy);
}
