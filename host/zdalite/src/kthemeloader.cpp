#include "kthemeloader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace {

struct ParsedTheme
{
    QString name;
    QHash<QString, QColor> colors;
    QHash<QString, int> metrics;
    QHash<QString, KThemeLoader::Icon> icons;
};

QString parseEntry(QXmlStreamReader &xml, const QString &themeClass, ParsedTheme &theme)
{
    const QString element = xml.name().toString();
    const QString attribute = xml.attributes().value(QStringLiteral("name")).toString();
    const QString value = xml.attributes().value(QStringLiteral("value")).toString();
    if (attribute.isEmpty())
        return QStringLiteral("<%1> without a name in class %2").arg(element, themeClass);
    const QString key = themeClass + QLatin1Char('/') + attribute;
    if (element == QLatin1String("color")) {
        const QColor color(value);
        if (!color.isValid())
            return QStringLiteral("invalid colour \"%1\" for %2").arg(value, key);
        theme.colors.insert(key, color);
    } else if (element == QLatin1String("metric")) {
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok)
            return QStringLiteral("invalid measure \"%1\" for %2").arg(value, key);
        theme.metrics.insert(key, number);
    }
    xml.skipCurrentElement();
    return QString();
}

QString parseIcon(QXmlStreamReader &xml, const QDir &base, ParsedTheme &theme)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    const QString name = attributes.value(QStringLiteral("name")).toString();
    const QString value = attributes.value(QStringLiteral("value")).toString();
    if (name.isEmpty() || value.isEmpty())
        return QStringLiteral("<icon> without a name or a value");
    KThemeLoader::Icon icon;
    icon.path = value.startsWith(QLatin1Char(':')) ? value : base.absoluteFilePath(value);
    if (attributes.hasAttribute(QStringLiteral("color"))) {
        const QString tint = attributes.value(QStringLiteral("color")).toString();
        icon.tint = QColor(tint);
        if (!icon.tint.isValid())
            return QStringLiteral("invalid colour \"%1\" for icon %2").arg(tint, name);
    }
    theme.icons.insert(name, icon);
    xml.skipCurrentElement();
    return QString();
}

QString parseClass(QXmlStreamReader &xml, ParsedTheme &theme)
{
    const QString themeClass = xml.attributes().value(QStringLiteral("name")).toString();
    while (xml.readNextStartElement()) {
        const QString error = parseEntry(xml, themeClass, theme);
        if (!error.isEmpty())
            return error;
    }
    return QString();
}

QString parseTheme(QXmlStreamReader &xml, const QDir &base, ParsedTheme &theme)
{
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("theme"))
        return QStringLiteral("the root element is not <theme>");
    theme.name = xml.attributes().value(QStringLiteral("name")).toString();
    while (xml.readNextStartElement()) {
        QString error;
        if (xml.name() == QLatin1String("class"))
            error = parseClass(xml, theme);
        else if (xml.name() == QLatin1String("icon"))
            error = parseIcon(xml, base, theme);
        else
            xml.skipCurrentElement();
        if (!error.isEmpty())
            return error;
    }
    return xml.hasError() ? xml.errorString() : QString();
}

} // namespace

bool KThemeLoader::setupXml(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return false;
    }
    QXmlStreamReader xml(&file);
    ParsedTheme theme;
    const QString error = parseTheme(xml, QFileInfo(filePath).dir(), theme);
    if (!error.isEmpty()) {
        m_error = error;
        return false;
    }
    m_name = theme.name;
    m_filePath = filePath;
    m_colors = theme.colors;
    m_metrics = theme.metrics;
    m_icons = theme.icons;
    m_error.clear();
    return true;
}

QString KThemeLoader::name() const
{
    return m_name;
}

QString KThemeLoader::filePath() const
{
    return m_filePath;
}

QString KThemeLoader::errorString() const
{
    return m_error;
}

QString KThemeLoader::key(const QString &themeClass, const QString &attribute)
{
    return themeClass + QLatin1Char('/') + attribute;
}

bool KThemeLoader::hasColor(const QString &themeClass, const QString &attribute) const
{
    return m_colors.contains(key(themeClass, attribute));
}

QColor KThemeLoader::color(const QString &themeClass, const QString &attribute) const
{
    return m_colors.value(key(themeClass, attribute));
}

bool KThemeLoader::hasMetric(const QString &themeClass, const QString &attribute) const
{
    return m_metrics.contains(key(themeClass, attribute));
}

int KThemeLoader::metric(const QString &themeClass, const QString &attribute, int fallback) const
{
    return m_metrics.value(key(themeClass, attribute), fallback);
}

bool KThemeLoader::hasIcon(const QString &name) const
{
    return m_icons.contains(name);
}

KThemeLoader::Icon KThemeLoader::icon(const QString &name) const
{
    return m_icons.value(name);
}
