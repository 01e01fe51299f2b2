#include "kexportcommand.h"

#include <krt.h>

#include <QApplication>
#include <cstdio>

namespace {

void printUsage()
{
    std::fprintf(stderr, "usage: brindlex export DOCUMENT [options]\n\n%s", qPrintable(KExportCommand::usage()));
}

} // namespace

int main(int argc, char **argv)
{
    // The host runs without a display too (exports from scripts).
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brindlex"));
    krt::host::initialize();
    QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2 || arguments.at(1) != QLatin1String("export")) {
        printUsage();
        return 64;
    }
    arguments.removeAt(1); // the parser sees "brindlex DOCUMENT [options]"
    return KExportCommand::run(arguments);
}
