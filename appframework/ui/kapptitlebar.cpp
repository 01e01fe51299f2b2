#include "kapptitlebar.h"

#include "kuserinfopane.h"

#include <klitemenu.h>

const char *const KAppTitleBar::MenuItemTypeProperty = "__prop_menuitem_type__";
const char *const KAppTitleBar::CollectionNameProperty = "coll_name";

KAppTitleBar::KAppTitleBar(QWidget *parent)
    : KFrameTitleBar(parent)
{
}

KAppTitleBar::~KAppTitleBar() = default;

QString KAppTitleBar::actionIconNames(int kind, bool maximized)
{
    switch (kind) {
    case KFrame::CloseButton:
        return QStringLiteral("plugin_title_close;plugin_title_close_hover;plugin_title_close_click");
    case KFrame::MaximizeButton:
        return maximized ? QStringLiteral("frame_title_restore") : QStringLiteral("frame_title_maximize");
    case KFrame::MinimizeButton: return QStringLiteral("frame_title_minimize");
    case KFrame::MenuButton: return QStringLiteral("plugin_title_menu");
    case KFrame::PhoneButton: return QStringLiteral("plugin_title_phone");
    default: return QString();
    }
}

QString KAppTitleBar::menuItemText(int type)
{
    switch (type) {
    case MenuDeclare: return tr("Declare");
    case MenuFeedback: return tr("Feedback");
    case MenuCustomService: return tr("Customer service");
    case MenuCreateLnk: return tr("Create Lnk");
    case MenuAppVersion: return tr("App Version");
    case MenuAbout: return tr("About");
    case MenuReport: return tr("Report");
    default: return QString();
    }
}

QString KAppTitleBar::menuItemIcon(int type)
{
    switch (type) {
    case MenuDeclare: return QStringLiteral("plugin_title_declare");
    case MenuFeedback: return QStringLiteral("plugin_title_feedback");
    case MenuCustomService: return QStringLiteral("plugin_title_customsrv");
    case MenuCreateLnk: return QStringLiteral("plugin_title_lnk");
    case MenuAppVersion:
    case MenuAbout: return QStringLiteral("plugin_title_version");
    case MenuReport: return QStringLiteral("plugin_title_report");
    default: return QString();
    }
}

QString KAppTitleBar::menuItemCollectionName(int type)
{
    switch (type) {
    case MenuDeclare: return QStringLiteral("notice");
    case MenuFeedback: return QStringLiteral("feedback");
    case MenuCustomService: return QStringLiteral("sevice");
    case MenuCreateLnk: return QStringLiteral("shortcut_create");
    case MenuAbout: return QStringLiteral("about");
    case MenuReport: return QStringLiteral("report");
    default: return QString();
    }
}

QAction *KAppTitleBar::addMenuItem(KLiteMenu *menu, int type)
{
    if (!menu)
        return nullptr;
    if (type == MenuSeparator) {
        menu->addSeparator();
        return nullptr;
    }
    if (menuItemText(type).isEmpty())
        return nullptr;
    QAction *item = menu->addThemeAction(menuItemIcon(type), menuItemText(type));
    item->setProperty(MenuItemTypeProperty, type);
    if (!menuItemCollectionName(type).isEmpty())
        item->setProperty(CollectionNameProperty, menuItemCollectionName(type));
    return item;
}

KLiteMenu *KAppTitleBar::assistMenu()
{
    if (auto *existing = qobject_cast<KLiteMenu *>(menu()))
        return existing;
    auto *created = new KLiteMenu(this);
    setMenu(created);
    emit menuCreate(created);
    return created;
}

KFrameAction *KAppTitleBar::createAction(int kind)
{
    KFrameAction *action = KFrameTitleBar::createAction(kind);
    if (action && !actionIconNames(kind).isEmpty())
        action->setIconNames(actionIconNames(kind));
    return action;
}

void KAppTitleBar::onMenuButtonClicked()
{
    assistMenu();
    emit menuButtonClicked();
    KFrameTitleBar::onMenuButtonClicked();
}

void KAppTitleBar::onMenuAboutToShow() {}
void KAppTitleBar::onMenuAboutToHide() {}
void KAppTitleBar::onActionStateChanged(const QStyle::State &, const QStyle::State &) {}
void KAppTitleBar::onActionTriggered(KFrameAction *) {}
void KAppTitleBar::onActionHover(KFrameAction *) {}
void KAppTitleBar::onMenuItemClicked() {}
void KAppTitleBar::onFeedBackClicked() { emit openFeedBack(); }
void KAppTitleBar::onCustomSvrClicked() {}
void KAppTitleBar::onReportClicked() {}
void KAppTitleBar::onCreateLnkClicked() {}
void KAppTitleBar::onAboutClicked() {}
void KAppTitleBar::onDeclareClicked() {}
void KAppTitleBar::onPopularQRCodePaneHide() {}
void KAppTitleBar::onPopularQRCodePaneShow() {}
