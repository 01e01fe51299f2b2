#include "kwebloadingpage.h"

#include <kdrawhelper.h>
#include <klitestyle.h>

#include <QConicalGradient>
#include <QPainter>

namespace {
const int kSpinnerSize = 56;
const int kPenWidth = 4;
const int kArcDegrees = 270;
const int kTextGap = 12;
const int kProgressHeight = 2;
// The highlighted dot of the ellipsis moves on every this many ticks.
const int kTicksPerDot = 12;
} // namespace

KWebLoadingPage::KWebLoadingPage(QWidget *parent)
    : QWidget(parent)
    , m_text(QStringLiteral("loading..."))
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(TickMs);
    connect(m_timer, &QTimer::timeout, this, &KWebLoadingPage::onTick);
    KDrawHelper *theme = KDrawHelper::instance();
    connect(theme, &KDrawHelper::themeChanged, this, QOverload<>::of(&QWidget::update));
}

void KWebLoadingPage::setProgress(int percent)
{
    percent = qBound(0, percent, 100);
    if (percent == m_progress)
        return;
    m_progress = percent;
    update();
}

void KWebLoadingPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_timer->start();
}

// A hidden page costs nothing: the timer is what would keep repainting it.
void KWebLoadingPage::hideEvent(QHideEvent *event)
{
    m_timer->stop();
    QWidget::hideEvent(event);
}

void KWebLoadingPage::onTick()
{
    m_angle = (m_angle + StepDegrees) % 360;
    ++m_ticks;
    update();
}

QColor KWebLoadingPage::themeColor(const char *attribute, const QColor &fallback) const
{
    return KDrawHelper::instance()->getColor(KDrawHelper::themeClasses(this), QLatin1String(attribute), QStyle::State_None,
                                             fallback);
}

int KWebLoadingPage::textHeight() const
{
    return fontMetrics().height();
}

QRect KWebLoadingPage::spinnerRect() const
{
    const int size = KLiteStyle::dpiScaled(kSpinnerSize);
    const int block = size + KLiteStyle::dpiScaled(kTextGap) + textHeight();
    const int top = qMax(0, int((height() - block) * 0.45));
    return QRect((width() - size) / 2, top, size, size);
}

void KWebLoadingPage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), themeColor("background", Qt::white));
    if (m_progress > 0) {
        const int line = KLiteStyle::dpiScaled(kProgressHeight);
        painter.fillRect(QRect(0, 0, width() * m_progress / 100, line), themeColor("progress", QColor(0x8B97AF)));
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect spinner = spinnerRect();
    paintSpinner(painter, spinner);
    paintText(painter, QRect(0, spinner.bottom() + 1 + KLiteStyle::dpiScaled(kTextGap), width(), textHeight()));
}

// The arc fades from white at its tail to grey at its head, the head leading the turn.
void KWebLoadingPage::paintSpinner(QPainter &painter, const QRect &area) const
{
    const int pen = KLiteStyle::dpiScaled(kPenWidth);
    const QRectF ring = QRectF(area).adjusted(pen / 2.0, pen / 2.0, -pen / 2.0, -pen / 2.0);
    painter.save();
    painter.translate(ring.center());
    painter.rotate(m_angle);
    painter.translate(-ring.center());
    // Qt's angles run counter-clockwise: the arc starts at 0 and its head is at 270.
    QConicalGradient gradient(ring.center(), 0);
    gradient.setColorAt(0.0, Qt::white);
    gradient.setColorAt(kArcDegrees / 360.0, QColor(0x737373));
    // The round caps reach a little past both ends: the head's stays grey, the tail's,
    // which lies just below 0, white.
    gradient.setColorAt((kArcDegrees + 20) / 360.0, QColor(0x737373));
    gradient.setColorAt(1.0, Qt::white);
    QPen arcPen(QBrush(gradient), pen, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(arcPen);
    painter.drawArc(ring, 0, kArcDegrees * 16);
    painter.restore();
}

// "loading" in the text colour, then three dots of which one is highlighted in turn.
void KWebLoadingPage::paintText(QPainter &painter, const QRect &area) const
{
    const QString word = m_text.endsWith(QLatin1String("...")) ? m_text.chopped(3) : m_text;
    const int dots = m_text.size() - word.size();
    const QFontMetrics metrics = fontMetrics();
    const int dotWidth = metrics.horizontalAdvance(QLatin1Char('.'));
    int x = area.center().x() - (metrics.horizontalAdvance(word) + dots * dotWidth) / 2;
    painter.setPen(themeColor("text", QColor(0x737373)));
    painter.drawText(QRect(x, area.top(), metrics.horizontalAdvance(word), area.height()), Qt::AlignLeft | Qt::AlignVCenter, word);
    x += metrics.horizontalAdvance(word);
    const int lit = (m_ticks / kTicksPerDot) % qMax(1, dots);
    for (int i = 0; i < dots; ++i, x += dotWidth) {
        painter.setPen(i == lit ? themeColor("ellipsis-highlight", QColor(0x737373)) : themeColor("ellipsis", QColor(0xC4C8CF)));
        painter.drawText(QRect(x, area.top(), dotWidth, area.height()), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("."));
    }
}
