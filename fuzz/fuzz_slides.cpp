#include "fuzzsupport.h"

#include <kslidedeck.h>

#include <QImage>
#include <QPainter>

KFUZZ_INIT

// A deck's text; its first two slides painted small.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<KSlideDeck::Slide> slides = KSlideDeck::parse(QString::fromUtf8(kfuzz::bytes(data, size)));
    QImage image(160, 90, QImage::Format_ARGB32_Premultiplied);
    for (int i = 0; i < qMin(2, slides.size()); ++i) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(0.125, 0.125);
        KSlideDeck::paint(&painter, slides.at(i), QUrl::fromLocalFile(kfuzz::home().path() + QLatin1Char('/')), false);
    }
    return 0;
}
