// Shows the framework's main window with its menu, the about and declaration dialogs and a
// floating tip.
//   appwin_look --shot OUT.png      grabs the whole screen once everything has painted, and
//                                   each dialog to OUT-about.png and OUT-declaration.png
//   appwin_look --first-paint [N]   median time from construction to first paint over N runs
#include <kappmainwindow.h>
#include <kapptitlebar.h>
#include <kappaboutdlg.h>
#include <kappdeclarationdlg.h>
#include <kesssandbox.h>
#include <klitefloattips.h>
#include <klitemenu.h>
#include <krt.h>

#include "firstpaint.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace {

void startSandbox()
{
    SandboxInfo info;
    info.appId = QStringLiteral("export_photo_look");
    info.displayName = QStringLiteral("Export Tool");
    info.properties = {{QStringLiteral("hasUsedDeclaration"), true},
                       {QStringLiteral("hasCreateShortcut"), true},
                       {QStringLiteral("hasOperation"), true},
                       {QStringLiteral("operationText"), QStringLiteral("Learn more")},
                       {QStringLiteral("author"), QStringLiteral("The ktavro developers")},
                       {QStringLiteral("usedDeclaration"),
                        QStringLiteral("This tool turns documents into pictures on this computer. Nothing is uploaded.")}};
    CreateSandbox(info);
}

KAppMainWindow *makeWindow()
{
    auto *window = new KAppMainWindow;
    window->setWindowTitle(QStringLiteral("Export to Picture"));
    window->setTitleBarFlags(KFrame::DefaultButtons | KFrame::MenuButton);
    window->initUi();
    auto *column = new QVBoxLayout(window->clientWidget());
    column->addWidget(new QLabel(QStringLiteral("Client area")));
    column->addStretch();
    window->resize(560, 340);
    return window;
}

int shot(const QString &path)
{
    KAppMainWindow *window = makeWindow();
    window->move(40, 40);
    window->show();
    KAppTitleBar *bar = window->appTitleBar();
    KAppAboutDlg *about = bar->aboutDlg();
    about->move(640, 40);
    about->show();
    KAppDeclarationDlg *declaration = bar->openDeclaration();
    declaration->move(640, 540);
    auto *tip = new KLiteFloatTips(window, QStringLiteral("Create shortcut success"), 60000, 500);
    tip->resize(186, 40);
    tip->move(window->geometry().center() - QPoint(93, 20));
    tip->show();
    int status = 1;
    QTimer::singleShot(500, window, [&] {
        bar->onMenuButtonClicked();
        QTimer::singleShot(500, window, [&] {
            QString base = path;
            base.chop(4);
            const bool saved = QGuiApplication::primaryScreen()->grabWindow(0).save(path)
                               && about->grab().save(base + QStringLiteral("-about.png"))
                               && declaration->grab().save(base + QStringLiteral("-declaration.png"));
            status = saved ? 0 : 1;
            qApp->quit();
        });
    });
    qApp->exec();
    delete window;
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    krt::host::initialize();
    startSandbox();
    const QStringList args = app.arguments();
    int status = 64;
    if (args.size() >= 3 && args.at(1) == QLatin1String("--shot"))
        status = shot(args.at(2));
    else if (args.size() >= 2 && args.at(1) == QLatin1String("--first-paint"))
        status = benchlook::firstPaint(args.size() >= 3 ? qMax(1, args.at(2).toInt()) : 20, makeWindow);
    else
        std::fprintf(stderr, "usage: appwin_look --shot OUT.png | --first-paint [RUNS]\n");
    DestroySandbox();
    return status;
}
