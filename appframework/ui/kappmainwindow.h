#pragma once

#include "sandboxinfo.h"

#include <kframewindow.h>

#include <QMap>
#include <QString>
#include <QVariant>

#include <memory>

class KAppTitleBar;
class KLiteMenu;
class KUserInfoPane;

// The client area of a framework window; subclasses fill it.
class KAppClientWidget : public KFrameClientWidget
{
    Q_OBJECT
public:
    explicit KAppClientWidget(QWidget *parent = nullptr);
    ~KAppClientWidget() override;
};

// A frame window that belongs to the application registered with the adapter: the
// application's theme and title bar, a drop shadow, the title-bar menu and the start event.
class KAppMainWindow : public KFrameWindow
{
    Q_OBJECT
public:
    explicit KAppMainWindow(QWidget *parent = nullptr);
    ~KAppMainWindow() override;

    // Null until initUi() or when a subclass made another kind of title bar.
    KAppTitleBar *appTitleBar() const;

    // Gives the native window a minimise hint when the application wants minimising.
    void adjustWindowFlags();

    // Read from the launch and application info; empty without a sandbox.
    static QString appId();
    static QString appName();
    static QString appSource();
    static QString pluginVersion();
    static QMap<QString, QString> dependenciesVersion();

signals:
    void menuCreate(KLiteMenu *menu);
    void userInfoPaneCreate(KUserInfoPane *pane);
    void titleBarActionsInited(KAppTitleBar *titleBar);

public slots:
    virtual void onMenuCreated(KLiteMenu *menu);
    void onSendStartInfoColl();
    void onClose();
    void onDiagnoseShortcut();
    void onFeedbackShortcut();

protected:
    void beforeInitUi() override;
    void afterInitUi() override;
    KFrameTitleBar *createTitleBar() override;
    KFrameClientWidget *createClientWidget() override;

    // Whether the global adapter exists; logs text at Critical when it does not.
    static bool adapterReady(const QString &text);

    // Opens a window of the adapter's kind (1 account check, 2 feedback) over this one.
    QWidget *requestWidget(int kind = 2);

    struct Data;
    std::unique_ptr<Data> d;

private:
    static SandboxInfo sandboxInfo();
    void addCustomServiceItem(KLiteMenu *menu, const QVariantMap &properties);
    void installShortcuts();
};
