#pragma once

#include "kthemeloader.h"

#include <QIconEngine>


// Draws a theme icon from its file at whatever size and pixel ratio it is painted; SVG files
// are rendered at that size by Qt's image reader (its SVG plug-in loads only when an icon is
// drawn), so icons stay sharp at every display factor. A tint recolours the opaque parts.
class KThemeIconEngine : public QIconEngine
{
public:
    static QIcon icon(const KThemeLoader::Icon &entry);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine *clone() const override;
    QString key() const override { return QStringLiteral("KThemeIconEngine"); }
    QString iconName() const override { return m_entry.path; }

private:
    explicit KThemeIconEngine(const KThemeLoader::Icon &entry);
    QImage render(const QSize &pixels, QIcon::Mode mode) const;

    KThemeLoader::Icon m_entry;
};
