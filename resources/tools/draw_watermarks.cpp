// Draws the default picture stamps into resources/localindex/shape/. From resources/:
//   g++ -std=c++17 -fPIC tools/draw_watermarks.cpp -o /tmp/draw_watermarks
//       $(pkg-config --cflags --libs Qt5Gui)
//   QT_QPA_PLATFORM=offscreen /tmp/draw_watermarks localindex/shape
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

// Light enough that body text under the tiled stamp stays easy to read at every zoom: over
// white no stroke comes out darker than about 83 % grey.
const QColor kInk(60, 96, 150, 44);
const QColor kFaintInk(60, 96, 150, 28);

QFont stampFont(int pixelSize, int weight, qreal spacing = 0)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return font;
}

void drawDoubleBorder(QPainter &p, const QRectF &area)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, 3));
    p.drawRoundedRect(area.adjusted(5, 5, -5, -5), 14, 14);
    p.setPen(QPen(kFaintInk, 1.2));
    p.drawRoundedRect(area.adjusted(12, 12, -12, -12), 9, 9);
}

void drawDiamondRule(QPainter &p, const QPointF &centre, qreal halfWidth)
{
    p.setPen(QPen(kFaintInk, 1.2));
    p.drawLine(QPointF(centre.x() - halfWidth, centre.y()), QPointF(centre.x() - 8, centre.y()));
    p.drawLine(QPointF(centre.x() + 8, centre.y()), QPointF(centre.x() + halfWidth, centre.y()));
    QPainterPath diamond;
    diamond.moveTo(centre.x(), centre.y() - 4);
    diamond.lineTo(centre.x() + 4, centre.y());
    diamond.lineTo(centre.x(), centre.y() + 4);
    diamond.lineTo(centre.x() - 4, centre.y());
    diamond.closeSubpath();
    p.fillPath(diamond, kInk);
}

void drawEmblem(QPainter &p, const QPointF &centre, qreal radius)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, 2.4));
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(kFaintInk, 1));
    p.drawEllipse(centre, radius - 5, radius - 5);
    p.setPen(kInk);
    p.setFont(stampFont(int(radius * 1.1), QFont::Bold));
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    p.drawText(box, Qt::AlignCenter, QStringLiteral("B"));
}

void drawPortrait(QPainter &p)
{
    const QRectF area(0, 0, 300, 150);
    drawDoubleBorder(p, area);
    p.setPen(kInk);
    p.setFont(stampFont(30, QFont::Bold));
    p.drawText(QRectF(0, 30, 300, 50), Qt::AlignCenter, QStringLiteral("Brindlex Office"));
    drawDiamondRule(p, QPointF(150, 90), 90);
    p.setPen(kFaintInk);
    p.setFont(stampFont(12, QFont::DemiBold, 3));
    p.drawText(QRectF(0, 100, 300, 22), Qt::AlignCenter, QStringLiteral("PICTURE EXPORT"));
}

void drawHorizontal(QPainter &p)
{
    const QRectF area(0, 0, 480, 120);
    drawDoubleBorder(p, area);
    drawEmblem(p, QPointF(70, 60), 30);
    p.setPen(kInk);
    p.setFont(stampFont(34, QFont::Bold));
    p.drawText(QRectF(118, 22, 340, 48), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Brindlex Office"));
    p.setPen(kFaintInk);
    p.setFont(stampFont(12, QFont::DemiBold, 3));
    p.drawText(QRectF(120, 70, 340, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("PICTURE EXPORT"));
}

bool render(const QString &path, const QSize &size, int factor, void (*draw)(QPainter &))
{
    QImage image(size * factor, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.scale(factor, factor);
    draw(p);
    p.end();
    return image.save(path, "PNG");
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString out =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("localindex/shape");
    QDir().mkpath(out + QStringLiteral("/highdpi"));
    bool ok = true;
    for (int factor : {1, 2}) {
        const QString dir = factor == 1 ? out : out + QStringLiteral("/highdpi");
        ok &= render(dir + QStringLiteral("/watermark.png"), QSize(300, 150), factor, drawPortrait);
        ok &= render(dir + QStringLiteral("/watermark-horizontal.png"), QSize(480, 120), factor,
                     drawHorizontal);
    }
    return ok ? 0 : 1;
}
