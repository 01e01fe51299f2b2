#include "kwebnetworkerrpage.h"

#include <kdrawhelper.h>
#include <klitestyle.h>

#include <QPainter>

namespace {
const int kPictureSize = 96;
const int kTextGap = 16;
} // namespace

KWebNetworkErrPage::KWebNetworkErrPage(QWidget *parent)
    : QWidget(parent)
    , m_picture(QStringLiteral("plugin_client_networkerror"))
    , m_text(tr("Loading failed, please try again later"))
{
    connect(KDrawHelper::instance(), &KDrawHelper::themeChanged, this, QOverload<>::of(&QWidget::update));
}

QColor KWebNetworkErrPage::themeColor(const char *attribute, const QColor &fallback) const
{
    return KDrawHelper::instance()->getColor(KDrawHelper::themeClasses(this), QLatin1String(attribute), QStyle::State_None,
                                             fallback);
}

QRect KWebNetworkErrPage::pictureRect() const
{
    const int size = KLiteStyle::dpiScaled(kPictureSize);
    const int block = size + KLiteStyle::dpiScaled(kTextGap) + fontMetrics().height();
    return QRect((width() - size) / 2, qMax(0, int((height() - block) * 0.45)), size, size);
}

QRect KWebNetworkErrPage::textRect() const
{
    const QRect picture = pictureRect();
    return QRect(0, picture.bottom() + 1 + KLiteStyle::dpiScaled(kTextGap), width(), fontMetrics().height());
}

void KWebNetworkErrPage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), themeColor("background", Qt::white));
    const QRect picture = pictureRect();
    // Drawn at the device's resolution so the outline stays sharp on scaled displays.
    KDrawHelper::instance()->getIcon(m_picture).paint(&painter, picture);
    painter.setPen(themeColor("text", QColor(0x737373)));
    painter.drawText(textRect(), Qt::AlignHCenter | Qt::AlignVCenter, m_text);
}
