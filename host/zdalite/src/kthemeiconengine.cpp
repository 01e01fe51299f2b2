#include "kthemeiconengine.h"

#include <QImageReader>
#include <QPainter>
#include <QPixmapCache>

KThemeIconEngine::KThemeIconEngine(const KThemeLoader::Icon &entry)
    : m_entry(entry)
{
}

QIcon KThemeIconEngine::icon(const KThemeLoader::Icon &entry)
{
    if (!QImageReader(entry.path).canRead()) {
        qWarning("zdalite: icon file \"%s\" is unreadable", qPrintable(entry.path));
        return QIcon();
    }
    return QIcon(new KThemeIconEngine(entry));
}

QImage KThemeIconEngine::render(const QSize &pixels, QIcon::Mode mode) const
{
    QImageReader reader(m_entry.path);
    reader.setScaledSize(pixels);
    QImage image = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.size() != pixels)
        image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    if (m_entry.tint.isValid())
        painter.fillRect(image.rect(), m_entry.tint);
    if (mode == QIcon::Disabled) {
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.fillRect(image.rect(), QColor(0, 0, 0, 100));
    }
    return image;
}

QPixmap KThemeIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State)
{
    if (size.isEmpty())
        return QPixmap();
    const QString key = QStringLiteral("kthemeicon:%1:%2:%3x%4:%5")
                            .arg(m_entry.path, m_entry.tint.name(QColor::HexArgb))
                            .arg(size.width())
                            .arg(size.height())
                            .arg(int(mode));
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap::fromImage(render(size, mode));
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

void KThemeIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state)
{
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
    drawn.setDevicePixelRatio(ratio);
    painter->drawPixmap(rect.topLeft(), drawn);
}

QSize KThemeIconEngine::actualSize(const QSize &size, QIcon::Mode, QIcon::State)
{
    return size;
}

QIconEngine *KThemeIconEngine::clone() const
{
    return new KThemeIconEngine(*this);
}
