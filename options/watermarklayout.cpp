#include "watermarklayout.h"

#include <QFontMetrics>

namespace {

struct PixelRange
{
    int min;
    int max;
};

int clampedScale(int scale)
{
    return qMax(1, scale);
}

PixelRange fontPixelRange(int size, int scale)
{
    PixelRange range{12, 48};
    if (size == WatermarkSizeSmall)
        range = {12, 38};
    else if (size == WatermarkSizeLarge)
        range = {18, 68};
    const int k = clampedScale(scale);
    return {range.min * k, range.max * k};
}

// Sets the largest pixel size at which the text fits the width and returns the text's bounds
// at the size that was set.
QRect fitFontToWidth(QFont &font, const QString &text, const PixelRange &range, int width)
{
    QRect bounds;
    for (int px = range.max; px >= range.min; --px) {
        font.setPixelSize(px);
        bounds = QFontMetrics(font).boundingRect(text);
        if (bounds.width() <= width)
            return bounds;
    }
    font.setPixelSize(range.min);
    return bounds;
}

// Moves a cut so that it never separates the halves of a surrogate pair.
int safeCut(const QString &text, int cut)
{
    if (cut > 0 && cut < text.size() && text.at(cut - 1).isHighSurrogate()
        && text.at(cut).isLowSurrogate())
        return cut - 1;
    return cut;
}

int pieceLength(const QString &text, int pos, int chunk, int maxWidth, const QFontMetrics &metrics)
{
    int length = qMin(chunk, text.size() - pos);
    while (length > 1 && metrics.horizontalAdvance(text.mid(pos, length)) >= maxWidth)
        --length;
    const int cut = safeCut(text, pos + length);
    // A piece always advances, even when one character is wider than the limit.
    return cut > pos ? cut - pos : safeCut(text, pos + 2) - pos;
}

QString splitAtHalf(const QString &text)
{
    const int half = safeCut(text, text.size() / 2);
    if (half == 0)
        return text;
    return text.left(half) + QLatin1Char('\n') + text.mid(half);
}

} // namespace

QSize watermarkTextSize(int size, int scale)
{
    QSize box(192, 48);
    if (size == WatermarkSizeSmall)
        box = QSize(152, 38);
    else if (size == WatermarkSizeLarge)
        box = QSize(272, 68);
    return box * clampedScale(scale);
}

WrappedText splitTextToLines(const QString &text, int maxWidth, const QFont &font)
{
    const QFontMetrics metrics(font);
    WrappedText wrapped;
    if (maxWidth <= 0) {
        wrapped.lines << text;
    } else {
        const int chunk = qMax(1, maxWidth / qMax(1, metrics.averageCharWidth()));
        for (int pos = 0; pos < text.size();) {
            const int length = pieceLength(text, pos, chunk, maxWidth, metrics);
            wrapped.lines << text.mid(pos, length);
            pos += length;
        }
    }
    wrapped.height = metrics.lineSpacing() * wrapped.lines.size();
    return wrapped;
}

WatermarkTextLayout layoutWatermarkText(const WatermarkSetting &setting, const QRectF &frame)
{
    const QSize box = watermarkTextSize(setting.size(), setting.scale());
    WatermarkTextLayout layout;
    // Qt's font cache keeps the family for the whole process: a literal's text would stay
    // inside the add-on's module, which the host may unload.
    layout.font = QFont(QString::fromLatin1("Microsoft YaHei"));
    const PixelRange range = fontPixelRange(setting.size(), setting.scale());
    const QRect bounds = fitFontToWidth(layout.font, setting.text(), range, box.width());
    layout.text = setting.text();
    layout.alignment = Qt::AlignCenter;
    int textHeight = bounds.height();
    if (bounds.width() > box.width()) {
        const WrappedText wrapped = splitTextToLines(setting.text(), box.width(), layout.font);
        // Two lines read best as halves of the text, centred; longer texts keep their cuts.
        if (wrapped.lines.size() == 2) {
            layout.text = splitAtHalf(setting.text());
        } else {
            layout.text = wrapped.lines.join(QLatin1Char('\n'));
            layout.alignment = Qt::AlignLeft;
        }
        textHeight = wrapped.height;
    }
    layout.frame = frame;
    layout.textRect = QRectF(frame.left() + (frame.width() - box.width()) * 0.5,
                             frame.top() + (frame.height() - textHeight) * 0.5, box.width(),
                             textHeight);
    return layout;
}
