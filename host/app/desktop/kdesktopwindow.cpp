#include "kdesktopwindow.h"

#include "kpagesource.h"
#include "kpageview.h"

#include <kappcontext.h>
#include <kcommand.h>
#include <kdocumentloader.h>
#include <kxapplication.h>
#include <kxcontextcategory.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

// The host's pictures and interface configuration live in a static library.
static void initResources()
{
    Q_INIT_RESOURCE(brindlex);
}

namespace {

const QSize kDefaultSize(1100, 820);

bool launchProcess(const QString &path)
{
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), {path});
}

QMdiSubWindow *fillArea(QMdiArea *area, QWidget *widget)
{
    QMdiSubWindow *sub = area->addSubWindow(widget, Qt::FramelessWindowHint);
    sub->showMaximized();
    return sub;
}

} // namespace

KDesktopWindow::KDesktopWindow(const KUiConfig &config, EntryFactory entryFactory, QWidget *parent, Placement placement)
    : KxMainWindow(parent)
    , m_entryFactory(std::move(entryFactory))
    , m_launcher(launchProcess)
    , m_commands(new KUiCommands(this, [this](const QString &entry) { return triggerAppEntry(entry); }, this))
{
    initResources();
    setWindowTitle(tr("Brindlex"));
    setWindowIcon(QIcon(QStringLiteral(":/brindlex/brindlex.svg")));
    setAcceptDrops(true);
    getMdiArea()->setBackground(QColor(0xd9, 0xdc, 0xe1));
    m_pageLabel = new QLabel(this);
    m_zoomLabel = new QLabel(this);
    statusBar()->addPermanentWidget(m_pageLabel);
    statusBar()->addPermanentWidget(m_zoomLabel);
    buildMenus();
    buildRibbon(config);
    connect(m_commands, &KUiCommands::updated, this, &KDesktopWindow::showContextCategories);
    connect(m_commands, &KUiCommands::updated, this, &KDesktopWindow::showGroups);
    connect(this, &KxMainWindow::documentChanged, this, [this] {
        if (m_view)
            m_view->reload();
        m_commands->updateAll();
    });
    // Edits finish inside a command's action; the view catches up once it has returned.
    connect(KCoreApplication::instance(), &KCoreApplication::documentEdited, this, &KxMainWindow::notifyDocumentChanged,
            Qt::QueuedConnection);
    showEmptyState();
    restoreSize();
    if (placement == PlaceNow)
        placeCommands(config);
}

void KDesktopWindow::placeCommands(const KUiConfig &config)
{
    if (m_placed)
        return;
    m_placed = true;
    m_commands->fill(m_fileMenu, config.fileMenu, m_saveAsMenu->menuAction());
    m_commands->fill(m_saveAsMenu, config.saveAs);
    auto *row = static_cast<QHBoxLayout *>(m_ribbon->widget(0)->layout());
    for (const KUiGroup &group : config.groups)
        row->insertWidget(row->count() - 1, groupWidget(group));
    for (const KUiCategory &category : config.categories)
        addCategory(category);
    m_commands->updateAll();
}

KDesktopWindow::~KDesktopWindow()
{
    delete m_entryObject;
}

void KDesktopWindow::buildMenus()
{
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    QAction *open = m_fileMenu->addAction(tr("&Open..."), this, &KDesktopWindow::chooseDocument);
    open->setShortcut(QKeySequence::Open);
    m_recentMenu = m_fileMenu->addMenu(tr("Open &Recent"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, &KDesktopWindow::fillRecentMenu);
    fillRecentMenu();
    m_fileMenu->addSeparator();
    // The add-on's File menu entries go before the Save-As list.
    m_saveAsMenu = m_fileMenu->addMenu(tr("Save &As"));
    m_fileMenu->addSeparator();
    QAction *close = m_fileMenu->addAction(tr("&Close"), this, &QWidget::close);
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    QAction *quit = m_fileMenu->addAction(tr("&Quit"), qApp, &QApplication::closeAllWindows);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);

    QMenu *viewMenu = menuBar()->addMenu(tr("&View"));
    QAction *zoomIn = viewMenu->addAction(tr("Zoom &In"), this, [this] { if (m_view) m_view->zoomIn(); });
    zoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    QAction *zoomOut = viewMenu->addAction(tr("Zoom &Out"), this, [this] { if (m_view) m_view->zoomOut(); });
    zoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    QAction *fit = viewMenu->addAction(tr("&Fit Width"), this, [this] { if (m_view) m_view->fitWidth(); });
    fit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
}

// A ribbon group: its buttons over its title, closed by a line on the right.
QWidget *KDesktopWindow::groupWidget(const KUiGroup &group)
{
    auto *box = new QWidget;
    auto *outer = new QHBoxLayout(box);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *column = new QVBoxLayout;
    column->setContentsMargins(6, 2, 6, 2);
    column->setSpacing(2);
    auto *row = new QHBoxLayout;
    row->setSpacing(2);
    for (const KUiEntry &entry : group.entries) {
        QAction *action = m_commands->bind(entry, box);
        if (!action)
            continue;
        auto *button = new QToolButton(box);
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(32, 32));
        button->setAutoRaise(true);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setMinimumWidth(72);
        if (action->menu()) {
            // The style draws a drop-down's arrow in the corner without widening the button
            // for it: room on both sides keeps the centred label clear of it.
            const int arrow = button->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, button);
            button->setMinimumWidth(std::max(72, button->sizeHint().width() + 2 * arrow));
        }
        button->setVisible(action->isVisible());
        // A tool button does not follow its action's visibility by itself.
        connect(action, &QAction::changed, button, [button, action] { button->setVisible(action->isVisible()); });
        row->addWidget(button);
    }
    column->addLayout(row);
    auto *title = new QLabel(QCoreApplication::translate("KUiConfig", group.title.toUtf8().constData()), box);
    title->setAlignment(Qt::AlignHCenter);
    title->setEnabled(false);
    column->addWidget(title);
    outer->addLayout(column);
    auto *line = new QFrame(box);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    outer->addWidget(line);
    m_groups.append(box);
    return box;
}

// A group none of whose commands is visible is not shown, title and all.
void KDesktopWindow::showGroups()
{
    for (QWidget *group : qAsConst(m_groups)) {
        bool any = false;
        for (QToolButton *button : group->findChildren<QToolButton *>())
            any = any || (button->defaultAction() && button->defaultAction()->isVisible());
        group->setVisible(any);
    }
}

QWidget *KDesktopWindow::tabPage(const QList<KUiGroup> &groups)
{
    auto *page = new QWidget;
    auto *row = new QHBoxLayout(page);
    row->setContentsMargins(4, 2, 4, 2);
    for (const KUiGroup &group : groups)
        row->addWidget(groupWidget(group));
    row->addStretch();
    return page;
}

void KDesktopWindow::addCategory(const KUiCategory &category)
{
    QAction *action = m_commands->bind(category.category, this);
    if (!action)
        return;
    action->setVisible(false);
    const KUiBinding *binding = m_commands->find(category.category.command);
    QWidget *page = tabPage(category.groups);
    m_categories.append({binding ? binding->command : nullptr, QCoreApplication::translate("KUiConfig", category.category.text.toUtf8().constData()), page});
    m_ribbon->setTabVisible(m_ribbon->addTab(page, m_categories.last().title), false);
}

// The ribbon's height is known before its commands are there, so placing them later does
// not move the pages.
void KDesktopWindow::buildRibbon(const KUiConfig &config)
{
    m_ribbon = new QTabWidget;
    m_ribbon->setDocumentMode(true);
    m_ribbon->addTab(tabPage({}), config.tab.isEmpty() ? tr("Home") : QCoreApplication::translate("KUiConfig", config.tab.toUtf8().constData()));
    QToolButton sample;
    sample.setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    sample.setIconSize(QSize(32, 32));
    sample.setText(QStringLiteral("Xg"));
    m_ribbon->setMinimumHeight(m_ribbon->tabBar()->sizeHint().height() + sample.sizeHint().height()
                               + fontMetrics().height() + 16);
    auto *bar = new QToolBar(tr("Ribbon"), this);
    bar->setObjectName(QStringLiteral("ribbon"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->toggleViewAction()->setEnabled(false);
    bar->addWidget(m_ribbon);
    addToolBar(Qt::TopToolBarArea, bar);
}

// A context category's tab is there while its command says it is visible.
void KDesktopWindow::showContextCategories()
{
    for (const CategoryTab &tab : qAsConst(m_categories)) {
        const int index = m_ribbon->indexOf(tab.page);
        if (index < 0)
            continue;
        const bool shown = tab.command && tab.command->isVisible() && tab.command->isEnabled();
        auto *category = qobject_cast<KxContextCategory *>(tab.command.data());
        const QString name = category && !category->contextName().isEmpty() ? category->contextName() : tab.title;
        m_ribbon->setTabText(index, name);
        m_ribbon->setTabVisible(index, shown);
    }
}

void KDesktopWindow::showEmptyState()
{
    auto *hint = new QLabel(tr("Open a document with File > Open (Ctrl+O), or drop one here."));
    hint->setAlignment(Qt::AlignCenter);
    hint->setStyleSheet(QStringLiteral("color: #5f6570; background: #d9dce1;"));
    m_emptyState = fillArea(getMdiArea(), hint);
}

bool KDesktopWindow::openOrLaunch(const QString &path)
{
    if (!hasDocument())
        return openHere(path);
    if (m_launcher && m_launcher(path))
        return true;
    failed(tr("Cannot start another window for %1.").arg(QDir::toNativeSeparators(path)));
    return false;
}

bool KDesktopWindow::openHere(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString component = KDocumentLoader::componentFor(absolute);
    if (component.isEmpty()) {
        failed(tr("%1: the host cannot open this kind of document").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (!QFileInfo(absolute).isFile()) {
        failed(tr("%1: no such file").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The component is the process's: it follows the document this window shows.
    const QString previous = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(component);
    const KOpenedDocument opened = KDocumentLoader::open(absolute);
    QApplication::restoreOverrideCursor();
    if (!opened.object) {
        QCoreApplication::setApplicationName(previous);
        failed(opened.error);
        return false;
    }
    showDocument(opened.object.get(), absolute);
    return true;
}

void KDesktopWindow::showDocument(IKUnknown *document, const QString &path)
{
    QString error;
    std::shared_ptr<KPageSource> source = KPageSource::create(document, &error);
    if (!source) {
        failed(error);
        return;
    }
    delete m_emptyState;
    KxCoreView *core = openDocument(document, QFileInfo(path).fileName());
    if (auto *sub = qobject_cast<QMdiSubWindow *>(core->parentWidget())) {
        sub->setWindowFlags(Qt::FramelessWindowHint);
        sub->showMaximized();
    }
    auto *layout = new QVBoxLayout(core);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new KPageView(core);
    layout->addWidget(m_view);
    connect(m_view, &KPageView::currentPageChanged, this, &KDesktopWindow::updatePageStatus);
    connect(m_view, &KPageView::zoomChanged, this,
            [this](double zoom) { m_zoomLabel->setText(tr("%1 %").arg(qRound(zoom * 100))); });
    m_path = path;
    KxApplication::coreApplication()->setActiveDocumentPath(path);
    setWindowTitle(tr("%1 - Brindlex").arg(QFileInfo(path).fileName()));
    m_view->setSource(source);
    m_zoomLabel->setText(tr("%1 %").arg(qRound(m_view->zoom() * 100)));
    m_view->setFocus();
    rememberRecent(path);
    m_commands->updateAll();
    emit documentShown(path);
}

void KDesktopWindow::updatePageStatus(int page, int count)
{
    m_pageLabel->setText(count > 0 ? tr("Page %1 of %2").arg(page + 1).arg(count) : tr("No pages"));
}

QString KDesktopWindow::pageStatus() const
{
    return m_pageLabel->text();
}

bool KDesktopWindow::triggerAppEntry(const QString &entry)
{
    if (!m_entryObject && m_entryFactory)
        m_entryObject = m_entryFactory();
    const bool called = m_entryObject
        && QMetaObject::invokeMethod(m_entryObject, "trigger", Qt::DirectConnection,
                                     Q_ARG(KAppObj, KAppObj(KxApplication::coreApplication())),
                                     Q_ARG(KAppContext, KAppContext(this, entry)));
    if (!called)
        failed(tr("The add-on offers no export entry."));
    return called;
}

void KDesktopWindow::failed(const QString &message)
{
    m_lastError = message;
    statusBar()->showMessage(message, 10000);
}

void KDesktopWindow::chooseDocument()
{
    const QString filter = tr("Documents (*.pdf *.txt *.text *.md *.markdown *.html *.htm *.odt *.docx *.doc *.rtf "
                              "*.odp *.pptx *.ppt *.csv *.tsv *.ods *.xlsx *.xls);;All files (*)");
    const QString path = QFileDialog::getOpenFileName(this, tr("Open Document"), QString(), filter);
    if (!path.isEmpty())
        openOrLaunch(path);
}

QString KDesktopWindow::settingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/brindlex/desktop.ini");
}

QStringList KDesktopWindow::recentFiles() const
{
    return QSettings(settingsPath(), QSettings::IniFormat).value(QStringLiteral("recent/files")).toStringList();
}

void KDesktopWindow::rememberRecent(const QString &path)
{
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    QSettings(settingsPath(), QSettings::IniFormat).setValue(QStringLiteral("recent/files"), QStringList(files.mid(0, kRecentFiles)));
}

void KDesktopWindow::fillRecentMenu()
{
    m_recentMenu->clear();
    for (const QString &path : recentFiles()) {
        QAction *action = m_recentMenu->addAction(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { openOrLaunch(path); });
    }
    m_recentMenu->setEnabled(!m_recentMenu->isEmpty());
}

void KDesktopWindow::restoreSize()
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    const QSize size = settings.value(QStringLiteral("window/size"), kDefaultSize).toSize();
    resize(size.isValid() ? size.expandedTo(minimumSizeHint()) : kDefaultSize);
    if (settings.value(QStringLiteral("window/maximized")).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);
}

void KDesktopWindow::saveSize()
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("window/maximized"), isMaximized());
    if (!isMaximized() && !isFullScreen())
        settings.setValue(QStringLiteral("window/size"), size());
}

void KDesktopWindow::closeEvent(QCloseEvent *event)
{
    saveSize();
    KxMainWindow::closeEvent(event);
}

QStringList KDesktopWindow::openablePaths(const QMimeData *data)
{
    QStringList paths;
    if (!data)
        return paths;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo info(url.toLocalFile());
        // Regular files only: a pipe or a device would block the opening.
        if (info.isFile() && !KDocumentLoader::componentFor(info.absoluteFilePath()).isEmpty())
            paths.append(info.absoluteFilePath());
    }
    return paths;
}

void KDesktopWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!openablePaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void KDesktopWindow::dropEvent(QDropEvent *event)
{
    const QStringList paths = openablePaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    for (const QString &path : paths)
        openOrLaunch(path);
}
