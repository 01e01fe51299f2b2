#include "kexportcommand.h"
#include "ksignals.h"

#include <kdocumentloader.h>
#include <krt.h>
#include <kwriterbackend.h>

#include <QApplication>
#include <QFile>
#include <cstdio>

namespace {

void printUsage()
{
    std::fprintf(stderr, "usage: brindlex export DOCUMENT [options]\n"
                         "       brindlex convert DOCUMENT OUTPUT.pdf   (writer documents)\n\n%s",
                 qPrintable(KExportCommand::usage()));
}

// Prints a writer document to PDF, as the suite's own PDF export does.
int convertToPdf(const QString &document, const QString &output)
{
    const KOpenedDocument opened = [&document] {
        ksignals::OpeningWatch watch([] {});
        return KDocumentLoader::open(document);
    }();
    if (opened.cancelled)
        return 2;
    QString error = opened.error;
    auto *writer = opened.component == QLatin1String("vyx") ? dynamic_cast<KWriterBackend *>(opened.object.get())
                                                             : nullptr;
    if (!writer) {
        std::fprintf(stderr, "%s\n", qPrintable(error.isEmpty() ? document + QStringLiteral(": not a writer document") : error));
        return 1;
    }
    if (!writer->printToPdf(output, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (ksignals::cancelRequested()) {
        QFile::remove(output);
        return 2;
    }
    std::printf("%s\n", qPrintable(output));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    ksignals::install();
    // The host runs without a display too (exports from scripts).
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brindlex"));
    krt::host::initialize();
    QStringList arguments = QApplication::arguments();
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("convert"))
        return convertToPdf(arguments.at(2), arguments.at(3));
    if (arguments.size() < 2 || arguments.at(1) != QLatin1String("export")) {
        printUsage();
        return 64;
    }
    arguments.removeAt(1); // the parser sees "brindlex DOCUMENT [options]"
    return KExportCommand::run(arguments);
}
