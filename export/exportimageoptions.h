#pragma once

#include "pagerange.h"
#include "watermarksetting.h"

#include <kxcolor.h>

#include <QList>
#include <QMetaType>
#include <QString>

// Everything one export needs, filled by a dialog and copied whole at every hand-over.
struct ExportImageOptions
{
    QString outputDir;
    // Long picture: the chosen file name with suffix. Per page (and always for PDF):
    // the document name without its last suffix.
    QString fileName;
    QString suffix = QStringLiteral("png");
    int maxPagesPerPicture = 1;
    QString watermarkText;
    QString watermarkFont;
    // Set by the compact dialog and only carried.
    KxColor watermarkColor;
    float watermarkValue1 = 0.0f;
    float watermarkValue2 = 0.0f;
    float watermarkValue3 = 0.0f;
    qint32 watermarkValue4 = 0;
    bool watermarkRotate = false;
    int dpi = 96;
    bool watermarkOn = false;
    bool longPicture = true;
    bool exportInCaller = false;
    WatermarkSetting watermark;
    QList<PageRange> pages;
    bool preview = false;
    int spacingLeft = 0;
    int firstPageTop = 0;
    int spacingRight = 0;
    int lastPageBottom = 0;
    int pageGap = 0;
};

Q_DECLARE_METATYPE(ExportImageOptions)
