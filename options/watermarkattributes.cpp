#include "watermarkattributes.h"

#include "watermarkpainter.h"

#include <QDomElement>

#include <optional>

namespace {

// Missing and malformed attributes alike leave the field as it is.
std::optional<int> readInt(const QDomElement &element, const QString &name)
{
    bool ok = false;
    const int value = element.attribute(name).trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> readIntIn(const QDomElement &element, const QString &name, int low, int high)
{
    const std::optional<int> value = readInt(element, name);
    return value && *value >= low && *value <= high ? value : std::nullopt;
}

void loadOpacity(const QDomElement &element, WatermarkSetting &setting)
{
    bool ok = false;
    const double value = element.attribute(QStringLiteral("opacity")).trimmed().toDouble(&ok);
    if (ok)
        setting.setOpacity(value >= 0.0 && value <= 1.0 ? value : 1.0);
}

void loadColor(const QDomElement &element, WatermarkSetting &setting)
{
    bool ok = false;
    const QString hex = element.attribute(QStringLiteral("color")).trimmed();
    const qulonglong rgb = hex.toULongLong(&ok, 16);
    if (ok && rgb <= 0xFFFFFF)
        setting.setColor(QColor(QRgb(rgb)));
}

} // namespace

void loadWatermarkAttributes(const QDomElement &element, WatermarkSetting &setting)
{
    if (const auto style = readIntIn(element, QStringLiteral("style"), 0, 6))
        setting.setStyle(*style);
    if (setting.style() == WatermarkStyleNone)
        setting.setStyle(WatermarkStyleText);
    if (const auto policy = readIntIn(element, QStringLiteral("policy"), 0, 1))
        setting.setPolicy(*policy);
    if (const auto size = readIntIn(element, QStringLiteral("size"), 0, 2))
        setting.setSize(*size);
    if (const auto rotate = readInt(element, QStringLiteral("rotate")))
        setting.setRotate(*rotate);
    loadOpacity(element, setting);
    loadColor(element, setting);
}

void saveWatermarkAttributes(const WatermarkSetting &setting, QDomElement &element)
{
    element.setAttribute(QStringLiteral("style"), setting.style());
    element.setAttribute(QStringLiteral("policy"), setting.policy());
    element.setAttribute(QStringLiteral("size"), setting.size());
    element.setAttribute(QStringLiteral("rotate"), setting.rotate());
    element.setAttribute(QStringLiteral("opacity"), QString::number(setting.opacity()));
    // The colour actually painted, so an invalid colour keeps its fallback after a reload.
    const QRgb rgb = watermarkStampColor(setting).rgb() & 0xFFFFFF;
    element.setAttribute(QStringLiteral("color"),
                         QStringLiteral("%1").arg(rgb, 6, 16, QLatin1Char('0')));
}
