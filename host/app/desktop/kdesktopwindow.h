#pragma once

#include "khostui.h"

#include <kxmainwindow.h>

#include <QPointer>
#include <QStringList>

#include <functional>

class KPageView;
class QLabel;
class QMenu;
class QMimeData;
class QTabWidget;
class QMdiSubWindow;

// The desktop window of one document: the pages, the add-on's ribbon tab, File menu,
// Save-As list and context categories. One document per process, as in the suite: a second
// document is opened by a new process.
class KDesktopWindow : public KxMainWindow
{
    Q_OBJECT
public:
    // Starts another process for a document; false when it cannot be started.
    using Launcher = std::function<bool(const QString &path)>;
    // The add-on's entry object (GetAppEntryObject), owned by the caller; null when none.
    using EntryFactory = std::function<QObject *()>;

    static constexpr int kRecentFiles = 8;
    // PlaceLater leaves the configured commands out until placeCommands: the pages can show
    // before the add-on is loaded.
    enum Placement { PlaceNow, PlaceLater };

    KDesktopWindow(const KUiConfig &config, EntryFactory entryFactory, QWidget *parent = nullptr,
                   Placement placement = PlaceNow);
    ~KDesktopWindow() override;

    // Opens the document here while the window shows none, else in a new process.
    bool openOrLaunch(const QString &path);
    // Opens and shows the document here; false with the reason in lastError().
    bool openHere(const QString &path);
    // Shows a document that is open already.
    void showDocument(IKUnknown *document, const QString &path);
    bool hasDocument() const { return !m_path.isEmpty(); }
    QString documentPath() const { return m_path; }
    QString lastError() const { return m_lastError; }
    void setLauncher(Launcher launcher) { m_launcher = std::move(launcher); }

    // Puts the configured commands on the ribbon and in the menus (once).
    void placeCommands(const KUiConfig &config);
    // Calls trigger(KAppObj, KAppContext) on the add-on's entry object by name.
    bool triggerAppEntry(const QString &entry);

    KPageView *pageView() const { return m_view; }
    KUiCommands *commands() const { return m_commands; }
    QTabWidget *ribbon() const { return m_ribbon; }
    QMenu *fileMenu() const { return m_fileMenu; }
    QMenu *saveAsMenu() const { return m_saveAsMenu; }
    QString pageStatus() const;
    QStringList recentFiles() const;

    // The local documents of a drop that the host can open, in their order.
    static QStringList openablePaths(const QMimeData *data);
    // The host's settings for the desktop window (size, recent files).
    static QString settingsPath();

signals:
    void documentShown(const QString &path);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildRibbon(const KUiConfig &config);
    QWidget *tabPage(const QList<KUiGroup> &groups);
    void addCategory(const KUiCategory &category);
    QWidget *groupWidget(const KUiGroup &group);
    void showContextCategories();
    void showGroups();
    void showEmptyState();
    void chooseDocument();
    void rememberRecent(const QString &path);
    void fillRecentMenu();
    void restoreSize();
    void saveSize();
    void failed(const QString &message);
    void updatePageStatus(int page, int count);

    EntryFactory m_entryFactory;
    QPointer<QObject> m_entryObject;
    Launcher m_launcher;
    KUiCommands *m_commands;
    QTabWidget *m_ribbon = nullptr;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_saveAsMenu = nullptr;
    QMenu *m_recentMenu = nullptr;
    KPageView *m_view = nullptr;
    QPointer<QMdiSubWindow> m_emptyState;
    QLabel *m_pageLabel = nullptr;
    QLabel *m_zoomLabel = nullptr;
    struct CategoryTab
    {
        QPointer<KCommand> command;
        QString title;
        QWidget *page;
    };
    QList<CategoryTab> m_categories;
    QList<QWidget *> m_groups;
    QString m_path;
    QString m_lastError;
    bool m_placed = false;
};
