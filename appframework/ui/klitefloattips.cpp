#include "klitefloattips.h"

#include <kdrawhelper.h>
#include <klitestyle.h>

#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QTimer>

KLiteFloatTips::KLiteFloatTips(QWidget *parent, const QString &text, int stayMs, int fadeMs)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_text(text)
    , m_stay(stayMs)
    , m_fade(fadeMs)
    , m_effect(new QGraphicsOpacityEffect(this))
    , m_timer(new QTimer(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_effect->setOpacity(1.0);
    setGraphicsEffect(m_effect);
    m_timer->setInterval(30);
    connect(m_timer, &QTimer::timeout, this, &KLiteFloatTips::onTimer);
}

double KLiteFloatTips::opacity() const
{
    return m_effect->opacity();
}

double KLiteFloatTips::opacityAt(qint64 elapsedMs, int stayMs, int fadeMs)
{
    if (elapsedMs <= stayMs)
        return 1.0;
    if (fadeMs <= 0 || elapsedMs >= qint64(stayMs) + fadeMs)
        return 0.0;
    return 1.0 - double(elapsedMs - stayMs) / fadeMs;
}

void KLiteFloatTips::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    const QStringList classes = KDrawHelper::themeClasses(this);
    m_stay = KDrawHelper::instance()->getMetric(classes, QStringLiteral("stay"), m_stay);
    m_fade = KDrawHelper::instance()->getMetric(classes, QStringLiteral("fade"), m_fade);
    m_shown.start();
    m_timer->start();
}

void KLiteFloatTips::onTimer()
{
    const qint64 elapsed = m_clock ? m_clock() : m_shown.elapsed();
    const double opacity = opacityAt(elapsed, m_stay, m_fade);
    m_effect->setOpacity(opacity);
    if (elapsed < qint64(m_stay) + m_fade)
        return;
    hide();
    move(-1000, -1000);
    m_timer->stop();
    close();
}

void KLiteFloatTips::paintEvent(QPaintEvent *)
{
    const QStringList classes = KDrawHelper::themeClasses(this);
    KDrawHelper *draw = KDrawHelper::instance();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(draw->getColor(classes, QStringLiteral("background"), QStyle::State_Enabled, QColor(31, 35, 41, 217)));
    const qreal radius = KLiteStyle::dpiScaled(4);
    painter.drawRoundedRect(QRectF(rect()), radius, radius);
    painter.setPen(draw->getColor(classes, QStringLiteral("text"), QStyle::State_Enabled, Qt::white));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, m_text);
}
