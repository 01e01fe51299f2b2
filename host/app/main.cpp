#include "kcommandreport.h"
#include "kconvertcommand.h"
#include "kdesktopcommand.h"
#include "kexportcommand.h"
#include "ksignals.h"
#include "kviewcommand.h"

#include <kpathtext.h>
#include <krt.h>
#include <kwritercommands.h>

#include <QApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void printUsage(FILE *stream)
{
    std::fprintf(stream, "%s%s",
                 qPrintable(QCoreApplication::translate("Brindlex",
                                                        "usage: brindlex [DOCUMENT]   (the desktop window)\n"
                                                        "       brindlex export DOCUMENT [options]\n"
                                                        "       brindlex convert DOCUMENT OUTPUT.pdf [--overwrite]   (writer documents)\n"
                                                        "       brindlex view PICTURE\n\n")),
                 qPrintable(KExportCommand::usage()));
}

QStringList argumentsOf(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

bool isPrivateFolder(const char *path)
{
    struct stat st;
    return ::lstat(path, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 0777) == 0700;
}

// Qt warns on every run when XDG_RUNTIME_DIR is unset (scripts, cron, containers). A private
// folder of this user's; never one that someone else made or could change.
void ensureRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    QByteArray base = qgetenv("TMPDIR");
    if (base.isEmpty())
        base = "/tmp";
    const QByteArray folder = base + "/brindlex-runtime-" + QByteArray::number(uint(::getuid()));
    if (::mkdir(folder.constData(), 0700) != 0) {
        struct stat st;
        if (::lstat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid())
            ::chmod(folder.constData(), 0700);
    }
    if (isPrivateFolder(folder.constData())) {
        qputenv("XDG_RUNTIME_DIR", folder);
        return;
    }
    QByteArray fresh = base + "/brindlex-runtime-XXXXXX";
    if (::mkdtemp(fresh.data()))
        qputenv("XDG_RUNTIME_DIR", fresh);
}

// Exports (unless they show the dialog) and conversions draw no window.
bool showsWindow(const QStringList &arguments)
{
    const QString command = arguments.value(1);
    if (command == QLatin1String("convert"))
        return false;
    return command != QLatin1String("export") || arguments.contains(QLatin1String("--dialog"));
}

} // namespace

int main(int argc, char **argv)
{
    ksignals::install();
    const QStringList arguments = argumentsOf(argc, argv);
    // The host runs without a display too (exports from scripts), but its window needs one.
    const bool desktop = kdesktopcommand::wanted(arguments.mid(1));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        const bool window = showsWindow(arguments);
        const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
        if (window && noDisplay && desktop)
            return kcommandreport::print(
                kcommandreport::failure(kcommandreport::Failed, QCoreApplication::translate("Brindlex", "Cannot show a window"),
                                        QCoreApplication::translate("Brindlex", "There is no display (DISPLAY and WAYLAND_DISPLAY are unset).")),
                false);
        // Without a window a display is not worth its connection (tens of ms), and one that
        // is gone (a closed remote session) would abort the run.
        if (!window || noDisplay)
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ensureRuntimeFolder();
    // Qt would take -style, -platform, -reverse and the like out of the export's own options.
    int qtArgc = 1;
    // Icons drawn for a scaled screen stay sharp instead of being stretched.
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(qtArgc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brindlex"));
    krt::host::initialize();
    kwritercommands::install();
    if (desktop)
        return kdesktopcommand::run(arguments.mid(1));
    const QString command = arguments.value(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        printUsage(stdout);
        return 0;
    }
    if (command == QLatin1String("convert"))
        return kconvertcommand::run(arguments.mid(2));
    if (command == QLatin1String("view"))
        return kviewcommand::run(arguments.mid(2));
    if (command != QLatin1String("export")) {
        const QString message = command.isEmpty() ? QCoreApplication::translate("Brindlex", "Name a command: export, convert or view.")
                                                  : QCoreApplication::translate("Brindlex", "Unknown command '%1'.").arg(kpathtext::printable(command));
        const int status = kcommandreport::print(
            kcommandreport::failure(kcommandreport::UsageError, QCoreApplication::translate("Brindlex", "Invalid arguments"), message),
            kcommandreport::wantsJson(arguments));
        std::fputc('\n', stderr);
        printUsage(stderr);
        return status;
    }
    QStringList exportArguments = arguments;
    exportArguments.removeAt(1); // the parser sees "brindlex DOCUMENT [options]"
    return KExportCommand::run(exportArguments);
}
