#pragma once

#include <kframetitlebar.h>

#include <QPixmap>
#include <QPointer>
#include <QStyle>

class KAppAboutDlg;
class KAppDeclarationDlg;
class KAppQRCodeBox;
class KLiteMenu;
class KUserInfoPane;

// The title bar of framework windows: the actions of the window-type flags in the
// application's look, and the assist menu built from the application's properties.
class KAppTitleBar : public KFrameTitleBar
{
    Q_OBJECT
public:
    // Kinds of the menu items, kept in their property "__prop_menuitem_type__".
    enum MenuItemType {
        MenuDeclare = 0x1,
        MenuFeedback = 0x2,
        MenuCustomService = 0x4,
        MenuCreateLnk = 0x8,
        MenuAppVersion = 0x10,
        MenuSeparator = 0x20,
        MenuAbout = 0x20000,
        MenuReport = 0x40000,
    };
    static const char *const MenuItemTypeProperty;
    static const char *const CollectionNameProperty;

    explicit KAppTitleBar(QWidget *parent = nullptr);
    ~KAppTitleBar() override;

    static QString actionIconNames(int kind, bool maximized = false);
    static QString menuItemText(int type);
    static QString menuItemIcon(int type);
    static QString menuItemCollectionName(int type);

    // Adds an item of the given kind to the menu; null for a separator or an unknown kind.
    QAction *addMenuItem(KLiteMenu *menu, int type);
    // The menu, made and filled (menuCreate) on first request.
    KLiteMenu *assistMenu();

    // The promotion pane the QR action opens.
    void setPopularization(const QString &title, const QString &text, const QPixmap &qrCode);
    KAppQRCodeBox *popularizationBox() const { return m_popularBox; }
    KAppQRCodeBox *customServiceBox() const { return m_customBox; }

    // Made on first request and reused; filled from the application each time.
    KAppAboutDlg *aboutDlg();
    // The declaration dialog last opened, while it is open.
    KAppDeclarationDlg *declarationDlg() const;
    KAppDeclarationDlg *openDeclaration();
    // Opens the declaration once per user when the application asks for it; true if opened.
    bool showDeclarationAtFirst();

    // The suite's report page for this application.
    static QString reportUrl();

signals:
    void actionsInited(KAppTitleBar *titleBar);
    void userInfoPaneCreate(KUserInfoPane *pane);
    void menuCreate(KLiteMenu *menu);
    void menuButtonClicked();
    void openFeedBack();

public slots:
    void onMenuButtonClicked() override;
    void onMenuAboutToShow();
    void onMenuAboutToHide();
    void onActionStateChanged(const QStyle::State &now, const QStyle::State &before);
    void onActionTriggered(KFrameAction *action);
    void onActionHover(KFrameAction *action);
    void onMenuItemClicked();
    void onFeedBackClicked();
    void onCustomSvrClicked();
    void onReportClicked();
    void onCreateLnkClicked();
    void onAboutClicked();
    void onDeclareClicked();
    void onPopularQRCodePaneHide();
    void onPopularQRCodePaneShow();

protected:
    KFrameAction *createAction(int kind) override;
    void showEvent(QShowEvent *event) override;

private:
    void sendMenuEvent(const QString &name, const QString &action);
    QPoint belowAction(int kind) const;

    QPointer<KAppAboutDlg> m_aboutDlg;
    QPointer<KAppDeclarationDlg> m_declarationDlg;
    KAppQRCodeBox *m_popularBox = nullptr;
    KAppQRCodeBox *m_customBox = nullptr;
    bool m_firstShown = false;
    bool m_actionsInitedPending = false;
};
