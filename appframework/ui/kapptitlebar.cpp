#include "kapptitlebar.h"

#include "kappaboutdlg.h"
#include "kappdeclarationdlg.h"
#include "kappqrcodebox.h"
#include "kesslog.h"
#include "kesssandbox.h"
#include "kesssandboxhelper.h"
#include "kesstools.h"
#include "klitefloattips.h"
#include "kuserinfopane.h"

#include <kcloudserviceproxy.h>
#include <klitemenu.h>
#include <klitestyle.h>
#include <krt.h>
#include <krtservices.h>

#include <QStandardPaths>
#include <QUrl>

const char *const KAppTitleBar::MenuItemTypeProperty = "__prop_menuitem_type__";
const char *const KAppTitleBar::CollectionNameProperty = "coll_name";

namespace {

QVariant metaValue(const QString &key)
{
    KEssSandbox *sandbox = GetSandbox();
    return sandbox ? sandbox->info().properties.value(key) : QVariant();
}

QString encoded(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

QPixmap loadIcon(const QString &path, int side)
{
    if (path.isEmpty())
        return QPixmap();
    const QPixmap loaded(path);
    const QSize size = KLiteStyle::dpiScaled(QSize(side, side));
    return loaded.isNull() ? loaded : loaded.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

KAppTitleBar::KAppTitleBar(QWidget *parent)
    : KFrameTitleBar(parent)
{
    connect(this, &KFrameTitleBar::actionTriggered, this, &KAppTitleBar::onActionTriggered);
    connect(this, &KFrameTitleBar::actionHovered, this, &KAppTitleBar::onActionHover);
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
    QString text = menuItemText(type);
    if (type == MenuAppVersion && !kesstools::app::pluginVersion().isEmpty())
        text += QLatin1Char(' ') + kesstools::app::pluginVersion();
    QAction *item = menu->addThemeAction(menuItemIcon(type), text);
    item->setProperty(MenuItemTypeProperty, type);
    if (!menuItemCollectionName(type).isEmpty())
        item->setProperty(CollectionNameProperty, menuItemCollectionName(type));
    connect(item, &QAction::triggered, this, &KAppTitleBar::onMenuItemClicked);
    switch (type) {
    case MenuDeclare: connect(item, &QAction::triggered, this, &KAppTitleBar::onDeclareClicked); break;
    case MenuFeedback: connect(item, &QAction::triggered, this, &KAppTitleBar::onFeedBackClicked); break;
    case MenuCustomService: connect(item, &QAction::triggered, this, &KAppTitleBar::onCustomSvrClicked); break;
    case MenuCreateLnk: connect(item, &QAction::triggered, this, &KAppTitleBar::onCreateLnkClicked); break;
    case MenuAbout: connect(item, &QAction::triggered, this, &KAppTitleBar::onAboutClicked); break;
    case MenuReport: connect(item, &QAction::triggered, this, &KAppTitleBar::onReportClicked); break;
    default: item->setEnabled(false); break; // the version is information only
    }
    return item;
}

KLiteMenu *KAppTitleBar::assistMenu()
{
    if (auto *existing = qobject_cast<KLiteMenu *>(menu()))
        return existing;
    auto *created = new KLiteMenu(this);
    created->setObjectName(themeClassName() + QStringLiteral("-Menu"));
    connect(created, &QMenu::aboutToShow, this, &KAppTitleBar::onMenuAboutToShow);
    connect(created, &QMenu::aboutToHide, this, &KAppTitleBar::onMenuAboutToHide);
    setMenu(created);
    emit menuCreate(created);
    return created;
}

KFrameAction *KAppTitleBar::createAction(int kind)
{
    KFrameAction *action = KFrameTitleBar::createAction(kind);
    if (!action)
        return nullptr;
    if (!actionIconNames(kind).isEmpty())
        action->setIconNames(actionIconNames(kind));
    if (kind == KFrame::MinimizeButton) {
        action->setIconSize(QSize(16, 16));
        action->setButtonSize(QSize(22, 22));
    }
    connect(action, &KFrameAction::stateChanged, this, &KAppTitleBar::onActionStateChanged);
    // Actions come one by one as the flags ask for them; listeners hear once per batch.
    if (!m_actionsInitedPending) {
        m_actionsInitedPending = true;
        QMetaObject::invokeMethod(this, [this] {
            m_actionsInitedPending = false;
            emit actionsInited(this);
        }, Qt::QueuedConnection);
    }
    return action;
}

void KAppTitleBar::showEvent(QShowEvent *event)
{
    KFrameTitleBar::showEvent(event);
    if (m_firstShown)
        return;
    m_firstShown = true;
    // After the window is on screen, so the dialog opens over it.
    QMetaObject::invokeMethod(this, &KAppTitleBar::showDeclarationAtFirst, Qt::QueuedConnection);
}

bool KAppTitleBar::showDeclarationAtFirst()
{
    KEssSandbox *sandbox = GetSandbox();
    if (!sandbox) {
        KESS_WARNING(QStringLiteral("Sandbox is not ready!"));
        return false;
    }
    if (!metaValue(QStringLiteral("showDeclarationAtFirst")).toBool())
        return false;
    if (sandbox->value(QStringLiteral("hasShowed")).toString() == QLatin1String("true"))
        return false;
    sandbox->setValue(QStringLiteral("hasShowed"), QStringLiteral("true"));
    openDeclaration();
    return true;
}

void KAppTitleBar::setPopularization(const QString &title, const QString &text, const QPixmap &qrCode)
{
    if (!m_popularBox) {
        m_popularBox = new KAppQRCodeBox(this);
        m_popularBox->setObjectName(themeClassName() + QStringLiteral("-PopularQRCode"));
        connect(m_popularBox, &KAppQRCodeBox::shown, this, &KAppTitleBar::onPopularQRCodePaneShow);
        connect(m_popularBox, &KAppQRCodeBox::hidden, this, &KAppTitleBar::onPopularQRCodePaneHide);
    }
    m_popularBox->setTitle(title);
    m_popularBox->setText(text);
    m_popularBox->setPicture(qrCode);
}

QPoint KAppTitleBar::belowAction(int kind) const
{
    QRect area(width() / 2, 0, 0, height());
    for (const KFrameAction *shown : visibleActions()) {
        if (shown->kind() == kind)
            area = shown->geometry();
    }
    return mapToGlobal(QPoint(area.center().x(), height()));
}

void KAppTitleBar::sendMenuEvent(const QString &name, const QString &action)
{
    kesstools::app::sendInfoCollection(QStringLiteral("vas_matrix_assistmenu"),
                                       {{QStringLiteral("name"), name}, {QStringLiteral("action"), action}},
                                       kesstools::app::CollectRole | kesstools::app::CollectAppName
                                           | kesstools::app::CollectPluginVersion);
}

void KAppTitleBar::onMenuButtonClicked()
{
    assistMenu();
    emit menuButtonClicked();
    KFrameTitleBar::onMenuButtonClicked();
}

void KAppTitleBar::onMenuAboutToShow()
{
    sendMenuEvent(QStringLiteral("assistmenu"), QStringLiteral("show"));
}

void KAppTitleBar::onMenuAboutToHide()
{
    for (KFrameAction *shown : visibleActions()) {
        if (shown->kind() == KFrame::MenuButton)
            shown->setHovered(false);
    }
}

void KAppTitleBar::onActionStateChanged(const QStyle::State &, const QStyle::State &)
{
    update();
}

void KAppTitleBar::onActionTriggered(KFrameAction *triggered)
{
    if (!triggered)
        return;
    if (triggered->kind() == KFrame::PhoneButton && m_popularBox) {
        m_popularBox->popupBelow(belowAction(KFrame::PhoneButton));
    } else if (triggered->kind() == KFrame::AvatarButton) {
        auto *pane = new KUserInfoPane(this);
        pane->setAttribute(Qt::WA_DeleteOnClose);
        const KCloudServiceProxy *cloud = KCloudServiceProxy::instance();
        pane->setUserName(cloud && cloud->isLogined() ? tr("Logged in") : tr("Not logged in"));
        emit userInfoPaneCreate(pane);
        pane->adjustSize();
        pane->move(belowAction(KFrame::AvatarButton) - QPoint(pane->width() / 2, 0));
        pane->show();
    }
}

void KAppTitleBar::onActionHover(KFrameAction *hovered)
{
    if (hovered && hovered->kind() == KFrame::PhoneButton && m_popularBox && !m_popularBox->isVisible())
        m_popularBox->popupBelow(belowAction(KFrame::PhoneButton));
}

void KAppTitleBar::onMenuItemClicked()
{
    const QObject *item = sender();
    if (item && item->property(CollectionNameProperty).isValid())
        sendMenuEvent(item->property(CollectionNameProperty).toString(), QStringLiteral("clicked"));
}

void KAppTitleBar::onFeedBackClicked()
{
    emit openFeedBack();
}

void KAppTitleBar::onCustomSvrClicked()
{
    const QObject *item = sender();
    if (!item)
        return;
    const QString type = item->property("_custom_Type__").toString();
    if (type != QLatin1String("qrcode")) {
        KESS_CRITICAL(QStringLiteral("type %1 is not defined!").arg(type));
        return;
    }
    if (!m_customBox) {
        m_customBox = new KAppQRCodeBox(this);
        m_customBox->setObjectName(themeClassName() + QStringLiteral("-CustomServiceQRCode"));
    }
    m_customBox->setPicture(item->property("_custom_QrCode__").value<QPixmap>());
    m_customBox->setText(item->property("_custom_Description__").toString());
    m_customBox->popupBelow(belowAction(KFrame::MenuButton));
}

QString KAppTitleBar::reportUrl()
{
    const SandboxInfo info = GetSandbox() ? GetSandbox()->info() : SandboxInfo();
    const QString endpoint = krt::product::serverUrl(QStringLiteral("ReportServer")) + QStringLiteral("/report/front");
    QString url = QStringLiteral("%1?product_name=%2&app_type=%3&app_name=%4&app_version=%5&app_dist=%6&app_guid=%7")
                      .arg(endpoint, encoded(info.appId), QStringLiteral("client"), encoded(info.displayName),
                           encoded(krt::info::version()), encoded(_zda_GetCollectDetail(2)), encoded(_zda_GetCollectDetail(4)));
    const KCloudServiceProxy *cloud = KCloudServiceProxy::instance();
    if (cloud && cloud->isLogined() && !cloud->sessionId().isEmpty())
        url += QStringLiteral("&vyxid=%1").arg(encoded(cloud->sessionId()));
    return url;
}

void KAppTitleBar::onReportClicked()
{
    if (!GetSandbox())
        KESS_CRITICAL(QStringLiteral("Sandbox is not ready!"));
    kesstools::app::openUrl(reportUrl());
}

void KAppTitleBar::onCreateLnkClicked()
{
    KEssSandbox *sandbox = GetSandbox();
    if (!sandbox) {
        KESS_CRITICAL(QStringLiteral("Sandbox is not ready!"));
        return;
    }
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const bool created = sandbox->createShortcut(desktop);
    auto *tips = new KLiteFloatTips(window(), created ? tr("Create shortcut success") : tr("Failed to create shortcut"));
    tips->setObjectName(themeClassName() + QStringLiteral("-CreateLnkTips"));
    tips->resize(KLiteStyle::dpiScaled(QSize(186, 40)));
    const QRect frame = window()->geometry();
    tips->move(frame.center() - QPoint(tips->width() / 2, tips->height() / 2));
    tips->show();
}

KAppAboutDlg *KAppTitleBar::aboutDlg()
{
    if (!m_aboutDlg) {
        m_aboutDlg = new KAppAboutDlg(window());
        connect(m_aboutDlg, &KAppAboutDlg::notifyOpenFeedback, this, &KAppTitleBar::openFeedBack);
    }
    KAppAboutClientWidget *client = m_aboutDlg->aboutClient();
    QPixmap icon = loadIcon(metaValue(QStringLiteral("icon_about")).toString(), 56);
    if (icon.isNull()) {
        const QString candidate = KessSandBoxHelper::resourcePath(QStringLiteral("resource/res/title.ico"));
        KESS_DEBUG(QStringLiteral("No 'icon_about' in meta.json file. Use candidate ") + candidate + QStringLiteral(" instead."));
        icon = loadIcon(candidate, 56);
    }
    client->setAppIcon(icon);
    client->setAppName(GetSandbox() ? GetSandbox()->info().displayName : QString());
    client->setVersion(GetSandbox() ? kesstools::app::pluginVersion() : QString());
    client->setDeclaration(metaValue(QStringLiteral("declaration")).toString());
    client->setAuthor(metaValue(QStringLiteral("author")).toString());
    client->setCategory(metaValue(QStringLiteral("category")).toString());
    return m_aboutDlg;
}

void KAppTitleBar::onAboutClicked()
{
    KAppAboutDlg *dlg = aboutDlg();
    dlg->move(window()->geometry().center() - QPoint(dlg->width() / 2, dlg->height() / 2));
    dlg->show();
    dlg->raise();
}

KAppDeclarationDlg *KAppTitleBar::openDeclaration()
{
    auto *dlg = new KAppDeclarationDlg(window());
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->move(window()->geometry().center() - QPoint(dlg->width() / 2, dlg->height() / 2));
    dlg->show();
    m_declarationDlg = dlg;
    return dlg;
}

void KAppTitleBar::onDeclareClicked()
{
    openDeclaration();
}

void KAppTitleBar::onPopularQRCodePaneHide()
{
    update();
}

void KAppTitleBar::onPopularQRCodePaneShow()
{
    sendMenuEvent(QStringLiteral("qrcode"), QStringLiteral("show"));
}

KAppDeclarationDlg *KAppTitleBar::declarationDlg() const
{
    return m_declarationDlg;
}
