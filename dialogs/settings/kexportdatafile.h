#pragma once

#include "watermarksetting.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>

// What the export dialogs keep in the add-on's data file: the stored custom watermark and
// the colour dialog's recently used colours.
struct KExportData
{
    KExportData();

    WatermarkSetting watermark;
    QList<QColor> recentColors;
};

namespace kexportdata {
constexpr int kMaxRecentColors = 11;

// "<host home>/vyx/addons/data/win-i386/ktavro/data", in native separators.
QString defaultPath();

// Tolerant reading: a missing, unreadable or malformed file gives the defaults, and every
// attribute outside its range leaves the default in place.
KExportData parse(const QByteArray &xml);
// Creates the file's folder when missing, then reads it.
KExportData read(const QString &path);

QByteArray serialize(const KExportData &data);
// Replaces the file atomically: a failure or crash while writing keeps the previous file.
bool write(const QString &path, const KExportData &data);

// The colour first, then the old list without it, at most kMaxRecentColors long.
QList<QColor> withRecentColor(const QList<QColor> &colors, const QColor &color);
} // namespace kexportdata
