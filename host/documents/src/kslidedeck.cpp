#include "kslidedeck.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QRegularExpression>
#include <QTextDocument>

namespace {

const QSizeF kSlide(1280, 720);
constexpr double kSide = 64;
const QColor kAccent(43, 76, 126);
const QString kFamily = QStringLiteral("DejaVu Sans");

bool isFence(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1String("```")) || t.startsWith(QLatin1String("~~~"));
}

KSlideDeck::Slide slideOf(const QStringList &lines)
{
    static const QRegularExpression heading(QStringLiteral("^\\s{0,3}#{1,6}\\s+(.*?)\\s*#*\\s*$"));
    KSlideDeck::Slide slide;
    int first = 0;
    while (first < lines.size() && lines.at(first).trimmed().isEmpty())
        ++first;
    const QRegularExpressionMatch m = first < lines.size() ? heading.match(lines.at(first)) : QRegularExpressionMatch();
    if (m.hasMatch()) {
        slide.title = m.captured(1);
        ++first;
    }
    slide.body = lines.mid(first).join(QLatin1Char('\n')).trimmed();
    return slide;
}

bool isBlank(const KSlideDeck::Slide &slide)
{
    return slide.title.isEmpty() && slide.body.isEmpty();
}

void paintTitle(QPainter *painter, const QString &title, bool alone)
{
    QFont font(kFamily);
    font.setPixelSize(alone ? 60 : 44);
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(kAccent);
    const QRectF box = alone ? QRectF(kSide, 0, kSlide.width() - 2 * kSide, kSlide.height())
                             : QRectF(kSide, 36, kSlide.width() - 2 * kSide, 120);
    painter->drawText(box, Qt::AlignVCenter | (alone ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::TextWordWrap, title);
}

void paintBody(QPainter *painter, const QString &body, const QUrl &baseUrl, double top)
{
    // Measured at 96 units per inch whatever the screen says, so slides look alike everywhere.
    QImage layoutDevice(1, 1, QImage::Format_RGB32);
    layoutDevice.setDotsPerMeterX(qRound(96 / 0.0254));
    layoutDevice.setDotsPerMeterY(qRound(96 / 0.0254));
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&layoutDevice);
    document.setBaseUrl(baseUrl);
    QFont font(kFamily);
    font.setPixelSize(28);
    document.setDefaultFont(font);
    document.setMarkdown(body);
    document.setTextWidth(kSlide.width() - 2 * kSide);
    const QRectF clip(0, 0, kSlide.width() - 2 * kSide, kSlide.height() - top - 40);
    painter->save();
    painter->translate(kSide, top);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip;
    context.palette.setColor(QPalette::Text, QColor(34, 34, 34));
    painter->setClipRect(clip);
    document.documentLayout()->draw(painter, context);
    painter->restore();
}

} // namespace

QSizeF KSlideDeck::slideSize()
{
    return kSlide;
}

QList<KSlideDeck::Slide> KSlideDeck::parse(const QString &markdown)
{
    QList<Slide> slides;
    QStringList lines;
    bool inFence = false;
    const QStringList all = QString(markdown).remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    for (const QString &line : all) {
        if (isFence(line))
            inFence = !inFence;
        if (!inFence && line.trimmed() == QLatin1String("---")) {
            slides << slideOf(lines);
            lines.clear();
            continue;
        }
        lines << line;
    }
    slides << slideOf(lines);
    // A separator opening or closing the file makes no slide of its own.
    if (!slides.isEmpty() && isBlank(slides.first()))
        slides.removeFirst();
    if (!slides.isEmpty() && isBlank(slides.last()))
        slides.removeLast();
    return slides;
}

void KSlideDeck::paint(QPainter *painter, const Slide &slide, const QUrl &baseUrl, bool smooth)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, smooth);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    painter->fillRect(QRectF(QPointF(0, 0), kSlide), Qt::white);
    painter->fillRect(QRectF(0, 0, kSlide.width(), 12), kAccent);
    painter->fillRect(QRectF(0, kSlide.height() - 4, kSlide.width(), 4), kAccent);
    const bool titleAlone = slide.body.isEmpty();
    if (!slide.title.isEmpty())
        paintTitle(painter, slide.title, titleAlone);
    if (!slide.body.isEmpty())
        paintBody(painter, slide.body, baseUrl, slide.title.isEmpty() ? 60 : 176);
    painter->restore();
}
