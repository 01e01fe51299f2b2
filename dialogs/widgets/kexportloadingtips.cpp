#include "kexportloadingtips.h"

#include "kexportwidgetstyle.h"

#include <QConicalGradient>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

using namespace kexportwidgets;

KLoadingIcon::KLoadingIcon(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(scaled(16), scaled(16));
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &KLoadingIcon::onTimeOut);
}

void KLoadingIcon::onTimeOut()
{
    m_angle = (m_angle + kStepDegrees) % 360;
    update();
}

void KLoadingIcon::showEvent(QShowEvent *event)
{
    m_timer.start();
    QWidget::showEvent(event);
}

void KLoadingIcon::hideEvent(QHideEvent *event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}

void KLoadingIcon::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal pen = scaled(2);
    const QRectF box = QRectF(rect()).adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
    p.translate(box.center());
    p.rotate(m_angle);
    p.translate(-box.center());
    // Fades from the head of the arc to its tail.
    QConicalGradient gradient(box.center(), 0);
    gradient.setColorAt(0.0, QColor(255, 255, 255, 255));
    gradient.setColorAt(0.75, QColor(255, 255, 255, 30));
    gradient.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(QPen(QBrush(gradient), pen, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(box, 0, 270 * 16);
}

KLodingWidget::KLodingWidget(const QString &text, QWidget *parent)
    : QWidget(parent)
    , m_icon(new KLoadingIcon(this))
    , m_label(new QLabel(text, this))
{
    m_label->setFont(uiFont(12));
    m_label->setStyleSheet(QStringLiteral("color:#ffffff;background:transparent;"));
    auto *row = new QHBoxLayout(this);
    const int margin = scaled(16);
    row->setContentsMargins(margin, margin, margin, margin);
    row->setSpacing(scaled(10));
    row->addWidget(m_icon);
    row->addWidget(m_label);
}

void KLodingWidget::setText(const QString &text)
{
    m_label->setText(text);
}

QString KLodingWidget::text() const
{
    return m_label->text();
}

void KLodingWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 178));
    p.drawRoundedRect(rect(), scaled(4), scaled(4));
}

KExportLoadingTips::KExportLoadingTips(QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Tool)
    , m_strip(new KLodingWidget(waitText(), this))
    , m_cancel(new QLabel(cancelLink(), this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    m_cancel->setFont(uiFont(12));
    m_cancel->setTextFormat(Qt::RichText);
    m_cancel->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    m_cancel->setCursor(Qt::PointingHandCursor);
    m_cancel->setStyleSheet(QStringLiteral("background:transparent;"));
    // The link sits inside the strip, after the text.
    auto *stripRow = qobject_cast<QHBoxLayout *>(m_strip->layout());
    stripRow->addWidget(m_cancel);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_strip);
    connect(m_cancel, &QLabel::linkActivated, this, &KExportLoadingTips::onCloseBtnClicked);
}

QString KExportLoadingTips::waitText()
{
    return tr("Exporting image, please wait...");
}

QString KExportLoadingTips::cancelLink()
{
    const QString open = QStringLiteral("<a href=\"login\" style=\"text-decoration:none; color:#4185dc; size:%1px;\">")
                             .arg(12);
    return tr("%1cancel%2").arg(open, QStringLiteral("</a>"));
}

void KExportLoadingTips::setText(const QString &text)
{
    m_strip->setText(text);
}

QString KExportLoadingTips::text() const
{
    return m_strip->text();
}

void KExportLoadingTips::showCentredOn(QWidget *widget)
{
    adjustSize();
    QWidget *window = widget ? widget->window() : nullptr;
    if (window) {
        const QPoint centre = window->mapToGlobal(window->rect().center());
        move(centre - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
}

void KExportLoadingTips::onCloseBtnClicked()
{
    hide();
    setText(waitText());
    emit closeTips();
}
