#pragma once

#include "watermarksetting.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class IApplicationAdapter;
class KResourceMgr;
class QIcon;
class KExportPictrueMgrPrivate;

// The add-on's process-wide resources. Made on first use, which also sets up the framework
// the dialogs run on: the application adapter, the sandbox and the theme resource.
// Released when the application is about to quit.
class KExportPictrueMgr : public QObject
{
    Q_OBJECT
public:
    static KExportPictrueMgr *instance();
    // Releases the instance if there is one, without making one.
    static void release();

    IApplicationAdapter *adapter() const;

    // The folder of the add-on's module and the meta file it launches with: "meta.json"
    // beside the module, else the copy built into the module.
    static QString addonFolder();
    static QString metaFilePath();

    // Registers the framework's theme resource; false without a sandbox or resource file.
    bool installThemeHook();

    // The add-on's icons: "logo", "eachpage", "longpicture", "corner-tick", "browser", ...
    static const QStringList &iconFolders();
    KResourceMgr *resourceMgr() const;
    QIcon icon(const QString &name) const;
    // A picture by file name, from the high-resolution set on displays scaled above 199 %.
    static QString imageFilePath(const QString &fileName);
    // A vector picture by file name; a ".png" name that has no picture falls back to the
    // ".svg" of the same name.
    static QString vectorImagePath(const QString &fileName);

    // The data file: the stored custom watermark and the recently used colours. Read once at
    // first use; absent or bad values give the defaults.
    QString dataFilePath() const;
    WatermarkSetting customWatermark() const;
    // Stores the watermark and saves the data file; false when the file could not be written
    // (the previous file is then kept as it was).
    bool setCustomWatermark(const WatermarkSetting &setting);
    QList<QColor> recentColors() const;
    // Puts the colour first (moving it when already present), at most eleven kept.
    void addRecentColor(const QColor &color);
    // Replaces the whole list; an empty list is ignored.
    void setRecentColors(const QList<QColor> &colors);
    // Writes the data file as it is now held.
    bool saveDataFile();

public slots:
    void term();

private:
    KExportPictrueMgr();
    ~KExportPictrueMgr() override;
    void initFramework();
    void initResources();

    std::unique_ptr<KExportPictrueMgrPrivate> d;
};
