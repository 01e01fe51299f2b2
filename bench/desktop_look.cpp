// Time from opening a document in the desktop window to its first page painted sharp (in this
// process, and as `brindlex DOCUMENT` from its start), and
// screenshots of the window (empty and with each document) for a person to look at.
//   desktop_look [--runs N] [DOCUMENT...]
// Without documents: the libtasn1 manual (36 PDF pages) and a 20-page writer document made
// here; and from the add-on's export command to its dialog. Screenshots (the window with the
// add-on's ribbon, the export dialog) go to $KTAVRO_TEST_ARTIFACTS (default: ./desktop-look).
#include "kaddonloader.h"
#include "ktestdocuments.h"

#include <kcommandfactory.h>
#include <kdesktopwindow.h>
#include <ktriggercommand.h>
#include <kpageview.h>
#include <krt.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <cstdio>
#include <vector>

namespace {

void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QString shotFolder()
{
    QString folder = qEnvironmentVariable("KTAVRO_TEST_ARTIFACTS");
    if (folder.isEmpty())
        folder = QDir::current().filePath(QStringLiteral("desktop-look"));
    QDir().mkpath(folder);
    return folder;
}

QString scaleSuffix()
{
    const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR");
    return scale.isEmpty() || scale == QLatin1String("1") ? QString() : QStringLiteral("@") + scale + QStringLiteral("x");
}

void save(QWidget *window, const QString &name)
{
    const QString path = shotFolder() + QLatin1Char('/') + name + scaleSuffix() + QStringLiteral(".png");
    window->grab().save(path);
    std::printf("  screenshot %s\n", qPrintable(path));
}

// Milliseconds from starting `brindlex DOCUMENT` to its first page painted; -1 on failure.
double processOnce(const QString &path)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRINDLEX_FIRST_PAINT"), QStringLiteral("quit"));
    process.setProcessEnvironment(env);
    process.setReadChannel(QProcess::StandardError);
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(BRINDLEX_PATH), {path});
    double ms = -1;
    while (ms < 0 && process.waitForReadyRead(20000)) {
        if (process.readAllStandardError().contains("first page painted"))
            ms = clock.nsecsElapsed() / 1e6;
    }
    process.waitForFinished(10000);
    return ms;
}

void report(const QString &what, std::vector<double> times)
{
    if (times.empty())
        return;
    std::sort(times.begin(), times.end());
    std::printf("%s over %zu runs: median %.1f ms, min %.1f ms, max %.1f ms\n", qPrintable(what), times.size(),
                times[times.size() / 2], times.front(), times.back());
}

// Milliseconds from asking for the document to its first page painted sharp; -1 on failure.
double openOnce(const KUiConfig &config, const QString &path, bool keepShot)
{
    QElapsedTimer clock;
    clock.start();
    KDesktopWindow window(config, {});
    if (!window.openHere(path)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(window.lastError()));
        return -1;
    }
    QEventLoop loop;
    QObject::connect(window.pageView(), &KPageView::pagePainted, &loop, [&loop](int page) {
        if (page == 0)
            loop.quit();
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    window.show();
    loop.exec();
    const double ms = clock.nsecsElapsed() / 1e6;
    if (keepShot) {
        settle(300); // the neighbours render too
        save(&window, QStringLiteral("desktop-") + QFileInfo(path).completeBaseName());
    }
    return window.pageView()->isPageReady(0) ? ms : -1;
}

// Milliseconds from the export command's click to its dialog on screen; -1 when none came.
double exportDialogOnce(const KUiConfig &config, const QString &path, bool keepShot)
{
    KDesktopWindow window(config, {});
    if (!window.openHere(path))
        return -1;
    window.show();
    settle(300);
    std::unique_ptr<KCommand> command(
        KCommandFactory::createCommand(QStringLiteral("KxExportTavroImageCommand"), &window));
    auto *trigger = qobject_cast<KTriggerCommand *>(command.get());
    if (!trigger)
        return -1;
    trigger->setProperty("detail", QStringLiteral("RibbonCommand"));
    QElapsedTimer clock;
    clock.start();
    trigger->trigger();
    QWidget *dialog = nullptr;
    while (!dialog && clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget != &window && widget->isVisible() && widget->inherits("KFrameWindow"))
                dialog = widget;
        }
    }
    const double ms = dialog ? clock.nsecsElapsed() / 1e6 : -1;
    if (dialog && keepShot) {
        settle(1500); // the preview comes a second after the dialog
        save(&window, QStringLiteral("desktop-ribbon-") + QFileInfo(path).completeBaseName());
        save(dialog, QStringLiteral("desktop-export-dialog-") + QFileInfo(path).completeBaseName());
    }
    if (dialog)
        dialog->close();
    settle(100);
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    krt::host::initialize();
    QStringList documents = app.arguments().mid(1);
    int runs = 5;
    const int runsAt = documents.indexOf(QStringLiteral("--runs"));
    if (runsAt >= 0) {
        runs = qMax(1, documents.value(runsAt + 1).toInt());
        documents.erase(documents.begin() + runsAt, documents.begin() + qMin(runsAt + 2, documents.size()));
    }
    QTemporaryDir scratch;
    if (documents.isEmpty()) {
        documents.append(QStringLiteral("/usr/share/doc/libtasn1-doc/libtasn1.pdf"));
        const QString writer = scratch.filePath(QStringLiteral("twenty-pages.html"));
        ktest::writeText(writer, ktest::blockPagesHtml(20));
        documents.append(writer);
    }
    QString error;
    const KUiConfig config = KUiConfig::load(&error);
    // The real add-on, loaded as brindlex loads it: its commands fill the ribbon.
    KAddonLoader addon;
    if (!addon.load(&error)) {
        std::fprintf(stderr, "the add-on is not loaded: %s\n", qPrintable(error));
        return 1;
    }
    {
        KDesktopWindow empty(config, {});
        empty.show();
        settle(200);
        save(&empty, QStringLiteral("desktop-empty"));
    }
    int status = 0;
    for (const QString &path : documents) {
        std::vector<double> inWindow, whole;
        for (int i = 0; i < runs; ++i) {
            const double ms = openOnce(config, path, i == 0);
            const double started = processOnce(path);
            if (ms < 0 || started < 0) {
                std::fprintf(stderr, "%s: no first page\n", qPrintable(path));
                status = 1;
                break;
            }
            inWindow.push_back(ms);
            whole.push_back(started);
        }
        const QString name = QFileInfo(path).fileName();
        report(name + QStringLiteral(": open in a window to first page painted"), inWindow);
        report(name + QStringLiteral(": `brindlex DOCUMENT` started to first page painted"), whole);
        std::vector<double> dialogTimes;
        for (int i = 0; i < runs; ++i) {
            const double ms = exportDialogOnce(config, path, i == 0);
            if (ms >= 0)
                dialogTimes.push_back(ms);
        }
        report(name + QStringLiteral(": export command to its dialog shown"), dialogTimes);
    }
    return status;
}
