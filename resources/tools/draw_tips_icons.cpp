// Draws the message window's pictures into resources/tips/.
// Build and run by hand when a picture changes:
//   g++ -std=c++17 -fPIC draw_tips_icons.cpp $(pkg-config --cflags --libs Qt5Gui) -o /tmp/draw_tips_icons
//   /tmp/draw_tips_icons ../tips
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cstdio>

namespace {

QImage blankImage(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void drawDisc(QPainter &p, const QColor &color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(1, 1, 30, 30));
}

QImage tipsIcon()
{
    QImage image = blankImage(32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawDisc(p, QColor(0x4A, 0x90, 0xE2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(14.25, 7.5, 3.5, 12.5), 1.75, 1.75);
    p.drawEllipse(QPointF(16, 23.5), 2.1, 2.1);
    return image;
}

QImage completeIcon()
{
    QImage image = blankImage(32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawDisc(p, QColor(0x3C, 0xB3, 0x71));
    QPainterPath tick;
    tick.moveTo(9, 16.5);
    tick.lineTo(14, 21.5);
    tick.lineTo(23, 11.5);
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    return image;
}

QImage closeIcon(const QColor &color)
{
    QImage image = blankImage(16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    return image;
}

bool save(const QImage &image, const QString &dir, const char *name)
{
    const QString path = dir + QLatin1Char('/') + QLatin1String(name);
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool ok = save(tipsIcon(), dir, "tips.png");
    ok = save(completeIcon(), dir, "complete.png") && ok;
    ok = save(closeIcon(QColor(0x99, 0x99, 0x99)), dir, "close-normal.png") && ok;
    ok = save(closeIcon(QColor(0x42, 0x42, 0x42)), dir, "close-hover.png") && ok;
    return ok ? 0 : 1;
}
