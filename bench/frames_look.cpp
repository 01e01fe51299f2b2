// Shows a frame window with a title bar, client, icon buttons and an open menu.
//   frames_look --shot OUT.png      grabs the whole screen once the window has painted
//   frames_look --first-paint [N]   median time from construction to first paint over N runs
#include <kframetitlebar.h>
#include <kframewindow.h>
#include <kliteiconbutton.h>
#include <klitemenu.h>
#include <krt.h>

#include "firstpaint.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {

// Quits the loop at the first paint of its window.
KFrameWindow *makeWindow()
{
    auto *window = new KFrameWindow;
    window->setWindowTitle(QStringLiteral("Export to Picture"));
    window->setTitleBarFlags(KFrame::DefaultButtons | KFrame::MenuButton);
    window->initUi();
    auto *row = new QHBoxLayout(window->clientWidget());
    row->addWidget(new QLabel(QStringLiteral("Client area")));
    row->addStretch();
    for (const char *names : {"back", "browser", "arrow-down"}) {
        auto *button = new KLiteIconButton(QString::fromLatin1(names));
        button->setFixedButtonSize(QSize(28, 28));
        row->addWidget(button);
    }
    window->resize(560, 340);
    return window;
}

int shot(const QString &path)
{
    KFrameWindow *window = makeWindow();
    window->move(120, 100);
    window->show();
    auto *menu = new KLiteMenu(window);
    menu->addThemeAction(QStringLiteral("plugin_title_feedback"), QStringLiteral("Feedback"));
    menu->addThemeAction(QStringLiteral("plugin_title_report"), QStringLiteral("Report"));
    menu->addSeparator();
    menu->addThemeAction(QStringLiteral("plugin_title_version"), QStringLiteral("About"));
    window->titleBar()->setMenu(menu);
    int status = 1;
    QTimer::singleShot(400, window, [&] {
        window->titleBar()->onMenuButtonClicked();
        QTimer::singleShot(400, window, [&] {
            status = QGuiApplication::primaryScreen()->grabWindow(0).save(path) ? 0 : 1;
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
    // Icons drawn through QIcon::pixmap (menus, labels) stay sharp under QT_SCALE_FACTOR.
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    krt::host::initialize();
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args.at(1) == QLatin1String("--shot"))
        return shot(args.at(2));
    if (args.size() >= 2 && args.at(1) == QLatin1String("--first-paint"))
        return benchlook::firstPaint(args.size() >= 3 ? qMax(1, args.at(2).toInt()) : 20, makeWindow);
    std::fprintf(stderr, "usage: frames_look --shot OUT.png | --first-paint [RUNS]\n");
    return 64;
}
