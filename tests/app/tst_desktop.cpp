#include "ktestdocuments.h"
#include "ktestmain.h"
#include "ktestoffice.h"
#include "ktestprocess.h"

#include <kappcontext.h>
#include <kcommandfactory.h>
#include <kcommandfactoryitem.h>
#include <kdesktopwindow.h>
#include <kdocumentloader.h>
#include <khostconfig.h>
#include <khostui.h>
#include <klistcommand.h>
#include <kpageview.h>
#include <kpagesource.h>
#include <kpdfdocument.h>
#include <ktriggercommand.h>
#include <kxapplication.h>
#include <kxcontextcategory.h>

#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>

#include <sys/stat.h>

namespace {

// What the test commands do is set from the test, per factory name.
struct CommandState
{
    bool visible = true;
    bool enabled = true;
    int updates = 0;
    int triggers = 0;
    QObject *host = nullptr;
    QVariant detail;
};
QHash<QString, CommandState> g_state;

class TstCommand : public KTriggerCommand
{
    Q_OBJECT
public:
    TstCommand(KxMainWindow *host, const QVariant &argument) : KTriggerCommand(host, argument) {}
    void update() override
    {
        CommandState &s = g_state[name()];
        ++s.updates;
        setVisible(s.visible);
        setEnabled(s.enabled);
    }

protected:
    void onTriggered() override
    {
        CommandState &s = g_state[name()];
        ++s.triggers;
        s.host = host();
        s.detail = property("detail");
    }

private:
    QString name() const { return property("factoryName").toString(); }
};

class TstList : public KListCommand
{
    Q_OBJECT
public:
    TstList(KxMainWindow *host, const QVariant &argument) : KListCommand(host, argument) {}
};

class TstContext : public KxContextCategory
{
    Q_OBJECT
public:
    TstContext(KxMainWindow *host, const QVariant &argument) : KxContextCategory(host, argument)
    {
        setContextName(QStringLiteral("Picture Layout"));
    }
    void update() override { setVisible(g_state[QStringLiteral("TstContext")].visible); }
};

// The add-on's entry object as the host sees it: one invokable trigger.
class TstEntry : public QObject
{
    Q_OBJECT
public:
    static QStringList calls;
    static QList<QObject *> windows;
    Q_INVOKABLE void trigger(const KAppObj &app, const KAppContext &context)
    {
        calls.append(context.entry + (app.app() ? QString() : QStringLiteral(" without app")));
        windows.append(context.window.data());
    }
};
QStringList TstEntry::calls;
QList<QObject *> TstEntry::windows;

// A PDF-like document whose pages the test sizes and counts, rendering solid pages and
// counting which ones it was asked for.
class FakePages : public KUnknownImpl<IKPdfDocument>
{
public:
    QList<QSizeF> sizes;
    QList<int> rendered;
    QMutex mutex;
    int prepareRendering(float) override { return 1; }
    int pageCount() override
    {
        QMutexLocker lock(&mutex);
        return sizes.size();
    }
    QSizeF pageSize(int i) override
    {
        QMutexLocker lock(&mutex);
        return sizes.value(i) * (krt::host::screenDpi() / 96.0);
    }
    QImage renderPage(int i, float zoom) override
    {
        QMutexLocker lock(&mutex);
        rendered.append(i);
        const QSizeF size = sizes.value(i) * zoom * (krt::host::screenDpi() / 96.0);
        QImage image(size.toSize(), QImage::Format_RGB32);
        image.fill(QColor::fromHsv((i * 40) % 360, 200, 200));
        return image;
    }
};

template <class Command>
struct Registration
{
    explicit Registration(const char *name) : item(name, "KxMainWindow") { KCommandFactory::registerCommand(&item); }
    ~Registration() { KCommandFactory::unregisterCommand(&item); }
    KCommandFactoryItem<Command, KxMainWindow> item;
};

const QByteArray kConfig = R"json({
  "ribbon": {"tab": "Picture", "groups": [
    {"title": "Export", "entries": [
      {"command": "TstShown", "text": "Shown", "properties": {"detail": "shown detail", "factoryName": "TstShown"}},
      {"command": "TstHidden", "text": "Hidden", "properties": {"factoryName": "TstHidden"}},
      {"command": "TstDisabled", "text": "Disabled", "properties": {"factoryName": "TstDisabled"}},
      {"command": "NotRegistered", "text": "Missing"},
      {"appEntry": "RibbonEntry", "text": "Export to Picture (app)"},
      {"command": "TstList", "text": "More", "members": [
        {"command": "TstMember", "text": "Member", "properties": {"factoryName": "TstMember"}}]}
    ]}]},
  "fileMenu": [{"command": "TstFile", "text": "Export...", "properties": {"factoryName": "TstFile"}}],
  "saveAs": [{"command": "TstSaveAs", "text": "Picture", "properties": {"factoryName": "TstSaveAs"}}],
  "contextCategories": [{"command": "TstContext", "text": "Context", "groups": [
    {"title": "Layout", "entries": [{"command": "TstShown", "text": "Shown again", "properties": {"factoryName": "TstShown"}}]}]}]
})json";

KUiConfig testConfig()
{
    QString error;
    const KUiConfig config = KUiConfig::parse(kConfig, &error);
    if (!error.isEmpty())
        qFatal("test configuration: %s", qPrintable(error));
    return config;
}

QToolButton *buttonFor(QWidget *ribbon, const QString &text)
{
    for (QToolButton *button : ribbon->findChildren<QToolButton *>()) {
        if (button->defaultAction() && button->defaultAction()->text() == text)
            return button;
    }
    return nullptr;
}

std::shared_ptr<KPageSource> fakeSource(FakePages *pages)
{
    QString error;
    std::shared_ptr<KPageSource> source = KPageSource::create(pages, &error);
    pages->Release(); // the source holds its own reference
    return source;
}

bool waitReady(KPageView *view, int page)
{
    return QTest::qWaitFor([&] { return view->isPageReady(page); }, 10000);
}

bool exposed(QWidget &widget)
{
    widget.show();
    return QTest::qWaitForWindowExposed(&widget);
}

// A window showing `count` fake pages of one size.
void showPages(KDesktopWindow &window, int count, QSizeF size = QSizeF(400, 560))
{
    auto *pages = new FakePages;
    for (int i = 0; i < count; ++i)
        pages->sizes.append(size);
    window.showDocument(pages, QStringLiteral("/tmp/fake.pdf"));
    pages->Release();
}

QMimeData *urls(const QList<QUrl> &list)
{
    auto *data = new QMimeData;
    data->setUrls(list);
    return data;
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

    Registration<TstCommand> m_shown{"TstShown"}, m_hidden{"TstHidden"}, m_disabled{"TstDisabled"},
        m_member{"TstMember"}, m_file{"TstFile"}, m_saveAs{"TstSaveAs"};
    Registration<TstList> m_list{"TstList"};
    Registration<TstContext> m_context{"TstContext"};
    QTemporaryDir m_dir;

    void resetState()
    {
        g_state.clear();
        g_state[QStringLiteral("TstHidden")].visible = false;
        g_state[QStringLiteral("TstDisabled")].enabled = false;
        TstEntry::calls.clear();
        TstEntry::windows.clear();
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        return ktest::writeText(path, bytes) ? path : QString();
    }

private slots:
    void init() { resetState(); }

    void parseRefusesBadConfigurations_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("expected");
        QTest::newRow("not JSON") << QByteArray("{ribbon") << "";
        QTest::newRow("a list") << QByteArray("[]") << "no ribbon tab";
        QTest::newRow("no tab") << QByteArray(R"({"ribbon": {"groups": []}})") << "no ribbon tab";
        QTest::newRow("groups not a list") << QByteArray(R"({"ribbon": {"tab": "T", "groups": {}}})") << "groups";
        QTest::newRow("entry names both") << QByteArray(
            R"({"ribbon": {"tab": "T", "groups": [{"entries": [{"command": "A", "appEntry": "B"}]}]}})") << "either";
        QTest::newRow("entry names neither") << QByteArray(
            R"({"ribbon": {"tab": "T", "groups": [{"entries": [{"text": "A"}]}]}})") << "either";
        QTest::newRow("properties not an object") << QByteArray(
            R"({"ribbon": {"tab": "T", "groups": [{"entries": [{"command": "A", "properties": 3}]}]}})") << "properties";
        QTest::newRow("bad member") << QByteArray(
            R"({"ribbon": {"tab": "T", "groups": [{"entries": [{"command": "L", "members": [{}]}]}]}})") << "L:";
        QTest::newRow("save-as not a list") << QByteArray(
            R"({"ribbon": {"tab": "T", "groups": []}, "saveAs": {}})") << "saveAs";
        QTest::newRow("category without groups") << QByteArray(
            R"({"ribbon": {"tab": "T", "groups": []}, "contextCategories": [{"command": "C"}]})") << "groups";
    }
    void parseRefusesBadConfigurations()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        QString error;
        const KUiConfig config = KUiConfig::parse(json, &error);
        QVERIFY(config.tab.isEmpty());
        QVERIFY(config.groups.isEmpty());
        QVERIFY2(!error.isEmpty(), "a refusal says why");
        QVERIFY2(error.contains(expected), qPrintable(error));
    }

    // The configuration the host ships places every command the add-on registers.
    void shippedConfigurationNamesEveryCommand()
    {
        QString error;
        const KUiConfig config = KUiConfig::load(&error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QSet<QString> named;
        QStringList appEntries;
        std::function<void(const QList<KUiEntry> &)> collect = [&](const QList<KUiEntry> &entries) {
            for (const KUiEntry &e : entries) {
                if (!e.command.isEmpty())
                    named.insert(e.command);
                if (!e.appEntry.isEmpty())
                    appEntries.append(e.appEntry);
                collect(e.members);
            }
        };
        for (const KUiGroup &g : config.groups)
            collect(g.entries);
        collect(config.fileMenu);
        collect(config.saveAs);
        for (const KUiCategory &c : config.categories) {
            collect({c.category});
            for (const KUiGroup &g : c.groups)
                collect(g.entries);
        }
        const QStringList commands = ktest::addonCommandNames();
        QCOMPARE(named, QSet<QString>(commands.begin(), commands.end()));
        QCOMPARE(appEntries, QStringList{QStringLiteral("RibbonEntry")});
        // A text missing from the list would never reach the translation files.
        const QStringList listed = KUiConfig::listedTexts();
        for (const QString &text : config.texts())
            QVERIFY2(listed.contains(text), qPrintable(text));
    }

    void ribbonFollowsUpdate_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("shown") << "TstShown" << "Shown" << true << true;
        QTest::newRow("hidden") << "TstHidden" << "Hidden" << false << true;
        QTest::newRow("disabled") << "TstDisabled" << "Disabled" << true << false;
    }
    void ribbonFollowsUpdate()
    {
        QFETCH(QString, command);
        QFETCH(QString, text);
        QFETCH(bool, visible);
        QFETCH(bool, enabled);
        KDesktopWindow window(testConfig(), {});
        QVERIFY(exposed(window));
        QToolButton *button = buttonFor(window.ribbon(), text);
        QVERIFY(button);
        QCOMPARE(button->isVisible(), visible);
        if (visible)
            QCOMPARE(button->isEnabled(), enabled);
        if (visible)
            QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(g_state[command].triggers, visible && enabled ? 1 : 0);
        if (visible && enabled)
            QCOMPARE(g_state[command].host, static_cast<QObject *>(&window));

        // The command changes its mind: the next update shows it.
        g_state[command].visible = true;
        g_state[command].enabled = true;
        window.commands()->updateAll();
        QVERIFY(button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(g_state[command].triggers, visible && enabled ? 2 : 1);
    }

    // Commands placed after the window shows (once the add-on is loaded) do not move the
    // pages, and placing them twice does not double them.
    void commandsPlacedLater()
    {
        KDesktopWindow window(testConfig(), {}, nullptr, KDesktopWindow::PlaceLater);
        QVERIFY(exposed(window));
        QVERIFY(window.commands()->bindings().isEmpty());
        QVERIFY(!buttonFor(window.ribbon(), QStringLiteral("Shown")));
        const int before = window.ribbon()->height();
        const int menuEntries = window.fileMenu()->actions().size();
        window.placeCommands(testConfig());
        window.placeCommands(testConfig());
        QCoreApplication::processEvents();
        QVERIFY(buttonFor(window.ribbon(), QStringLiteral("Shown")));
        QCOMPARE(window.fileMenu()->actions().size(), menuEntries + 1);
        QCOMPARE(window.ribbon()->count(), 2);
        QCOMPARE(window.ribbon()->height(), before);
        // The add-on's File menu entry comes before the Save-As list.
        const QList<QAction *> actions = window.fileMenu()->actions();
        const KUiBinding *file = window.commands()->find(QStringLiteral("TstFile"));
        QVERIFY(file && file->action);
        QVERIFY(actions.indexOf(file->action) < actions.indexOf(window.saveAsMenu()->menuAction()));
    }

    void hostConfigurationSwitchesCommandsOff_data()
    {
        QTest::addColumn<QString>("disabled");
        QTest::addColumn<bool>("runs");
        // Known by its factory name: the entry gives no other identifier.
        QTest::newRow("named") << "TstShown" << false;
        QTest::newRow("in a list") << "TstOther, TstShown" << false;
        QTest::newRow("by class name") << "TstCommand" << true;
        QTest::newRow("others only") << "TstHidden" << true;
    }
    void hostConfigurationSwitchesCommandsOff()
    {
        QFETCH(QString, disabled);
        QFETCH(bool, runs);
        KHostConfig::setValue(QStringLiteral("disabledCommands"), disabled);
        KDesktopWindow window(testConfig(), {});
        window.show();
        const KUiBinding *binding = window.commands()->find(QStringLiteral("TstShown"));
        QVERIFY(binding && binding->command && binding->action);
        QCOMPARE(binding->action->isEnabled(), runs);
        binding->action->trigger();
        KHostConfig::setValue(QStringLiteral("disabledCommands"), QString());
        QCOMPARE(g_state[QStringLiteral("TstShown")].triggers, runs ? 1 : 0);
    }

    void commandsCarryConfiguredProperties()
    {
        KDesktopWindow window(testConfig(), {});
        window.show();
        QTest::mouseClick(buttonFor(window.ribbon(), QStringLiteral("Shown")), Qt::LeftButton);
        QCOMPARE(g_state[QStringLiteral("TstShown")].detail.toString(), QStringLiteral("shown detail"));
        QVERIFY(!window.commands()->find(QStringLiteral("NotRegistered")));
        QVERIFY(!buttonFor(window.ribbon(), QStringLiteral("Missing")));
        const KUiBinding *list = window.commands()->find(QStringLiteral("TstList"));
        QVERIFY(list && list->command);
        QCOMPARE(qobject_cast<KListCommand *>(list->command)->commands().size(), 1);
    }

    void menusUpdateBeforeShowing_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("command");
        QTest::newRow("file") << "file" << "TstFile";
        QTest::newRow("save as") << "saveAs" << "TstSaveAs";
    }
    void menusUpdateBeforeShowing()
    {
        QFETCH(QString, menu);
        QFETCH(QString, command);
        KDesktopWindow window(testConfig(), {});
        QMenu *shown = menu == QLatin1String("file") ? window.fileMenu() : window.saveAsMenu();
        g_state[command].visible = false;
        const int before = g_state[command].updates;
        emit shown->aboutToShow();
        QVERIFY(g_state[command].updates > before);
        const KUiBinding *binding = window.commands()->find(command);
        QVERIFY(binding && binding->action);
        QVERIFY(shown->actions().contains(binding->action));
        QVERIFY(!binding->action->isVisible());
        binding->action->setVisible(true); // a hidden entry cannot be clicked; this one is
        g_state[command].visible = true;
        binding->action->trigger();
        QCOMPARE(g_state[command].triggers, 1);
    }

    void contextCategoryTabFollowsItsCommand()
    {
        KDesktopWindow window(testConfig(), {});
        QTabWidget *ribbon = window.ribbon();
        QCOMPARE(ribbon->count(), 2);
        QVERIFY(ribbon->isTabVisible(1));
        QCOMPARE(ribbon->tabText(1), QStringLiteral("Picture Layout"));
        // A group whose every command is hidden goes, title and all.
        QLabel *layoutTitle = nullptr;
        for (QLabel *label : ribbon->widget(1)->findChildren<QLabel *>())
            layoutTitle = label->text() == QLatin1String("Layout") ? label : layoutTitle;
        QVERIFY(layoutTitle);
        QVERIFY(layoutTitle->isVisibleTo(ribbon->widget(1)));
        g_state[QStringLiteral("TstShown")].visible = false;
        window.commands()->updateAll();
        QVERIFY(!layoutTitle->isVisibleTo(ribbon->widget(1)));

        g_state[QStringLiteral("TstContext")].visible = false;
        window.commands()->updateAll();
        QVERIFY(!ribbon->isTabVisible(1));
        QVERIFY(ribbon->isTabVisible(0));
    }

    void frameworkEntryCallsTriggerByName()
    {
        int made = 0;
        auto *window = new KDesktopWindow(testConfig(), [&made]() -> QObject * {
            ++made;
            return new TstEntry;
        });
        QToolButton *button = buttonFor(window->ribbon(), QStringLiteral("Export to Picture (app)"));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(TstEntry::calls, QStringList({"RibbonEntry", "RibbonEntry"}));
        QCOMPARE(TstEntry::windows.first(), static_cast<QObject *>(window));
        QCOMPARE(made, 1);
        QPointer<QObject> entry = window->findChild<TstEntry *>();
        delete window;
        QVERIFY(!entry); // the host owns the entry object it got
    }

    void frameworkEntryMissingIsReported_data()
    {
        QTest::addColumn<bool>("objectWithoutTrigger");
        QTest::newRow("no entry object") << false;
        QTest::newRow("object without trigger") << true;
    }
    void frameworkEntryMissingIsReported()
    {
        QFETCH(bool, objectWithoutTrigger);
        KDesktopWindow window(testConfig(), [objectWithoutTrigger]() -> QObject * {
            return objectWithoutTrigger ? new QObject : nullptr;
        });
        QVERIFY(!window.triggerAppEntry(QStringLiteral("RibbonEntry")));
        QVERIFY(!window.lastError().isEmpty());
    }

    void pageViewRendersOnlyWhatIsSeen()
    {
        auto *pages = new FakePages;
        for (int i = 0; i < 36; ++i)
            pages->sizes.append(QSizeF(600, 800));
        pages->AddRef();
        KPageView view;
        view.resize(700, 500);
        view.setSource(fakeSource(pages));
        view.show();
        QVERIFY(waitReady(&view, 0));
        QTest::qWait(100);
        {
            QMutexLocker lock(&pages->mutex);
            QVERIFY2(pages->rendered.size() <= 3, qPrintable(QString::number(pages->rendered.size())));
            QCOMPARE(pages->rendered.first(), 0);
        }
        view.goToPage(20);
        QVERIFY(waitReady(&view, 20));
        QVERIFY(!view.isPageReady(10));
        QCOMPARE(view.currentPage(), 20);
        pages->Release();
    }

    void zoomAndFit_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<double>("expected"); // 0: fit the width
        QTest::newRow("fit width") << "fit" << 0.0;
        QTest::newRow("set") << "set 1.5" << 1.5;
        QTest::newRow("in") << "set 1 in" << 1.25;
        QTest::newRow("out") << "set 1 out" << 0.8;
        QTest::newRow("past the largest") << "set 100" << KPageView::kMaxZoom;
        QTest::newRow("below the smallest") << "set 0.01 out" << KPageView::kMinZoom;
    }
    void zoomAndFit()
    {
        QFETCH(QString, action);
        QFETCH(double, expected);
        auto *pages = new FakePages;
        pages->sizes = {QSizeF(400, 600), QSizeF(500, 300)};
        KPageView view;
        view.resize(800, 600);
        view.setSource(fakeSource(pages));
        view.show();
        const QStringList steps = action.split(QLatin1Char(' '));
        for (int i = 0; i < steps.size(); ++i) {
            if (steps[i] == QLatin1String("fit"))
                view.fitWidth();
            else if (steps[i] == QLatin1String("set"))
                view.setZoom(steps[++i].toDouble());
            else if (steps[i] == QLatin1String("in"))
                view.zoomIn();
            else
                view.zoomOut();
        }
        if (expected == 0) {
            QVERIFY(view.isFitWidth());
            // The widest page fills the width between the margins.
            QCOMPARE(view.pageRect(1).width(), view.viewport()->width() - 2 * KPageView::kGap);
        } else {
            QVERIFY(!view.isFitWidth());
            QVERIFY(qAbs(view.zoom() - expected) < 1e-9);
            QCOMPARE(view.pageRect(0).size(), QSize(qRound(400 * expected), qRound(600 * expected)));
        }
        QVERIFY(view.pageRect(1).top() > view.pageRect(0).bottom());
        QVERIFY(waitReady(&view, 0));
    }

    void keysMoveByPage_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("page");
        QTest::newRow("page down") << QList<int>{Qt::Key_PageDown} << 1;
        QTest::newRow("end") << QList<int>{Qt::Key_End} << 9;
        QTest::newRow("end, page down stays") << QList<int>{Qt::Key_End, Qt::Key_PageDown} << 9;
        QTest::newRow("end, page up") << QList<int>{Qt::Key_End, Qt::Key_PageUp} << 8;
        QTest::newRow("end, home") << QList<int>{Qt::Key_End, Qt::Key_Home} << 0;
        QTest::newRow("page up at the start") << QList<int>{Qt::Key_PageUp} << 0;
    }
    void keysMoveByPage()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, page);
        KDesktopWindow window(testConfig(), {});
        showPages(window, 10);
        QVERIFY(exposed(window));
        for (int key : keys)
            QTest::keyClick(window.pageView(), Qt::Key(key));
        QCOMPARE(window.pageView()->currentPage(), page);
        QCOMPARE(window.pageStatus(), QStringLiteral("Page %1 of 10").arg(page + 1));
    }

    void documentChangeRereadsPagesAndCommands()
    {
        auto *pages = new FakePages;
        pages->sizes = {QSizeF(400, 560)};
        KDesktopWindow window(testConfig(), {});
        window.showDocument(pages, QStringLiteral("/tmp/fake.pdf"));
        QVERIFY(exposed(window));
        QCOMPARE(window.pageStatus(), QStringLiteral("Page 1 of 1"));
        const int updates = g_state[QStringLiteral("TstShown")].updates;
        {
            QMutexLocker lock(&pages->mutex);
            pages->sizes.append(QSizeF(400, 560));
        }
        window.notifyDocumentChanged();
        QCOMPARE(window.pageView()->pageCount(), 2);
        QCOMPARE(window.pageStatus(), QStringLiteral("Page 1 of 2"));
        QVERIFY(g_state[QStringLiteral("TstShown")].updates > updates);
        QVERIFY(waitReady(window.pageView(), 0));
        pages->Release();
    }

    void opensEveryKind_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("pages");
        QTest::newRow("text") << "notes.txt" << QByteArray("Plain words.\n") << 1;
        QTest::newRow("markdown") << "notes.md" << QByteArray("# Title\n\nSome *words*.\n") << 1;
        QTest::newRow("html, three pages") << "pages.html" << ktest::blockPagesHtml(3) << 3;
        QTest::newRow("deck") << "talk.slides.md" << QByteArray("# One\n\n---\n\n# Two\n") << 2;
        QTest::newRow("sheet") << "table.csv" << QByteArray("a,b\n1,2\n3,4\n") << 1;
        QTest::newRow("pdf") << "two.pdf" << QByteArray() << 2;
        QTest::newRow("office file") << "letter.rtf" << QByteArray("{\\rtf1\\ansi Dear reader,\\par Words.\\par}") << 1;
    }
    void opensEveryKind()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, pages);
        QString path = m_dir.filePath(name);
        if (KDocumentLoader::needsConversion(path) && ktest::soffice().isEmpty())
            QSKIP("LibreOffice is not installed");
        if (content.isEmpty())
            QVERIFY(ktest::writePdf(path, {QSizeF(300, 400), QSizeF(400, 300)}));
        else
            QVERIFY(ktest::writeText(path, content));
        KDesktopWindow window(testConfig(), {});
        QVERIFY2(window.openHere(path), qPrintable(window.lastError()));
        QVERIFY(exposed(window));
        QCOMPARE(window.pageView()->pageCount(), pages);
        QCOMPARE(window.pageStatus(), QStringLiteral("Page 1 of %1").arg(pages));
        QVERIFY(waitReady(window.pageView(), 0));
        // Something of the page is drawn, not only its blank sheet.
        const QImage shot = window.pageView()->viewport()->grab().toImage();
        const QRect page = window.pageView()->pageRect(0) & shot.rect();
        QSet<QRgb> colours;
        for (int y = page.top(); y <= page.bottom(); y += 3)
            for (int x = page.left(); x <= page.right(); x += 3)
                colours.insert(shot.pixel(x, y));
        QVERIFY2(colours.size() > 1, "the page shows its content");
        QVERIFY(window.windowTitle().contains(name));
        QCOMPARE(window.recentFiles().value(0), path);
    }

    void refusesWhatItCannotOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("unknown kind") << "picture.xyz" << QByteArray("x");
        QTest::newRow("missing") << "gone.pdf" << QByteArray();
        QTest::newRow("damaged pdf") << "broken.pdf" << QByteArray("%PDF-1.4 nothing");
    }
    void refusesWhatItCannotOpen()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = m_dir.filePath(name);
        if (!content.isEmpty())
            QVERIFY(ktest::writeText(path, content));
        KDesktopWindow window(testConfig(), {});
        QCoreApplication::setApplicationName(QStringLiteral("before"));
        QVERIFY(!window.openHere(path));
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("before"));
        QVERIFY(!window.lastError().isEmpty());
        QVERIFY(!window.hasDocument());
        QVERIFY(!window.pageView());
    }

    void dropTakesOpenableLocalFiles_data()
    {
        QTest::addColumn<QStringList>("dropped"); // names in the folder, or full URLs
        QTest::addColumn<QStringList>("taken");
        QTest::newRow("one pdf") << QStringList{"a.pdf"} << QStringList{"a.pdf"};
        QTest::newRow("order kept") << QStringList{"b.md", "a.pdf"} << QStringList{"b.md", "a.pdf"};
        QTest::newRow("unknown kind") << QStringList{"a.xyz"} << QStringList{};
        QTest::newRow("folder") << QStringList{"folder.pdf"} << QStringList{};
        QTest::newRow("missing") << QStringList{"none.pdf"} << QStringList{};
        QTest::newRow("pipe") << QStringList{"pipe.csv"} << QStringList{};
        QTest::newRow("web address") << QStringList{"https://example.org/a.pdf"} << QStringList{};
        QTest::newRow("mixed") << QStringList{"a.xyz", "https://example.org/b.md", "b.md"} << QStringList{"b.md"};
    }
    void dropTakesOpenableLocalFiles()
    {
        QFETCH(QStringList, dropped);
        QFETCH(QStringList, taken);
        QDir dir(m_dir.path());
        QVERIFY(ktest::writePdf(dir.filePath("a.pdf"), {QSizeF(200, 200)}));
        QVERIFY(ktest::writeText(dir.filePath("b.md"), "# B\n"));
        QVERIFY(ktest::writeText(dir.filePath("a.xyz"), "x"));
        dir.mkpath(QStringLiteral("folder.pdf"));
        ::mkfifo(QFile::encodeName(dir.filePath("pipe.csv")).constData(), 0600);
        QList<QUrl> list;
        for (const QString &d : dropped)
            list.append(d.contains(QLatin1Char(':')) ? QUrl(d) : QUrl::fromLocalFile(dir.filePath(d)));
        QScopedPointer<QMimeData> data(urls(list));
        QStringList expected;
        for (const QString &t : taken)
            expected.append(dir.filePath(t));
        QCOMPARE(KDesktopWindow::openablePaths(data.data()), expected);
    }

    // One document per process: a drop on a window that shows one starts another process.
    void dropOpensHereOnlyWhenEmpty()
    {
        QVERIFY(ktest::writePdf(m_dir.filePath("first.pdf"), {QSizeF(200, 200)}));
        QVERIFY(ktest::writeText(m_dir.filePath("second.md"), "# Second\n"));
        KDesktopWindow window(testConfig(), {});
        QStringList launched;
        window.setLauncher([&launched](const QString &path) {
            launched.append(path);
            return true;
        });
        QVERIFY(exposed(window));
        const QList<QUrl> both = {QUrl::fromLocalFile(m_dir.filePath("first.pdf")),
                                  QUrl::fromLocalFile(m_dir.filePath("second.md"))};
        QScopedPointer<QMimeData> data(urls(both));
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data.data(), Qt::LeftButton, Qt::NoModifier);
        // Straight to the window: the application passes a drop on only during a real drag.
        static_cast<QObject &>(window).event(&drop);
        QVERIFY2(window.lastError().isEmpty(), qPrintable(window.lastError()));
        QCOMPARE(window.documentPath(), m_dir.filePath("first.pdf"));
        QCOMPARE(launched, QStringList{m_dir.filePath("second.md")});

        window.setLauncher([](const QString &) { return false; });
        QVERIFY(!window.openOrLaunch(m_dir.filePath("second.md")));
        QVERIFY(window.lastError().contains(QStringLiteral("second.md")));
        QCOMPARE(window.documentPath(), m_dir.filePath("first.pdf"));
    }

    void shortcutsReachTheView_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("effect");
        QTest::newRow("ctrl plus") << int(Qt::CTRL | Qt::Key_Plus) << "in";
        QTest::newRow("ctrl equal") << int(Qt::CTRL | Qt::Key_Equal) << "in";
        QTest::newRow("ctrl minus") << int(Qt::CTRL | Qt::Key_Minus) << "out";
        QTest::newRow("ctrl 0") << int(Qt::CTRL | Qt::Key_0) << "fit";
        QTest::newRow("ctrl w") << int(Qt::CTRL | Qt::Key_W) << "close";
    }
    void shortcutsReachTheView()
    {
        QFETCH(int, key);
        QFETCH(QString, effect);
        KDesktopWindow window(testConfig(), {});
        showPages(window, 2);
        QVERIFY(exposed(window));
        window.activateWindow();
        window.pageView()->setZoom(1.0);
        QTest::keyClick(window.pageView(), Qt::Key(key & ~Qt::KeyboardModifierMask),
                        Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
        if (effect == QLatin1String("close"))
            QVERIFY(!window.isVisible());
        else if (effect == QLatin1String("fit"))
            QVERIFY(window.pageView()->isFitWidth());
        else
            QCOMPARE(window.pageView()->zoom(), effect == QLatin1String("in") ? 1.25 : 0.8);
    }

    // brindlex DOCUMENT refuses before any window opens what it cannot show.
    void commandLineRefusals_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<bool>("display");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "gone.pdf" << true << 1 << "no such file";
        QTest::newRow("folder") << "." << true << 1 << "folder";
        QTest::newRow("unknown kind") << "data.xyz" << true << 64 << "cannot open this kind";
        QTest::newRow("damaged") << "broken.pdf" << true << 1 << "Cannot open the document";
        QTest::newRow("no display") << "fine.md" << false << 1 << "no display";
    }
    void commandLineRefusals()
    {
        QFETCH(QString, document);
        QFETCH(bool, display);
        QFETCH(int, status);
        QFETCH(QString, message);
        QVERIFY(ktest::writeText(m_dir.filePath("data.xyz"), "x"));
        QVERIFY(ktest::writeText(m_dir.filePath("broken.pdf"), "%PDF-1.4 nothing"));
        QVERIFY(ktest::writeText(m_dir.filePath("fine.md"), "# Fine\n"));
        QMap<QString, QString> env;
        if (!display)
            env = {{"DISPLAY", QString()}, {"WAYLAND_DISPLAY", QString()}, {"QT_QPA_PLATFORM", QString()}};
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        ktest::startBrindlex(process, QStringLiteral(BRINDLEX_PATH), {document}, env);
        const ktest::Run run = ktest::finish(process, 30000);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message, Qt::CaseInsensitive), qPrintable(run.err));
    }

    void commandLinePaintsTheFirstPage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("markdown") << "shown.md" << QByteArray("# Shown\n");
        QTest::newRow("pdf") << "shown.pdf" << QByteArray();
    }
    void commandLinePaintsTheFirstPage()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = m_dir.filePath(name);
        QVERIFY(content.isEmpty() ? ktest::writePdf(path, {QSizeF(300, 300)}) : ktest::writeText(path, content));
        QProcess process;
        ktest::startBrindlex(process, QStringLiteral(BRINDLEX_PATH), {path}, {{"BRINDLEX_FIRST_PAINT", "quit"}});
        const ktest::Run run = ktest::finish(process, 30000);
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.contains("brindlex: first page painted"));
    }

    void remembersSizeAndRecentFiles()
    {
        QFile::remove(KDesktopWindow::settingsPath());
        {
            KDesktopWindow window(testConfig(), {});
            QVERIFY(exposed(window));
            window.resize(730, 540);
            window.close();
        }
        KDesktopWindow again(testConfig(), {});
        QCOMPARE(again.size(), QSize(730, 540));

        for (int i = 0; i < KDesktopWindow::kRecentFiles + 2; ++i) {
            const QString path = write(QStringLiteral("r%1.txt").arg(i), "words\n");
            KDesktopWindow window(testConfig(), {});
            QVERIFY(window.openHere(path));
        }
        const QStringList recent = again.recentFiles();
        QCOMPARE(recent.size(), KDesktopWindow::kRecentFiles);
        QCOMPARE(recent.first(), m_dir.filePath(QStringLiteral("r%1.txt").arg(KDesktopWindow::kRecentFiles + 1)));
        QVERIFY(!recent.contains(m_dir.filePath(QStringLiteral("r0.txt"))));
    }
};

KTAVRO_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
