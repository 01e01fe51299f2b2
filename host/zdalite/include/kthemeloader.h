#pragma once

#include <QColor>
#include <QHash>
#include <QString>

// One theme file of the host (".kuip", XML): colours and measures per theme class, e.g.
//
//   <theme name="default">
//     <class name="KAppTitleBar">
//       <color name="background" value="#2b579a"/>
//       <color name="background:hover" value="#3b67aa"/>
//       <metric name="height" value="32"/>
//     </class>
//     <icon name="frame_title_close" value="icons/close.svg" color="#ffffff"/>
//   </theme>
//
// A colour for one state of a widget is named "attribute:state" (hover, pressed, disabled,
// checked). An icon names an SVG or raster file, relative to the theme file, and optionally
// the colour its drawing is recoloured with.
//
// Widgets read the values through KDrawHelper, which stacks the loaded themes.
class KThemeLoader
{
public:
    // Reads the file; on failure the loader keeps what it had and errorString() says why.
    bool setupXml(const QString &filePath);

    QString name() const;
    QString filePath() const;
    QString errorString() const;

    bool hasColor(const QString &themeClass, const QString &attribute) const;
    // An invalid colour when the theme does not set it.
    QColor color(const QString &themeClass, const QString &attribute) const;
    bool hasMetric(const QString &themeClass, const QString &attribute) const;
    int metric(const QString &themeClass, const QString &attribute, int fallback = 0) const;

    struct Icon
    {
        QString path;
        QColor tint; // invalid: the drawing's own colours
    };
    bool hasIcon(const QString &name) const;
    Icon icon(const QString &name) const;

private:
    static QString key(const QString &themeClass, const QString &attribute);

    QString m_name;
    QString m_filePath;
    QString m_error;
    QHash<QString, QColor> m_colors;
    QHash<QString, int> m_metrics;
    QHash<QString, Icon> m_icons;
};
