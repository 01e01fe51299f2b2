#include "kthemeloader.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {

struct ParsedTheme
{
    QString name;
    QHash<QString, QColor> colors;
    QHash<QString, int> metrics;
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

QString parseTheme(QXmlStreamReader &xml, ParsedTheme &theme)
{
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("theme"))
        return QStringLiteral("the root element is not <theme>");
    theme.name = xml.attributes().value(QStringLiteral("name")).toString();
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("class")) {
            xml.skipCurrentElement();
            continue;
        }
        const QString themeClass = xml.attributes().value(QStringLiteral("name")).toString();
        while (xml.readNextStartElement()) {
            const QString error = parseEntry(xml, themeClass, theme);
            if (!error.isEmpty())
                return error;
        }
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
    const QString error = parseTheme(xml, theme);
    if (!error.isEmpty()) {
        m_error = error;
        return false;
    }
    m_name = theme.name;
    m_filePath = filePath;
    m_colors = theme.colors;
    m_metrics = theme.metrics;
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
