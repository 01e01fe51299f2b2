#include "ktestmain.h"
#include "logrecorder.h"

#include <kappaboutdlg.h>
#include <kappdeclarationdlg.h>
#include <kappmainwindow.h>
#include <kappqrcodebox.h>
#include <kappsimplebutton.h>
#include <kapptitlebar.h>
#include <kcloudserviceproxy.h>
#include <kessapplicationadapter.h>
#include <kesssandbox.h>
#include <khostconfig.h>
#include <klitefloattips.h>
#include <kdcinfo.h>
#include <klitemenu.h>
#include <klitestyle.h>
#include <kxapplication.h>
#include <kshell.h>

#include <QScreen>
#include <QShortcut>
#include <QTemporaryDir>

namespace {

// Keeps the arguments of every call and serves method 14 with a plain widget.
class RecordingAdapter : public IApplicationAdapter
{
public:
    bool call(int method, const QVariantList &arguments, QVariantList &results) override
    {
        calls << qMakePair(method, arguments);
        if (method != Method_RequestWidget)
            return false;
        auto *widget = new QWidget(arguments.value(1).value<QWidget *>(), Qt::Window);
        widget->setAttribute(Qt::WA_DeleteOnClose);
        results << QVariant::fromValue(widget);
        return true;
    }
    KEssAppAdapterProxy *proxy() override { return nullptr; }
    // The arguments of each widget request.
    QList<QVariantList> requests() const
    {
        QList<QVariantList> found;
        for (const auto &call : calls) {
            if (call.first == Method_RequestWidget)
                found << call.second;
        }
        return found;
    }
    QList<QPair<int, QVariantList>> calls;
};

void recordLaunches(QStringList *opened)
{
    KShell::setLauncher([opened](const QString &, const QStringList &arguments) {
        *opened << arguments;
        return true;
    });
}

// What a menu holds: collection names, "-" for separators.
QStringList menuLayout(const QMenu *menu)
{
    QStringList items;
    for (const QAction *item : menu->actions())
        items << (item->isSeparator() ? QStringLiteral("-") : item->property("coll_name").toString());
    return items;
}

void grab(QWidget *widget, const QString &name)
{
    widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(widget));
    QVERIFY(widget->grab().save(ktest::artifactPath(name)));
}

} // namespace

class TestAppWindows : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<LogRecorder> m_log;

    void startApp(const QVariantMap &properties)
    {
        SandboxInfo info;
        info.appId = QStringLiteral("export_photo");
        info.displayName = QStringLiteral("Export Tool");
        info.properties = properties;
        CreateSandbox(info);
    }

    std::unique_ptr<KAppMainWindow> mainWindow(int flags = KFrame::DefaultButtons | KFrame::MenuButton)
    {
        auto window = std::make_unique<KAppMainWindow>();
        window->setWindowTitle(QStringLiteral("Export Tool"));
        window->setTitleBarFlags(flags);
        window->initUi();
        window->resize(480, 320);
        return window;
    }

private slots:
    void init()
    {
        m_log = std::make_unique<LogRecorder>();
    }
    void cleanup()
    {
        for (QWidget *top : QApplication::topLevelWidgets())
            top->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_log.reset();
        SetApplicationAdapter(nullptr);
        DestroySandbox();
        KShell::setLauncher(nullptr);
        KCloudServiceProxy::stop();
        KHostConfig::reload();
    }

    void menuFollowsProperties_data()
    {
        QTest::addColumn<QVariantMap>("properties");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("critical");
        const QStringList defaults{"feedback", "report", "-", "about"};
        QTest::newRow("no switches") << QVariantMap() << defaults << QString();
        QTest::newRow("report and about off") << QVariantMap{{"hasReport", false}, {"hasAbout", false}} << QStringList{"feedback"} << QString();
        QTest::newRow("everything")
            << QVariantMap{{"hasUsedDeclaration", true}, {"hasCustomService", true}, {"customServiceType", "qrcode"},
                           {"hasCreateShortcut", true}}
            << QStringList{"notice", "sevice", "feedback", "report", "-", "shortcut_create", "-", "about"} << QString();
        QTest::newRow("unknown service type")
            << QVariantMap{{"hasCustomService", true}, {"customServiceType", "web"}} << defaults
            << QStringLiteral("type web is not defined!");
        QTest::newRow("switches written as text")
            << QVariantMap{{"hasReport", "false"}, {"hasUsedDeclaration", "true"}}
            << QStringList{"notice", "feedback", "-", "about"} << QString();
    }
    void menuFollowsProperties()
    {
        QFETCH(QVariantMap, properties);
        QFETCH(QStringList, items);
        QFETCH(QString, critical);
        startApp(properties);
        auto window = mainWindow();
        QSignalSpy created(window.get(), &KAppMainWindow::menuCreate);
        KLiteMenu *menu = window->appTitleBar()->assistMenu();
        QCOMPARE(created.count(), 1);
        QCOMPARE(window->appTitleBar()->assistMenu(), menu); // filled once
        QCOMPARE(menuLayout(menu), items);
        if (!critical.isEmpty())
            QCOMPARE(m_log->count(critical), 1);
        for (const QAction *item : menu->actions()) {
            if (!item->isSeparator())
                QVERIFY(item->property(KAppTitleBar::MenuItemTypeProperty).toInt() != 0);
        }
    }

    void customServiceShowsItsCode()
    {
        startApp({{"hasCustomService", true}, {"customServiceType", "qrcode"}, {"customServiceDescription", "Call us"},
                  {"customServiceQRCode", "zdalite/icons/phone.svg"}});
        auto window = mainWindow();
        window->show();
        QAction *item = window->appTitleBar()->assistMenu()->actions().first();
        QCOMPARE(item->property("_custom_Type__").toString(), QStringLiteral("qrcode"));
        item->trigger();
        KAppQRCodeBox *box = window->appTitleBar()->customServiceBox();
        QVERIFY(box && box->isVisible());
        QCOMPARE(box->text(), QStringLiteral("Call us"));
        QVERIFY(!box->picture().isNull());
        grab(box, QStringLiteral("appwin-qrcodebox.png"));
    }

    void titleBarActionsFollowFlags_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("collections");
        QTest::newRow("close") << 0x1 << QStringList{"KAppTitleBar-Close"} << QStringList{"close"};
        QTest::newRow("default and menu") << (0x1 | 0x2 | 0x4 | 0x8)
                                          << QStringList{"KAppTitleBar-Menu", "KAppTitleBar-Minimize", "KAppTitleBar-Maximize", "KAppTitleBar-Close"}
                                          << QStringList{"assistmenu", "minimize", "maximize", "close"};
        QTest::newRow("phone") << (0x1 | 0x10000) << QStringList{"KAppTitleBar-Phone", "KAppTitleBar-Close"}
                               << QStringList{"qrcode", "close"};
    }
    void titleBarActionsFollowFlags()
    {
        QFETCH(int, flags);
        QFETCH(QStringList, names);
        QFETCH(QStringList, collections);
        auto window = mainWindow(flags);
        QStringList shownNames;
        QStringList shownCollections;
        for (const KFrameAction *action : window->appTitleBar()->visibleActions()) {
            shownNames << action->objectName();
            shownCollections << action->property("coll_name").toString();
            QCOMPARE(action->iconNames(), KAppTitleBar::actionIconNames(action->kind()));
            if (action->kind() == KFrame::MinimizeButton) {
                QCOMPARE(action->iconSize(), QSize(16, 16));
                QCOMPARE(action->buttonSize(), QSize(22, 22));
            }
        }
        QCOMPARE(shownNames, names);
        QCOMPARE(shownCollections, collections);
    }

    void declarationShowsOnceAtFirst_data()
    {
        QTest::addColumn<QVariant>("wanted");
        QTest::addColumn<bool>("shown");
        QTest::newRow("asked") << QVariant(true) << true;
        QTest::newRow("not asked") << QVariant(false) << false;
        QTest::newRow("absent") << QVariant() << false;
    }
    void declarationShowsOnceAtFirst()
    {
        QFETCH(QVariant, wanted);
        QFETCH(bool, shown);
        QVariantMap properties{{"usedDeclaration", "We keep nothing."}};
        if (wanted.isValid())
            properties.insert(QStringLiteral("showDeclarationAtFirst"), wanted);
        startApp(properties);
        GetSandbox()->setValue(QStringLiteral("hasShowed"), QVariant());
        auto window = mainWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_COMPARE(window->appTitleBar()->declarationDlg() != nullptr, shown);
        QCOMPARE(GetSandbox()->value(QStringLiteral("hasShowed")).toString() == QLatin1String("true"), shown);
        if (shown)
            QCOMPARE(window->appTitleBar()->declarationDlg()->declarationClient()->statement(), QStringLiteral("We keep nothing."));
        QVERIFY(!window->appTitleBar()->showDeclarationAtFirst()); // never twice
    }

    void declarationButtons_data()
    {
        QTest::addColumn<QVariantMap>("properties");
        QTest::addColumn<QString>("operation");
        QTest::newRow("no operation") << QVariantMap{{"hasOperation", false}, {"operationText", "More"}} << QString();
        QTest::newRow("operation") << QVariantMap{{"hasOperation", true}, {"operationText", "More"}, {"operationUrl", "https://example.com/more"}}
                                   << QStringLiteral("More");
    }
    void declarationButtons()
    {
        QFETCH(QVariantMap, properties);
        QFETCH(QString, operation);
        QStringList opened;
        recordLaunches(&opened);
        KEssApplicationAdapter adapter;
        m_log = std::make_unique<LogRecorder>(&adapter);
        startApp(properties);
        KAppDeclarationDlg dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Declaration"));
        auto *client = dlg.declarationClient();
        QCOMPARE(client->confirmButton()->objectName(), QStringLiteral("KAppDeclarationClientWidget-ConfirmBtn"));
        QCOMPARE(client->operationButton() != nullptr, !operation.isEmpty());
        grab(&dlg, QStringLiteral("appwin-declaration-%1.png").arg(operation.isEmpty() ? "plain" : "operation"));
        if (client->operationButton()) {
            QCOMPARE(client->operationButton()->text(), operation);
            QCOMPARE(client->operationButton()->objectName(), QStringLiteral("KAppDeclarationClientWidget-OperationBtn"));
            client->operationButton()->click();
            QCOMPARE(opened, QStringList{properties.value("operationUrl").toString()});
        }
        client->confirmButton()->click();
        QVERIFY(!dlg.isVisible());
    }

    void aboutShowsProperties_data()
    {
        QTest::addColumn<QVariantMap>("properties");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("declaration");
        QTest::newRow("bare") << QVariantMap() << QStringLiteral("other") << QStringLiteral("The service is provided by the developer");
        QTest::newRow("filled") << QVariantMap{{"category", "Tools"}, {"author", "Ann"}, {"declaration", "a <b>bold</b> claim"}}
                                << QStringLiteral("Tools") << QStringLiteral("a &lt;b&gt;bold&lt;/b&gt; claim");
    }
    void aboutShowsProperties()
    {
        QFETCH(QVariantMap, properties);
        QFETCH(QString, category);
        QFETCH(QString, declaration);
        startApp(properties);
        auto window = mainWindow();
        KAppTitleBar *bar = window->appTitleBar();
        KAppAboutDlg *dlg = bar->aboutDlg();
        QCOMPARE(bar->aboutDlg(), dlg); // made once
        QCOMPARE(dlg->windowTitle(), QStringLiteral("About"));
        KAppAboutClientWidget *client = dlg->aboutClient();
        QCOMPARE(client->appName(), QStringLiteral("Export Tool"));
        QCOMPARE(client->categoryText(), category);
        QCOMPARE(client->authorText(), properties.value("author").toString());
        QVERIFY2(client->declarationText().contains(declaration), qPrintable(client->declarationText()));
        QVERIFY(client->versionText().startsWith(QStringLiteral("App Version:")));
        QCOMPARE(m_log->count(QStringLiteral("No 'icon_about' in meta.json file. Use candidate ")), 2);
        QSignalSpy feedback(bar, &KAppTitleBar::openFeedBack);
        emit client->feedbackClicked();
        QCOMPARE(feedback.count(), 1);
        grab(dlg, QStringLiteral("appwin-about-%1.png").arg(QTest::currentDataTag()).replace(' ', '-'));
        client->confirmButton()->click();
        QVERIFY(!dlg->isVisible());
    }

    void tipFadesAtTheGivenTimes_data()
    {
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<int>("fade");
        QTest::addColumn<double>("opacity");
        QTest::newRow("start") << qint64(0) << 500 << 1.0;
        QTest::newRow("end of stay") << qint64(2000) << 500 << 1.0;
        QTest::newRow("half faded") << qint64(2250) << 500 << 0.5;
        QTest::newRow("gone") << qint64(2500) << 500 << 0.0;
        QTest::newRow("long after") << qint64(9000) << 500 << 0.0;
        QTest::newRow("no fade") << qint64(2001) << 0 << 0.0;
    }
    void tipFadesAtTheGivenTimes()
    {
        QFETCH(qint64, elapsed);
        QFETCH(int, fade);
        QFETCH(double, opacity);
        QCOMPARE(KLiteFloatTips::opacityAt(elapsed, 2000, fade), opacity);
    }

    void tipIsGoneAfterStayAndFade()
    {
        QWidget host;
        qint64 now = 0;
        QPointer<KLiteFloatTips> tip = new KLiteFloatTips(&host, QStringLiteral("Done"));
        tip->setClock([&now] { return now; });
        tip->resize(186, 40);
        grab(tip, QStringLiteral("appwin-floattips.png"));
        now = 2249;
        tip->onTimer();
        QVERIFY(tip->isVisible());
        QVERIFY(tip->opacity() > 0.5 && tip->opacity() < 0.51);
        now = 2499;
        tip->onTimer();
        QVERIFY(tip && tip->isVisible());
        now = 2500;
        tip->onTimer();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(tip.isNull());

        QPointer<KLiteFloatTips> quick = new KLiteFloatTips(&host, QStringLiteral("Quick"), 50, 50);
        QElapsedTimer clock;
        clock.start();
        quick->show();
        QTRY_VERIFY_WITH_TIMEOUT(quick.isNull(), 3000);
        QVERIFY(clock.elapsed() >= 100);
    }

    void createShortcutReportsItsResult_data()
    {
        QTest::addColumn<bool>("desktopExists");
        QTest::addColumn<QString>("text");
        QTest::newRow("desktop folder") << true << QStringLiteral("Create shortcut success");
        QTest::newRow("no desktop folder") << false << QStringLiteral("Failed to create shortcut");
    }
    void createShortcutReportsItsResult()
    {
        QFETCH(bool, desktopExists);
        QFETCH(QString, text);
        QDir desktop(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
        desktop.removeRecursively();
        if (desktopExists)
            QVERIFY(desktop.mkpath(QStringLiteral(".")));
        startApp({{"hasCreateShortcut", true}});
        auto window = mainWindow();
        window->show();
        window->appTitleBar()->onCreateLnkClicked();
        auto *tip = window->findChild<KLiteFloatTips *>(QStringLiteral("KAppTitleBar-CreateLnkTips"));
        QVERIFY(tip);
        QCOMPARE(tip->size(), QSize(186, 40));
        QCOMPARE(tip->text(), text);
        QCOMPARE(desktop.entryList({QStringLiteral("*.desktop")}).size(), desktopExists ? 1 : 0);
        QVERIFY(window->geometry().contains(tip->geometry().center()));
    }

    void reportAddress_data()
    {
        QTest::addColumn<bool>("logined");
        QTest::newRow("logged in") << true;
        QTest::newRow("logged out") << false;
    }
    void reportAddress()
    {
        QFETCH(bool, logined);
        QStringList opened;
        recordLaunches(&opened);
        KEssApplicationAdapter adapter;
        m_log = std::make_unique<LogRecorder>(&adapter);
        startApp({});
        KHostConfig::setValue(QStringLiteral("serverUrl.ReportServer"), QStringLiteral("https://rp.example.com"));
        KHostConfig::setValue(QStringLiteral("collectDetail2"), QStringLiteral("chan&1"));
        KHostConfig::setValue(QStringLiteral("collectDetail4"), QStringLiteral("G-1"));
        KCloudServiceProxy *cloud = KCloudServiceProxy::start();
        cloud->setSessionId(QStringLiteral("S 1"));
        cloud->setLogined(logined);
        auto window = mainWindow();
        window->appTitleBar()->onReportClicked();
        QCOMPARE(opened.size(), 1);
        const QUrl url(opened.first());
        QCOMPARE(url.host(), QStringLiteral("rp.example.com"));
        QCOMPARE(url.path(), QStringLiteral("/report/front"));
        const QUrlQuery query(url);
        QCOMPARE(query.queryItemValue(QStringLiteral("product_name")), QStringLiteral("export_photo"));
        QCOMPARE(query.queryItemValue(QStringLiteral("app_type")), QStringLiteral("client"));
        QCOMPARE(query.queryItemValue(QStringLiteral("app_name"), QUrl::FullyDecoded), QStringLiteral("Export Tool"));
        QCOMPARE(query.queryItemValue(QStringLiteral("app_dist"), QUrl::FullyDecoded), QStringLiteral("chan&1"));
        QCOMPARE(query.queryItemValue(QStringLiteral("app_guid")), QStringLiteral("G-1"));
        QCOMPARE(query.queryItemValue(QStringLiteral("vyxid"), QUrl::FullyDecoded), logined ? QStringLiteral("S 1") : QString());
    }

    void feedbackRequestsTheFeedbackWindow()
    {
        RecordingAdapter adapter;
        m_log = std::make_unique<LogRecorder>(&adapter);
        startApp({});
        auto window = mainWindow();
        QSignalSpy signal(window->appTitleBar(), &KAppTitleBar::openFeedBack);
        adapter.calls.clear();
        window->appTitleBar()->assistMenu()->actions().first()->trigger();
        QCOMPARE(signal.count(), 1);
        const QList<QVariantList> requests = adapter.requests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().value(0).toInt(), 2);
        QCOMPARE(requests.first().value(1).value<QWidget *>(), static_cast<QWidget *>(window.get()));
    }

    void placementKeepsWindowsOnScreen_data()
    {
        QTest::addColumn<QPoint>("centre");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("middle") << QPoint(800, 500) << QSize(400, 300) << QPoint(600, 350);
        QTest::newRow("top edge") << QPoint(800, 40) << QSize(400, 300) << QPoint(600, 0);
        QTest::newRow("top-left corner") << QPoint(5, 5) << QSize(400, 300) << QPoint(0, 0);
        QTest::newRow("bottom-right corner") << QPoint(1599, 999) << QSize(400, 300) << QPoint(1200, 700);
        QTest::newRow("second screen bottom") << QPoint(1700, 790) << QSize(400, 300) << QPoint(1600, 500);
        QTest::newRow("between screens, below the second") << QPoint(2000, 950) << QSize(400, 300) << QPoint(1800, 500);
        QTest::newRow("larger than the screen") << QPoint(800, 500) << QSize(2000, 1200) << QPoint(0, 0);
    }
    void placementKeepsWindowsOnScreen()
    {
        QFETCH(QPoint, centre);
        QFETCH(QSize, size);
        QFETCH(QPoint, topLeft);
        const QList<QRect> screens{QRect(0, 0, 1600, 1000), QRect(1600, 0, 1280, 800)};
        QCOMPARE(kessPlacedWindowRect(QRect(QPoint(33, 44), size), centre, screens), QRect(topLeft, size));
    }

    void mainWindowIsPlacedAndAdjustedByTheAdapter()
    {
        QTemporaryDir dir;
        QFile meta(dir.filePath(QStringLiteral("meta.json")));
        QVERIFY(meta.open(QIODevice::WriteOnly));
        meta.write(R"({"applicationName": "Export Tool", "maximize": false, "assistantMenu": true, "resize": false,
                       "userCenter": true, "hasPopularization": true, "popularizationTitle": "On the go",
                       "popularizationDescription": "Scan to get the app", "popularizationQRCode": "zdalite/icons/phone.svg"})");
        meta.close();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QVariantMap launch{{"appId", "export_photo"}, {"src", "unknow"}, {"meteFilePath", meta.fileName()},
                                 {"posx", area.left() + 10}, {"posy", area.top() + 10}};
        KEssApplicationAdapter adapter;
        m_log = std::make_unique<LogRecorder>(&adapter);
        SandboxInfo info;
        QVariantList none;
        QVERIFY(adapter.call(Method_SetApplication, {launch, QVariant::fromValue(&info)}, none));
        CreateSandbox(info);
        auto window = std::make_unique<KAppMainWindow>();
        window->resize(400, 300);
        window->initUi();
        QVERIFY(area.contains(window->frameGeometry()));
        QCOMPARE(window->frameGeometry().topLeft(), area.topLeft());
        QCOMPARE(window->titleBarFlags(), KFrame::CloseButton | KFrame::MinimizeButton | KFrame::MenuButton | KFrame::AvatarButton);
        KAppQRCodeBox *promotion = window->appTitleBar()->popularizationBox();
        QVERIFY(promotion);
        QCOMPARE(promotion->title(), QStringLiteral("On the go"));
        QCOMPARE(promotion->text(), QStringLiteral("Scan to get the app"));
        QCOMPARE(promotion->picture().size(), QSize(180, 180));
        QVERIFY(!window->isResizable());
        QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
        grab(window.get(), QStringLiteral("appwin-mainwindow.png"));
        window->appTitleBar()->assistMenu()->popup(window->mapToGlobal(QPoint(300, 32)));
        QTest::qWait(50);
        QVERIFY(window->appTitleBar()->assistMenu()->grab().save(ktest::artifactPath(QStringLiteral("appwin-menu.png"))));
    }

    void diagnoseShortcutsFollowTheSetting_data()
    {
        QTest::addColumn<QVariant>("setting");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("on") << QVariant(true) << QStringList{"Ctrl+Shift+W", "Ctrl+Shift+Q"};
        QTest::newRow("off") << QVariant(false) << QStringList();
        QTest::newRow("unset") << QVariant() << QStringList();
    }
    void diagnoseShortcutsFollowTheSetting()
    {
        QFETCH(QVariant, setting);
        QFETCH(QStringList, keys);
        RecordingAdapter adapter;
        m_log = std::make_unique<LogRecorder>(&adapter);
        startApp({});
        GetSandbox()->setValue(QStringLiteral("DiagnoseShortcut"), setting);
        auto window = mainWindow();
        QStringList installed;
        for (const QShortcut *shortcut : window->findChildren<QShortcut *>())
            installed << shortcut->key().toString();
        QCOMPARE(installed, keys);
        if (keys.isEmpty())
            return;
        adapter.calls.clear();
        window->onFeedbackShortcut();
        window->onDiagnoseShortcut();
        QCOMPARE(adapter.requests().size(), 2);
        QCOMPARE(adapter.requests().at(0).value(0).toInt(), 2);
        QCOMPARE(adapter.requests().at(1).value(0).toInt(), 1);
    }

    void startUpAsksTheAdapterAndSendsTheStartEvent_data() { ktest::addDisplayFactors("scale"); }
    void startUpAsksTheAdapterAndSendsTheStartEvent()
    {
        QFETCH(double, scale);
        RecordingAdapter adapter;
        m_log = std::make_unique<LogRecorder>(&adapter);
        startApp({});
        KDcInfoC *statistics = KxApplication::coreApplication()->getDcInfo();
        QVERIFY(statistics);
        statistics->clearEvents();
        const double before = KLiteStyle::scaleFactor();
        KLiteStyle::setScaleFactor(scale);
        auto window = std::make_unique<KAppMainWindow>();
        QSignalSpy inited(window.get(), &KAppMainWindow::titleBarActionsInited);
        window->initUi();
        window->initUi();
        KLiteStyle::setScaleFactor(before);
        QList<int> methods;
        for (const auto &call : adapter.calls) {
            if (call.first != Method_Log)
                methods << call.first;
        }
        QCOMPARE(methods, (QList<int>{Method_InstallDefaultTheme, Method_SetMainWindow}));
        
        QCOMPARE(window->boxShadow().color(), QColor(0, 0, 0, 51));
        QCOMPARE(window->boxShadow().blur(), qRound(25 * scale));
        QCOMPARE(window->boxShadow().offset(), qRound(8 * scale));
        QVERIFY(window->isBorderVisible());
        QTRY_COMPARE(inited.count(), 1);
        QTest::qWait(1800);
        QVERIFY(statistics->events().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(statistics->events().size(), 1, 1000);
        QCOMPARE(statistics->events().first().name, QStringLiteral("vas_matrix_start"));
        QCOMPARE(statistics->events().first().fields.value(QStringLiteral("appname")), QStringLiteral("Export Tool"));
    }

    void withoutSandboxTheWindowStillOpens()
    {
        auto window = mainWindow();
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("Sandbox is not ready!$")));
        QVERIFY(window->appId().isEmpty());
        window->appTitleBar()->assistMenu();
        QCOMPARE(window->appTitleBar()->assistMenu()->actions().size(), 0);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Sandbox is not ready!$")));
        KAppDeclarationDlg dlg;
        QVERIFY(dlg.declarationClient()->statement().isEmpty());
        QVERIFY(!dlg.declarationClient()->operationButton());
    }
};

KTAVRO_TEST_MAIN(TestAppWindows)
#include "tst_appwindows.moc"
