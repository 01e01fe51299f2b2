#include "kexportdatafile.h"

#include <krtdirs.h>

#include <QDir>
#include <QDomDocument>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

namespace {
const QString kRoot = QStringLiteral("data");
const QString kWatermark = QStringLiteral("watermark");
const QString kRecent = QStringLiteral("recentcolors");

bool readInt(const QDomElement &e, const QString &name, int low, int high, int *out)
{
    if (!e.hasAttribute(name))
        return false;
    bool ok = false;
    const int v = e.attribute(name).trimmed().toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    *out = v;
    return true;
}

bool parseColor(const QString &text, QColor *out)
{
    bool ok = false;
    const qulonglong v = text.trimmed().toULongLong(&ok, 16);
    if (!ok || v > 0xFFFFFFu)
        return false;
    *out = QColor(QRgb(v));
    return true;
}

QString colorText(const QColor &color)
{
    return QStringLiteral("%1").arg(color.rgb() & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
}

void readWatermark(const QDomElement &e, WatermarkSetting &w)
{
    int v = 0;
    if (readInt(e, QStringLiteral("style"), WatermarkStyleText, WatermarkStylePicture, &v))
        w.setStyle(v);
    // A stored custom watermark is never "none".
    if (w.style() == WatermarkStyleNone)
        w.setStyle(WatermarkStyleText);
    if (readInt(e, QStringLiteral("policy"), 0, 1, &v))
        w.setPolicy(v);
    if (readInt(e, QStringLiteral("size"), 0, 2, &v))
        w.setSize(v);
    if (readInt(e, QStringLiteral("rotate"), INT_MIN, INT_MAX, &v))
        w.setRotate(v);
    if (e.hasAttribute(QStringLiteral("opacity"))) {
        bool ok = false;
        const double o = e.attribute(QStringLiteral("opacity")).trimmed().toDouble(&ok);
        if (ok && std::isfinite(o))
            w.setOpacity(o < 0.0 || o > 1.0 ? 1.0 : o);
    }
    QColor c;
    if (e.hasAttribute(QStringLiteral("color")) && parseColor(e.attribute(QStringLiteral("color")), &c))
        w.setColor(c);
}

QList<QColor> readColors(const QString &text)
{
    QList<QColor> colors;
    for (const QString &part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QColor c;
        if (parseColor(part, &c))
            colors.append(c);
    }
    return colors;
}
} // namespace

KExportData::KExportData()
{
    watermark.setStyle(WatermarkStyleText);
}

QString kexportdata::defaultPath()
{
    const QString sep = QDir::separator();
    const QString path = krt::dirs::brindlexHome() + QStringLiteral("/vyx") + QStringLiteral("/addons/data/")
        + QStringLiteral("win-i386") + QStringLiteral("%1ktavro%2data").arg(sep, sep);
    return QDir::toNativeSeparators(path);
}

KExportData kexportdata::parse(const QByteArray &xml)
{
    KExportData data;
    QDomDocument doc;
    if (xml.isEmpty() || !doc.setContent(xml))
        return data;
    const QDomElement root = doc.documentElement();
    if (root.tagName() != kRoot)
        return data;
    readWatermark(root.firstChildElement(kWatermark), data.watermark);
    const QDomElement recent = root.firstChildElement(kRecent);
    if (!recent.isNull())
        data.recentColors = readColors(recent.attribute(QStringLiteral("colors")));
    return data;
}

KExportData kexportdata::read(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return KExportData();
    return parse(file.readAll());
}

QByteArray kexportdata::serialize(const KExportData &data)
{
    QDomDocument doc;
    QDomElement root = doc.createElement(kRoot);
    doc.appendChild(root);

    const WatermarkSetting &w = data.watermark;
    QDomElement mark = doc.createElement(kWatermark);
    mark.setAttribute(QStringLiteral("style"), w.style());
    mark.setAttribute(QStringLiteral("policy"), w.policy());
    mark.setAttribute(QStringLiteral("size"), w.size());
    mark.setAttribute(QStringLiteral("rotate"), w.rotate());
    mark.setAttribute(QStringLiteral("opacity"), QString::number(w.opacity()));
    mark.setAttribute(QStringLiteral("color"), colorText(w.color()));
    root.appendChild(mark);

    QStringList colors;
    for (const QColor &c : data.recentColors)
        colors.append(colorText(c));
    QDomElement recent = doc.createElement(kRecent);
    recent.setAttribute(QStringLiteral("colors"), colors.join(QLatin1Char(';')));
    root.appendChild(recent);
    return doc.toByteArray(4);
}

bool kexportdata::write(const QString &path, const KExportData &data)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = serialize(data);
    // Flushed here: Qt's commit renames even when its own final flush fails.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QList<QColor> kexportdata::withRecentColor(const QList<QColor> &colors, const QColor &color)
{
    if (!color.isValid())
        return colors;
    QList<QColor> result{color};
    for (const QColor &c : colors) {
        if (c != color)
            result.append(c);
    }
    while (result.size() > kMaxRecentColors)
        result.removeLast();
    return result;
}
