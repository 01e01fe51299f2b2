#include "kdesktopcommand.h"

#include "kaddonloader.h"
#include "kcommandreport.h"
#include "kdesktopwindow.h"
#include "kpageview.h"
#include "ksignals.h"

#include <kdocumentloader.h>
#include <kpathtext.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <memory>
#include <utility>

#include <cstdio>

namespace kdesktopcommand {

namespace {

using namespace kcommandreport;

const QStringList kCommands = {QStringLiteral("export"), QStringLiteral("convert"), QStringLiteral("view"),
                               QStringLiteral("help")};

typedef QObject *(*EntryObjectFn)();

} // namespace

bool wanted(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return true;
    return arguments.size() == 1 && !kCommands.contains(arguments.first()) && !arguments.first().startsWith(QLatin1Char('-'));
}

int run(const QStringList &arguments)
{
    const QString title = QCoreApplication::translate("KDesktopCommand", "Cannot open the document");
    const QString path = arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).absoluteFilePath();
    if (!path.isEmpty()) {
        const QString problem = documentProblem(path);
        if (!problem.isEmpty())
            return print(failure(Failed, title, problem), false);
        if (KDocumentLoader::componentFor(path).isEmpty())
            return print(failure(UsageError, title,
                                 QCoreApplication::translate("KExportCommand", "%1: the host cannot open this kind of document")
                                     .arg(kpathtext::printable(path))),
                         false);
    }
    QString error;
    const KUiConfig config = KUiConfig::load(&error);
    if (!error.isEmpty())
        std::fprintf(stderr, "brindlex: the interface configuration is unusable: %s\n", qPrintable(error));
    KAddonLoader addon;
    auto entryObject = std::make_shared<EntryObjectFn>(nullptr);
    KDesktopWindow window(config, [entryObject]() -> QObject * { return *entryObject ? (*entryObject)() : nullptr; },
                          nullptr, KDesktopWindow::PlaceLater);
    // The document opens before the window shows, so a file that cannot be read ends the
    // run with its reason instead of an empty window.
    if (!path.isEmpty() && !window.openHere(path))
        return print(failure(Failed, title, window.lastError()), false);
    // Loading the add-on takes a while; the first page need not wait for it.
    bool placed = false;
    auto placeCommands = [&addon, &window, &config, &placed, entryObject] {
        if (std::exchange(placed, true))
            return;
        QString problem;
        if (addon.load(&problem))
            *entryObject = reinterpret_cast<EntryObjectFn>(addon.resolve("GetAppEntryObject"));
        else
            std::fprintf(stderr, "brindlex: the add-on is not loaded, its commands are missing: %s\n",
                         qPrintable(problem));
        window.placeCommands(config);
    };
    if (window.pageView())
        QObject::connect(window.pageView(), &KPageView::pagePainted, &window, [placeCommands](int) {
            QTimer::singleShot(0, placeCommands);
        });
    QTimer::singleShot(window.pageView() ? 1000 : 0, &window, placeCommands);
    // For measurements: say when the first page is on screen, and end there if asked to.
    const QString report = qEnvironmentVariable("BRINDLEX_FIRST_PAINT");
    if (!report.isEmpty() && window.pageView())
        QObject::connect(window.pageView(), &KPageView::pagePainted, &window, [report](int page) {
            if (page != 0)
                return;
            std::fprintf(stderr, "brindlex: first page painted\n");
            if (report == QLatin1String("quit"))
                QApplication::quit();
        });
    window.show();
    ksignals::onCancel([] { QApplication::quit(); });
    return QApplication::exec() == 0 ? Success : Failed;
}

} // namespace kdesktopcommand
