#include "kexportcommand.h"

#include "kaddonloader.h"
#include "kcommandreport.h"
#include "ksignals.h"

#include <kdocumentloader.h>
#include <kopeningcancel.h>
#include <kpathtext.h>
#include <kpdfbackend.h>
#include <kxapplication.h>
#include <kxmainwindow.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>

#include <cstdio>
#include <optional>
#include <fontconfig/fontconfig.h>
#include <unistd.h>

using kpathtext::printable;

namespace {

typedef void (*ProgressFn)(int, int);
typedef int (*RunExportFn)(const QVariantMap *, QVariantMap *, ProgressFn);
typedef void (*CancelExportFn)();
typedef int (*ShowDialogFn)(const QVariantMap *, QVariantMap *);

bool g_showProgress = false;

void printProgress(int done, int total)
{
    if (!g_showProgress)
        return;
    std::fprintf(stderr, "\r%s", qPrintable(QCoreApplication::translate("KExportCommand", "Exporting: page %1 of %2").arg(done).arg(total)));
    if (done == total)
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

struct ValueOption
{
    const char *name;
    const char *key;
    const char *valueName;
    const char *help;
};

const ValueOption kValueOptions[] = {
    {"format", "format", "jpg|png|bmp|tif", QT_TRANSLATE_NOOP("KExportCommand", "Picture format (png).")},
    {"quality", "quality", "100|200|300|600", QT_TRANSLATE_NOOP("KExportCommand", "Resolution in percent of 96 dots per inch (100).")},
    {"pages", "pages", "ranges", QT_TRANSLATE_NOOP("KExportCommand", "Pages to export, such as \"1,3,5-10\" (all).")},
    {"output", "output", "path", QT_TRANSLATE_NOOP("KExportCommand", "Long picture: its path. Otherwise: the folder that receives the numbered folder.")},
    {"watermark", "watermark", "none|default|custom", QT_TRANSLATE_NOOP("KExportCommand", "Watermark (none).")},
    {"text", "text", "text", QT_TRANSLATE_NOOP("KExportCommand", "Text of a custom watermark.")},
    {"style", "style", "normal|r_triangle|i_triangle|rectangle|circle|ellipse", QT_TRANSLATE_NOOP("KExportCommand", "Shape of a custom watermark.")},
    {"color", "color", "RRGGBB", QT_TRANSLATE_NOOP("KExportCommand", "Colour of a custom watermark.")},
    {"opacity", "opacity", "0..1", QT_TRANSLATE_NOOP("KExportCommand", "Opacity of a custom watermark.")},
    {"rotate", "rotate", "0..360", QT_TRANSLATE_NOOP("KExportCommand", "Rotation of a custom watermark in degrees.")},
    {"size", "size", "small|mid|large", QT_TRANSLATE_NOOP("KExportCommand", "Size of a custom watermark.")},
    {"tile", "tile", "yes|no", QT_TRANSLATE_NOOP("KExportCommand", "Repeat the watermark over the picture.")},
    {"first-top", "firstTop", "px", QT_TRANSLATE_NOOP("KExportCommand", "White band above the first page, pixels at 100 percent.")},
    {"last-bottom", "lastBottom", "px", QT_TRANSLATE_NOOP("KExportCommand", "White band below the last page, pixels at 100 percent.")},
    {"page-gap", "pageGap", "px", QT_TRANSLATE_NOOP("KExportCommand", "White gap between pages, pixels at 100 percent.")},
};

void addOptions(QCommandLineParser &parser)
{
    parser.addPositionalArgument(QStringLiteral("document"), QCoreApplication::translate("KExportCommand", "The document to export."));
    parser.addOption({QStringLiteral("long"), QCoreApplication::translate("KExportCommand", "One long picture (default except for PDF).")});
    parser.addOption({QStringLiteral("each-page"), QCoreApplication::translate("KExportCommand", "One picture per page (default for PDF).")});
    for (const ValueOption &o : kValueOptions)
        parser.addOption({QString::fromLatin1(o.name), QCoreApplication::translate("KExportCommand", o.help), QString::fromLatin1(o.valueName)});
    parser.addOption({QStringLiteral("overwrite"), QCoreApplication::translate("KExportCommand", "Replace an existing long picture.")});
    parser.addOption({QStringLiteral("dialog"), QCoreApplication::translate("KExportCommand", "Open the export dialog for the document instead.")});
    parser.addOption({QStringLiteral("json"), QCoreApplication::translate("KExportCommand", "Print the result as one JSON object.")});
    parser.addOption({QStringLiteral("quiet"), QCoreApplication::translate("KExportCommand", "No progress line.")});
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QCoreApplication::translate("KExportCommand", "Print this help and exit.")});
}

// A signal before the export started (while the document opened): nothing was written.
int cancelledBeforeExport(const QVariantMap &request)
{
    return kcommandreport::print({{QStringLiteral("exitCode"), kcommandreport::Canceled}},
                                 request.value(QStringLiteral("json")).toBool());
}

KOpenedDocument openWatched(const QString &path, const QVariantMap &request)
{
    ksignals::OpeningWatch watch([&request] { cancelledBeforeExport(request); });
    return KDocumentLoader::open(path);
}

// Poppler's messages about a damaged PDF, summed up in one line.
void reportPdfErrors(IKUnknown *document)
{
    const auto *pdf = dynamic_cast<KPdfBackend *>(document);
    const QString summary = pdf ? pdf->errorSummary() : QString();
    if (!summary.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(summary));
}

// The dialog runs until the user closes it; only a refusal has something to print.
int showDialog(KAddonLoader &addon, const QVariantMap &request, KxMainWindow *window, const QString &documentPath,
               bool json)
{
    auto show = reinterpret_cast<ShowDialogFn>(addon.resolve("KtavroShowExportDialog"));
    if (!show)
        return kcommandreport::print(
            kcommandreport::failure(kcommandreport::Failed, QCoreApplication::translate("KExportCommand", "Export failed"),
                                    QCoreApplication::translate("KExportCommand", "The add-on offers no export dialog")),
            json);
    auto cancel = reinterpret_cast<CancelExportFn>(addon.resolve("KtavroCancelExport"));
    if (cancel)
        ksignals::onCancel(cancel);
    KxApplication::coreApplication()->setActiveDocumentPath(documentPath);
    QVariantMap withWindow = request;
    withWindow.insert(QStringLiteral("mainWindow"), QVariant::fromValue<QObject *>(window));
    QVariantMap result;
    const int status = show(&withWindow, &result);
    KxApplication::coreApplication()->setActiveDocument(nullptr);
    if (status == kcommandreport::Success)
        return status;
    result.insert(QStringLiteral("exitCode"), status);
    return kcommandreport::print(result, json);
}

} // namespace

QString KExportCommand::usage()
{
    QCommandLineParser parser;
    addOptions(parser);
    QString text = parser.helpText();
    // The parser names the executable as started; its usage line may be translated.
    const QString program = QCoreApplication::arguments().value(0);
    const int at = program.isEmpty() ? -1 : text.indexOf(program);
    if (at >= 0 && at < text.indexOf(QLatin1Char('\n')))
        text.replace(at, program.size(), QStringLiteral("brindlex export"));
    return text;
}

namespace {
// Texts of Qt's own command-line parser that brindlex shows; listed for the host's translation.
[[maybe_unused]] const char *const kParserTexts[] = {
    QT_TRANSLATE_NOOP("QCommandLineParser", "Usage: %1"),
    QT_TRANSLATE_NOOP("QCommandLineParser", "[options]"),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Options:"),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Arguments:"),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unknown option '%1'."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unknown options: %1."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Missing value after '%1'."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unexpected value after '%1'."),
};
} // namespace

QVariantMap KExportCommand::parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    addOptions(parser);
    QVariantMap request;
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return request;
    }
    if (parser.isSet(QStringLiteral("help")))
        return {{QStringLiteral("help"), true}};
    if (parser.positionalArguments().size() != 1) {
        *error = QCoreApplication::translate("KExportCommand", "Name exactly one document to export.");
        return request;
    }
    if (parser.isSet(QStringLiteral("long")) && parser.isSet(QStringLiteral("each-page"))) {
        *error = QCoreApplication::translate("KExportCommand", "--long and --each-page exclude each other.");
        return request;
    }
    request.insert(QStringLiteral("document"), QFileInfo(parser.positionalArguments().first()).absoluteFilePath());
    if (parser.isSet(QStringLiteral("long")))
        request.insert(QStringLiteral("mode"), QStringLiteral("long"));
    if (parser.isSet(QStringLiteral("each-page")))
        request.insert(QStringLiteral("mode"), QStringLiteral("each"));
    for (const ValueOption &o : kValueOptions) {
        if (parser.isSet(QString::fromLatin1(o.name)))
            request.insert(QString::fromLatin1(o.key), parser.value(QString::fromLatin1(o.name)));
    }
    for (const char *flag : {"overwrite", "json", "quiet", "dialog"})
        request.insert(QString::fromLatin1(flag), parser.isSet(QString::fromLatin1(flag)));
    return request;
}

namespace {

// Keeps an export that draws no text from loading the font configuration: the never-shown
// window gets a fixed font, and as the application ends, Qt's font database (which destroys
// fontconfig's current configuration, loading it first if need be) gets an empty one.
struct LeanFontConfiguration
{
    LeanFontConfiguration() { QGuiApplication::setFont(QFont(QStringLiteral("Sans Serif"))); }
    ~LeanFontConfiguration()
    {
        if (FcConfig *empty = FcConfigCreate()) {
            FcConfigSetCurrent(empty);
            FcConfigDestroy(empty); // the current configuration keeps its own reference
        }
    }
};

} // namespace

int KExportCommand::run(const QStringList &arguments)
{
    using namespace kcommandreport;
    bool json = wantsJson(arguments);
    const QString failed = QCoreApplication::translate("KExportCommand", "Export failed");
    QString error;
    const QVariantMap request = parse(arguments, &error);
    if (request.value(QStringLiteral("help")).toBool()) {
        std::printf("%s", qPrintable(usage()));
        return Success;
    }
    if (request.isEmpty()) {
        const int status = print(failure(UsageError, QCoreApplication::translate("KExportCommand", "Invalid arguments"), error), json);
        std::fprintf(stderr, "%s\n", qPrintable(QCoreApplication::translate("KExportCommand", "Run 'brindlex export --help' for the options.")));
        return status;
    }
    json = request.value(QStringLiteral("json")).toBool(); // "--json" may have been a value
    const QString documentPath = request.value(QStringLiteral("document")).toString();
    const QString problem = documentProblem(documentPath);
    if (!problem.isEmpty())
        return print(failure(Failed, failed, problem), json);
    const QString component = KDocumentLoader::componentFor(documentPath);
    if (component.isEmpty())
        return print(failure(UsageError, failed,
                             QCoreApplication::translate("KExportCommand", "%1: the host cannot open this kind of document").arg(printable(documentPath))),
                     json);
    QCoreApplication::setApplicationName(component);
    const KOpenedDocument opened = openWatched(documentPath, request);
    if (opened.cancelled)
        return cancelledBeforeExport(request);
    if (!opened.object)
        return print(failure(Failed, failed, printable(opened.error)), json);

    const bool dialog = request.value(QStringLiteral("dialog")).toBool();
    // A window that is never shown has no use for the desktop's font; asking for it would
    // load the font configuration (several ms), which an export without text never needs.
    std::optional<LeanFontConfiguration> leanFonts;
    if (!dialog)
        leanFonts.emplace();
    KxMainWindow window;
    if (dialog)
        window.openDocument(opened.object.get(), QFileInfo(documentPath).fileName());
    else
        window.holdDocument(opened.object.get());
    KAddonLoader addon(dialog ? KAddonLoader::Full : KAddonLoader::ExportOnly);
    if (!addon.load(&error))
        return print(failure(Failed, failed, QCoreApplication::translate("KExportCommand", "Cannot load the add-on"), error), json);
    if (dialog)
        return showDialog(addon, request, &window, documentPath, json);
    auto runExport = reinterpret_cast<RunExportFn>(addon.resolve("KtavroRunExport"));
    auto cancelExport = reinterpret_cast<CancelExportFn>(addon.resolve("KtavroCancelExport"));
    if (!runExport || !cancelExport)
        return print(failure(Failed, failed, QCoreApplication::translate("KExportCommand", "The add-on offers no export entry")), json);
    ksignals::onCancel(cancelExport);
    g_showProgress = !request.value(QStringLiteral("quiet")).toBool() && ::isatty(STDERR_FILENO);

    if (kopening::cancelRequested())
        return cancelledBeforeExport(request);
    QVariantMap result;
    QVariantMap withWindow = request;
    withWindow.insert(QStringLiteral("mainWindow"), QVariant::fromValue<QObject *>(&window));
    const int status = runExport(&withWindow, &result, printProgress);
    KxApplication::coreApplication()->setActiveDocument(nullptr);
    reportPdfErrors(opened.object.get());
    result.insert(QStringLiteral("exitCode"), status);
    return print(result, json);
}
