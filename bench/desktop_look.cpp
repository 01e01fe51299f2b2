// Time from opening a document in the desktop window to its first page painted sharp (in this
// process, and as `brindlex DOCUMENT` from its start), and
// screenshots of the window (empty and with each document) for a person to look at.
//   desktop_look [--runs N] [DOCUMENT...]
// Without documents: the libtasn1 manual (36 PDF pages) and a 20-page writer document made
// here. Screenshots go to $KTAVRO_TEST_ARTIFACTS (default: ./desktop-look).
#include "ktestdocuments.h"

#include <kcommandfactory.h>
#include <kcommandfactoryitem.h>
#include <kdesktopwindow.h>
#include <klistcommand.h>
#include <ktriggercommand.h>
#include <kxcontextcategory.h>
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

void collect(const QList<KUiEntry> &entries, QStringList *names)
{
    for (const KUiEntry &entry : entries) {
        if (!entry.command.isEmpty())
            names->append(entry.command);
        collect(entry.members, names);
    }
}

// The add-on is not loaded here: plain commands stand in for the configured ones, so the
// ribbon looks as it does with the add-on.
std::vector<std::unique_ptr<KCommandFactoryItemBase>> standIns(const KUiConfig &config)
{
    QStringList names;
    for (const KUiGroup &group : config.groups)
        collect(group.entries, &names);
    collect(config.fileMenu, &names);
    collect(config.saveAs, &names);
    for (const KUiCategory &category : config.categories) {
        collect({category.category}, &names);
        for (const KUiGroup &group : category.groups)
            collect(group.entries, &names);
    }
    std::vector<std::unique_ptr<KCommandFactoryItemBase>> items;
    static std::vector<QByteArray> keep; // the items keep the name's characters
    for (const QString &name : names) {
        if (KCommandFactory::isRegistered(name))
            continue;
        keep.push_back(name.toLatin1());
        const char *c = keep.back().constData();
        if (name.endsWith(QLatin1String("ListCommand")))
            items.emplace_back(new KCommandFactoryItem<KListCommand, KxMainWindow>(c, "KxMainWindow"));
        else if (name.endsWith(QLatin1String("Context")))
            items.emplace_back(new KCommandFactoryItem<KxContextCategory, KxMainWindow>(c, "KxMainWindow"));
        else
            items.emplace_back(new KCommandFactoryItem<KTriggerCommand, KxMainWindow>(c, "KxMainWindow"));
        KCommandFactory::registerCommand(items.back().get());
    }
    return items;
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
    const auto items = standIns(config);
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
    }
    return status;
}
