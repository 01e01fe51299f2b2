#pragma once

#include <QObject>
#include <QString>

#include <memory>

class IApplicationAdapter;
class KExportPictrueMgrPrivate;

// The add-on's process-wide resources. Made on first use, which also sets up the framework
// the dialogs run on: the application adapter, the sandbox and the theme resource.
// Released when the application is about to quit.
class KExportPictrueMgr : public QObject
{
    Q_OBJECT
public:
    static KExportPictrueMgr *instance();

    IApplicationAdapter *adapter() const;

    // The folder of the add-on's module and the meta file it launches with: "meta.json"
    // beside the module, else the copy built into the module.
    static QString addonFolder();
    static QString metaFilePath();

    // Registers the framework's theme resource; false without a sandbox or resource file.
    bool installThemeHook();

public slots:
    void term();

private:
    KExportPictrueMgr();
    ~KExportPictrueMgr() override;
    void initFramework();

    std::unique_ptr<KExportPictrueMgrPrivate> d;
};
