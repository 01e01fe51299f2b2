#include "kappqrcodebox.h"

#include <kdrawhelper.h>
#include <klitestyle.h>

#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

KAppQRCodeBox::KAppQRCodeBox(QWidget *parent)
    : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
    , m_title(new QLabel(this))
    , m_image(new QLabel(this))
    , m_text(new QLabel(this))
{
    const int pad = KLiteStyle::dpiScaled(12);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(pad, pad, pad, pad);
    layout->setSpacing(KLiteStyle::dpiScaled(8));
    m_title->setAlignment(Qt::AlignCenter);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->hide();
    m_image->setAlignment(Qt::AlignCenter);
    m_image->setFixedSize(KLiteStyle::dpiScaled(QSize(180, 180)));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setWordWrap(true);
    m_text->setFixedWidth(m_image->width());
    layout->addWidget(m_title);
    layout->addWidget(m_image, 0, Qt::AlignHCenter);
    layout->addWidget(m_text);
    KDrawHelper::instance()->applyPalette(this, QStringLiteral("KAppQRCodeBox"));
}

void KAppQRCodeBox::setTitle(const QString &title)
{
    m_title->setText(title);
    m_title->setVisible(!title.isEmpty());
}

QString KAppQRCodeBox::title() const
{
    return m_title->text();
}

void KAppQRCodeBox::setText(const QString &text)
{
    m_text->setText(text);
}

QString KAppQRCodeBox::text() const
{
    return m_text->text();
}

void KAppQRCodeBox::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    const QSize target = m_image->size() * devicePixelRatioF();
    // Enlarged codes keep hard module edges; smoothing would blur them for scanners.
    const Qt::TransformationMode mode = picture.width() < target.width() ? Qt::FastTransformation : Qt::SmoothTransformation;
    QPixmap shown = picture.isNull() ? picture : picture.scaled(target, Qt::KeepAspectRatio, mode);
    shown.setDevicePixelRatio(devicePixelRatioF());
    m_image->setPixmap(shown);
}

QPixmap KAppQRCodeBox::loadPicture(const QString &path, const QSize &size)
{
    QImageReader reader(path);
    if (reader.supportsOption(QImageIOHandler::ScaledSize) && reader.size().isValid())
        reader.setScaledSize(reader.size().scaled(size, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull())
        return QPixmap();
    return QPixmap::fromImage(image.size() == size ? image : image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void KAppQRCodeBox::popupBelow(const QPoint &globalTopCentre)
{
    adjustSize();
    QRect box(QPoint(globalTopCentre.x() - width() / 2, globalTopCentre.y()), size());
    if (QScreen *screen = QGuiApplication::screenAt(globalTopCentre)) {
        const QRect area = screen->availableGeometry();
        box.moveLeft(qBound(area.left(), box.left(), qMax(area.left(), area.right() - box.width() + 1)));
        box.moveTop(qBound(area.top(), box.top(), qMax(area.top(), area.bottom() - box.height() + 1)));
    }
    move(box.topLeft());
    show();
}

void KAppQRCodeBox::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    emit shown();
}

void KAppQRCodeBox::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    emit hidden();
}

void KAppQRCodeBox::paintEvent(QPaintEvent *)
{
    const QStringList classes = KDrawHelper::themeClasses(this);
    KDrawHelper *draw = KDrawHelper::instance();
    QPainter painter(this);
    painter.fillRect(rect(), draw->getColor(classes, QStringLiteral("background"), QStyle::State_Enabled, Qt::white));
    painter.setPen(draw->getColor(classes, QStringLiteral("border"), QStyle::State_Enabled, QColor(0xd3, 0xd7, 0xde)));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

KAppWndTitleSeparator::KAppWndTitleSeparator(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

QSize KAppWndTitleSeparator::sizeHint() const
{
    return KLiteStyle::dpiScaled(QSize(9, 16));
}

void KAppWndTitleSeparator::paintEvent(QPaintEvent *)
{
    const QColor color = KDrawHelper::instance()->getColor(KDrawHelper::themeClasses(this), QStringLiteral("separator"),
                                                           QStyle::State_Enabled, QColor(0xd3, 0xd7, 0xde));
    const int length = qMin(height(), KLiteStyle::dpiScaled(16));
    const int top = (height() - length) / 2;
    QPainter painter(this);
    painter.fillRect(QRect(width() / 2, top, qMax(1, KLiteStyle::dpiScaled(1)), length), color);
}
