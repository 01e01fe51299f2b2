#include "ktestmain.h"

#include "watermarkattributes.h"
#include "watermarklabels.h"
#include "watermarklayout.h"
#include "watermarkpainter.h"
#include "watermarkpicture.h"

#include <klitestyle.h>

#include <QDomDocument>
#include <QFontMetrics>
#include <QPainter>

namespace {

using Points = QVector<QPointF>;
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

WatermarkSetting stamp(int style, int size = WatermarkSizeLarge, int rotate = 0)
{
    WatermarkSetting s;
    s.setStyle(style);
    s.setSize(size);
    s.setRotate(rotate);
    s.setOpacity(1.0);
    return s;
}

QImage whitePicture(int w, int h, QImage::Format format = QImage::Format_RGB32, Qt::GlobalColor colour = Qt::white)
{
    QImage image(w, h, format);
    image.fill(colour);
    return image;
}

bool inkNear(const QImage &cell, const QPointF &at, int radius)
{
    for (int y = int(at.y()) - radius; y <= int(at.y()) + radius; ++y) {
        for (int x = int(at.x()) - radius; x <= int(at.x()) + radius; ++x) {
            if (cell.valid(x, y) && qAlpha(cell.pixel(x, y)) > 0)
                return true;
        }
    }
    return false;
}

int countPixels(const QImage &image, QRgb rgb)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF);
    }
    return count;
}

bool isBlank(const QImage &image)
{
    return countPixels(image, kWhite) == image.width() * image.height();
}

QImage redPicture() { return whitePicture(100, 50, QImage::Format_ARGB32, Qt::red); }

} // namespace

class TestWatermark : public QObject
{
    Q_OBJECT
private slots:
    void noStampLeavesPictureUntouched()
    {
        WatermarkSetting none = stamp(WatermarkStyleNone);
        none.setPicture(redPicture());
        WatermarkSetting unknown = none;
        unknown.setStyle(7);
        const QImage original = whitePicture(300, 200);
        for (const WatermarkSetting *s : {&none, &unknown, static_cast<WatermarkSetting *>(nullptr)}) {
            QImage image = original;
            paintWatermark(image, s);
            QCOMPARE(image, original);
        }
    }

    void cellSizeFollowsMarginsScaleAndRotation()
    {
        struct Case { int style, size, scale, rotate; QSize cell; };
        const Case cases[] = {
            {2, 2, 1, 0, {426, 262}},  {2, 2, 1, -30, {426, 262}}, {2, 2, 1, 90, {262, 426}},
            {3, 0, 2, 0, {384, 278}},  {0, 1, 1, 0, {277, 155}},   {0, 9, 1, 0, {277, 155}},
            {0, 1, 0, 0, {277, 155}}, // unknown size is mid, scale 0 is 1
        };
        for (const Case &c : cases) {
            WatermarkSetting s = stamp(c.style, c.size, c.rotate);
            s.setScale(c.scale);
            QCOMPARE(watermarkCellSize(s), c.cell);
        }
    }

    // Tiled, the cells form a grid centred on the picture; centred, one cell sits in the
    // middle and nothing else is drawn.
    void cellsFormCentredGridOrOneCell_data()
    {
        QTest::addColumn<int>("policy");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QPoint>("offset");
        QTest::newRow("several cells") << int(WatermarkPolicyTile) << QSize(600, 400) << QPoint(-115, -32);
        QTest::newRow("smaller than a cell") << int(WatermarkPolicyTile) << QSize(100, 60) << QPoint(-88, -47);
        QTest::newRow("exactly one cell") << int(WatermarkPolicyTile) << QSize(277, 155) << QPoint(0, 0);
        QTest::newRow("one pixel more") << int(WatermarkPolicyTile) << QSize(278, 156) << QPoint(-138, -77);
        QTest::newRow("centred") << int(WatermarkPolicyCenter) << QSize(3 * 277, 3 * 155) << QPoint(277, 155);
    }
    void cellsFormCentredGridOrOneCell()
    {
        QFETCH(int, policy);
        QFETCH(QSize, picture);
        QFETCH(QPoint, offset);
        // A 277 x 155 cell; centred on a picture of that size it is the one cell at 0, 0.
        WatermarkSetting s = stamp(WatermarkStyleText, WatermarkSizeMid);
        s.setPolicy(WatermarkPolicyCenter);
        QImage single = whitePicture(277, 155);
        paintWatermark(single, &s);
        QVERIFY(!isBlank(single));

        s.setPolicy(policy);
        QImage painted = whitePicture(picture.width(), picture.height());
        paintWatermark(painted, &s);
        const QRect middle(offset, single.size());
        for (int y = 0; y < painted.height(); ++y) {
            for (int x = 0; x < painted.width(); ++x) {
                const QPoint inCell(((x - offset.x()) % 277 + 277) % 277, ((y - offset.y()) % 155 + 155) % 155);
                const bool drawn = policy == WatermarkPolicyTile || middle.contains(x, y);
                if (painted.pixel(x, y) != (drawn ? single.pixel(inCell) : kWhite))
                    QFAIL(qPrintable(QStringLiteral("pixel %1, %2 differs").arg(x).arg(y)));
            }
        }
    }

    // Points are relative to the frame's top left, before the stamp's rotation. The text is
    // empty so that the band is 20 px and only the shape leaves ink.
    void shapesInkOutlineAndLeaveBandOpen_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("rotate");
        QTest::addColumn<QSizeF>("frame");
        QTest::addColumn<Points>("ink");
        QTest::addColumn<Points>("clear");
        QTest::newRow("circle")
            << 4 << 0 << QSizeF(336, 208)
            << Points{{159.3, -1.6}, {159.3, 209.6}, {159.3, 12.8}, {0.9, 185.6}}
            << Points{{53.7, 104}, {264.9, 104}, {159.3, 5.6}, {0.9, 197.6}};
        QTest::newRow("ellipse") << 5 << 0 << QSizeF(286, 222)
                                 << Points{{143, 0}, {143, 222}, {143, 15}}
                                 << Points{{0, 111}, {286, 111}, {143, 7.5}};
        const Points rectInk{{136, 0}, {0, 50}, {0, 120}, {13, 60}, {7.9, 7.9}};
        const Points rectClear{{0, 88}, {271, 88}, {6, 60}, {0, 0}};
        QTest::newRow("rectangle") << 3 << 0 << QSizeF(272, 178) << rectInk << rectClear;
        QTest::newRow("rectangle quarter turn")
            << 3 << 90 << QSizeF(272, 178) << rectInk << rectClear;
        QTest::newRow("right triangle")
            << 1 << 0 << QSizeF(336, 158) << Points{{168, 158}, {336, 20}, {268.8, 38.2}, {12, 14}}
            << Points{{336, 83}, {168, 83.1}, {110, 20}};
        QTest::newRow("isosceles triangle")
            << 2 << 0 << QSizeF(386, 222)
            << Points{{214, 222}, {180.1, 44.4}, {214, 200.6}, {214.4, 35.1}, {17.2, 123.4}}
            << Points{{128.6, 111}, {300.2, 111}, {214, 211}, {40, 40}};
    }
    void shapesInkOutlineAndLeaveBandOpen()
    {
        QFETCH(int, style);
        QFETCH(int, rotate);
        QFETCH(QSizeF, frame);
        QFETCH(Points, ink);
        QFETCH(Points, clear);
        WatermarkSetting s = stamp(style, WatermarkSizeLarge, rotate);
        s.setText(QString());
        QImage cell(700, 700, QImage::Format_ARGB32_Premultiplied);
        cell.fill(0);
        const QRectF frameRect(QPointF(350 - frame.width() / 2, 350 - frame.height() / 2), frame);
        drawWatermarkCell(s, cell, frameRect);
        const QTransform toCell =
            QTransform::fromTranslate(frameRect.left() - 350, frameRect.top() - 350)
            * QTransform().rotate(rotate) * QTransform::fromTranslate(350, 350);
        // A dotted outline may have a gap at any one point.
        const int reach = style == WatermarkStyleEllipse ? 7 : 2;
        for (const QPointF &p : ink)
            QVERIFY2(inkNear(cell, toCell.map(p), reach), qPrintable(QTest::toString(p)));
        for (const QPointF &p : clear)
            QVERIFY2(!inkNear(cell, toCell.map(p), 3), qPrintable(QTest::toString(p)));
    }

    void pictureTilesEverySecondRowOrCentres()
    {
        WatermarkSetting s;
        s.setStyle(WatermarkStylePicture);
        s.setPicture(redPicture());
        QImage image = whitePicture(350, 170);
        paintWatermark(image, &s);
        // Three columns with 12 px gaps; rows at 5 and 115, the row at 60 left out.
        QCOMPARE(countPixels(image, kRed), 6 * 100 * 50);
        for (const QPoint &p : {QPoint(12, 5), QPoint(236, 115), QPoint(223, 54)})
            QCOMPARE(image.pixel(p), kRed);
        QVERIFY(isBlank(image.copy(0, 55, 350, 60)));

        s.setPolicy(WatermarkPolicyCenter);
        image = whitePicture(301, 151);
        paintWatermark(image, &s);
        QCOMPARE(countPixels(image, kRed), 100 * 50);
        QCOMPARE(image.pixel(100, 50), kRed);
        QCOMPARE(image.pixel(99, 50), kWhite);
        for (int policy : {0, 1}) {
            s.setPolicy(policy);
            for (const QSize &size : {QSize(99, 400), QSize(400, 49)}) {
                image = whitePicture(size.width(), size.height());
                paintWatermark(image, &s);
                QVERIFY(isBlank(image));
            }
        }
    }

    void textTakesLargestFittingFontOrWraps()
    {
        WatermarkSetting s = stamp(WatermarkStyleText, WatermarkSizeSmall);
        WatermarkTextLayout layout = layoutWatermarkText(s, QRectF(10, 20, 300, 200));
        QCOMPARE(layout.font.family(), QStringLiteral("Microsoft YaHei"));
        QCOMPARE(layout.alignment, Qt::AlignCenter);
        QCOMPARE(layout.textRect.left(), 84.0);
        QCOMPARE(layout.textRect.center().y(), 120.0);
        QFont bigger = layout.font;
        bigger.setPixelSize(layout.font.pixelSize() + 1);
        QVERIFY(QFontMetrics(layout.font).boundingRect(s.text()).width() <= 152);
        QVERIFY(QFontMetrics(bigger).boundingRect(s.text()).width() > 152);

        QFont font(QStringLiteral("Microsoft YaHei"));
        font.setPixelSize(12);
        const QFontMetrics metrics(font);
        const int perLine = 152 / metrics.horizontalAdvance(QLatin1Char('o'));
        s.setText(QString((perLine * 3 / 2) | 1, QLatin1Char('o'))); // odd: half rounds down
        QCOMPARE(splitTextToLines(s.text(), 152, font).lines.size(), 2);
        layout = layoutWatermarkText(s, QRectF(0, 0, 200, 100));
        const int half = s.text().size() / 2;
        QCOMPARE(layout.text, s.text().left(half) + QLatin1Char('\n') + s.text().mid(half));
        QCOMPARE(layout.alignment, Qt::AlignCenter);
        QCOMPARE(layout.textRect.height(), 2.0 * metrics.lineSpacing());

        s.setText(QString(perLine * 5 / 2, QLatin1Char('o')));
        const WrappedText wrapped = splitTextToLines(s.text(), 152, font);
        QVERIFY(wrapped.lines.size() >= 3);
        layout = layoutWatermarkText(s, QRectF(0, 0, 200, 100));
        QCOMPARE(layout.text, wrapped.lines.join(QLatin1Char('\n')));
        QCOMPARE(layout.alignment, Qt::AlignLeft);
        QCOMPARE(layout.textRect.top(), (100 - wrapped.height) * 0.5);
    }

    void splitKeepsEveryCharacterWithinWidth()
    {
        QFont font(QStringLiteral("Microsoft YaHei"));
        font.setPixelSize(14);
        const QFontMetrics metrics(font);
        const QString text = QStringLiteral("Confidential draft \u6c34\u5370 for review only");
        const WrappedText wrapped = splitTextToLines(text, 90, font);
        QVERIFY(wrapped.lines.size() > 1);
        QCOMPARE(wrapped.lines.join(QString()), text);
        for (const QString &line : wrapped.lines)
            QVERIFY2(metrics.horizontalAdvance(line) < 90, qPrintable(line));
        QCOMPARE(wrapped.height, metrics.lineSpacing() * wrapped.lines.size());
        QCOMPARE(splitTextToLines(text, 0, font).lines, QStringList{text});
        // Narrower than one character: one per line, and surrogate pairs stay whole.
        const QString face = QStringLiteral("\U0001F600");
        QCOMPARE(splitTextToLines("a" + face + "b" + face, 1, font).lines,
                 (QStringList{"a", face, "b", face}));
    }

    void loadTakesOnlyPresentValidAttributes()
    {
        struct Case
        {
            const char *attributes;
            int styleBefore;
            QList<int> ints; // style, policy, size, rotate
            double opacity;
            QRgb rgb;
        };
        const Case cases[] = {
            {"style='9' policy='2' size='3' rotate='-45' opacity='2' color='1abcdef'", 3,
             {3, 1, 1, -45}, 1.0, 0x000000},
            {"policy='0' size='0' opacity='-0.5' color='ff8000'", -1, {0, 0, 0, 330}, 1.0,
             0xff8000},
            {"style='six' rotate='x' opacity='0.4' color='-1'", 5, {5, 1, 1, 330}, 0.4, 0x000000},
            {"style='6' opacity='nan'", -1, {6, 1, 1, 330}, 1.0, 0x000000},
        };
        for (const Case &c : cases) {
            QDomDocument doc;
            QVERIFY(doc.setContent(QStringLiteral("<watermark %1/>").arg(c.attributes)));
            WatermarkSetting s;
            s.setStyle(c.styleBefore);
            loadWatermarkAttributes(doc.documentElement(), s);
            QCOMPARE(QList<int>({s.style(), s.policy(), s.size(), s.rotate()}), c.ints);
            QCOMPARE(s.opacity(), c.opacity);
            QCOMPARE(s.color(), QColor(c.rgb));
        }
    }

    void saveWritesWhatLoadReads()
    {
        WatermarkSetting s = stamp(WatermarkStyleCircle, WatermarkSizeLarge, 15);
        s.setPolicy(WatermarkPolicyCenter);
        s.setOpacity(0.25);
        s.setColor(QColor(0x0000ab));
        QDomDocument doc;
        QDomElement element = doc.createElement(QStringLiteral("watermark"));
        saveWatermarkAttributes(s, element);
        QCOMPARE(element.attribute(QStringLiteral("color")), QStringLiteral("0000ab"));
        WatermarkSetting read;
        loadWatermarkAttributes(element, read);
        QCOMPARE(QList<int>({read.style(), read.policy(), read.size(), read.rotate()}),
                 QList<int>({4, 0, 2, 15}));
        QCOMPARE(read.opacity(), 0.25);
        QCOMPARE(read.color(), s.color());
        s.setColor(QColor());
        saveWatermarkAttributes(s, element);
        QCOMPARE(element.attribute(QStringLiteral("color")), QStringLiteral("222226"));
    }

    void reportLabels()
    {
        QStringList labels;
        for (int i = -1; i <= 6; ++i)
            labels << watermarkStyleLabel(i) << watermarkSizeLabel(i) << watermarkPolicyLabel(i);
        QCOMPARE(labels.join(' '), QStringLiteral(
            "other other other normal small center r_triangle mid tile i_triangle large other "
            "rectangle other other circle other other ellipse other other other other other"));
    }

    void defaultPictureFollowsComponentAndScreen()
    {
        KLiteStyle::setScaleFactor(1.0);
        const QImage regular = loadDefaultWatermarkPicture(KExportComponent::forApplication(QStringLiteral("vyx")), true);
        QCOMPARE(regular.size(), QSize(300, 150));
        QVERIFY(qAlpha(regular.pixel(150, 75)) < 255);
        QCOMPARE(loadDefaultWatermarkPicture(KExportComponent::forApplication(QStringLiteral("VYD")), true).size(), QSize(480, 120));
        QCOMPARE(loadDefaultWatermarkPicture(KExportComponent::forApplication(QStringLiteral("vyd")), false).size(), QSize(300, 150));
        KLiteStyle::setScaleFactor(2.0);
        QCOMPARE(loadDefaultWatermarkPicture(KExportComponent::forApplication(QStringLiteral("Vyd")), true).size(), QSize(960, 240));
        QCOMPARE(loadDefaultWatermarkPicture(KExportComponent::forApplication(QStringLiteral("pdf")), true).size(), QSize(600, 300));
        KLiteStyle::setScaleFactor(1.0);

        // Tiled over a page the stamp stays light enough to read body text through, yet shows.
        for (const char *name : {"watermark.png", "watermark-horizontal.png", "highdpi/watermark.png", "highdpi/watermark-horizontal.png"}) {
            const QImage stamp(QStringLiteral(":/localindex/shape/") + QLatin1String(name));
            QImage page = whitePicture(stamp.width(), stamp.height());
            QPainter(&page).drawImage(0, 0, stamp);
            int darkest = 255;
            for (int y = 0; y < page.height(); ++y) {
                for (int x = 0; x < page.width(); ++x)
                    darkest = qMin(darkest, qGray(page.pixel(x, y)));
            }
            QVERIFY2(darkest >= 210 && darkest <= 245, qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(name)).arg(darkest)));
        }
    }

    void stampColourCarriesOpacity()
    {
        WatermarkSetting s;
        s.setColor(QColor());
        QCOMPARE(watermarkStampColor(s), QColor(0x22, 0x22, 0x26, 25));
        for (double opacity : {2.0, qQNaN()}) {
            s.setOpacity(opacity);
            QCOMPARE(watermarkStampColor(s).alpha(), 255);
        }
        // Text keeps the chosen colour: white at half opacity on black is mid grey, not darker.
        WatermarkSetting white = stamp(WatermarkStyleText, WatermarkSizeMid);
        white.setColor(Qt::white);
        white.setOpacity(0.5);
        QImage image = whitePicture(300, 200, QImage::Format_RGB32, Qt::black);
        paintWatermark(image, &white);
        int brightest = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                brightest = qMax(brightest, qGray(image.pixel(x, y)));
        }
        QVERIFY2(brightest >= 120 && brightest <= 135, QByteArray::number(brightest));
    }

    // Every style as an export would paint it, kept for a person to look at; odd settings
    // (no scale, a turn past 360, text far taller than any shape) and pictures of few colours
    // still paint, without a warning.
    void rendersEveryStyle()
    {
        static int warnings = 0;
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &, const QString &) {
                warnings += type != QtDebugMsg && type != QtInfoMsg;
            });
        struct Variant { const char *name; int policy, scale, rotate, size; QString text; };
        const Variant variants[] = {{"tile", 1, 1, 330, WatermarkSizeMid, QString()},
                                    {"centre", 0, 1, 330, WatermarkSizeMid, QString()},
                                    {"straight", 0, 1, 0, WatermarkSizeMid, QString()},
                                    {"tile-x2", 1, 2, 330, WatermarkSizeMid, QString()},
                                    {"odd", 1, 0, 725, WatermarkSizeSmall, QString(400, QLatin1Char('W'))}};
        for (int style = WatermarkStyleText; style <= WatermarkStylePicture; ++style) {
            for (const Variant &v : variants) {
                WatermarkSetting s = stamp(style, v.size, v.rotate);
                s.setPolicy(v.policy);
                s.setScale(v.scale);
                s.setOpacity(0.35);
                s.setColor(QColor(0x1f4e9a));
                s.setPicture(loadDefaultWatermarkPicture(KExportComponent::forApplication(QStringLiteral("vyx")), false));
                if (!v.text.isNull())
                    s.setText(v.text);
                QImage image = whitePicture(600 * qMax(1, v.scale), 400 * qMax(1, v.scale));
                paintWatermark(image, &s);
                QVERIFY2(!isBlank(image), v.name);
                const QString name = QStringLiteral("watermark-style-%1-%2.png");
                QVERIFY(image.save(ktest::artifactPath(name.arg(style).arg(v.name))));
            }
        }
        for (QImage::Format format : {QImage::Format_Indexed8, QImage::Format_Mono}) {
            QImage image = whitePicture(300, 200).convertToFormat(format);
            WatermarkSetting s = stamp(WatermarkStyleCircle, WatermarkSizeMid);
            paintWatermark(image, &s);
            QVERIFY(!isBlank(image));
        }
        qInstallMessageHandler(previous);
        QCOMPARE(warnings, 0);
    }
};

KTAVRO_TEST_MAIN(TestWatermark)
#include "tst_watermark.moc"
