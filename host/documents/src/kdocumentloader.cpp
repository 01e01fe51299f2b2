#include "kdocumentloader.h"

#include "kofficeconverter.h"
#include "kopeningcancel.h"
#include "kpdfbackend.h"
#include "kpresentationbackend.h"
#include "ksheetbackend.h"
#include "kwriterbackend.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>

namespace {

std::atomic<bool> g_cancel{false};
std::atomic<int> g_holdings{0};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from signal handlers");

const QStringList kOfficeWriter = {"odt", "docx", "doc", "rtf"};
const QStringList kOfficeSlides = {"odp", "pptx", "ppt"};
const QStringList kOfficeSheets = {"ods", "xlsx", "xls"};

QString suffixOf(const QString &path)
{
    return QFileInfo(path).suffix().toLower();
}

bool isDeck(const QString &path)
{
    return QFileInfo(path).fileName().toLower().endsWith(QLatin1String(".slides.md"));
}

// The converted PDF as pages, with the folder it lives in kept beside it.
template <typename Backend>
IKUnknown *fromConvertedPdf(const QString &path, QString *error)
{
    const KOfficeConverter::Result converted = KOfficeConverter::convert(path, QStringLiteral("pdf"));
    if (converted.path.isEmpty()) {
        *error = converted.error;
        return nullptr;
    }
    KComPtr<KPdfBackend> pdf(KPdfBackend::open(converted.path, error));
    if (!pdf) {
        *error = QStringLiteral("%1: the converted document cannot be read (%2)").arg(path, *error);
        return nullptr;
    }
    return Backend::fromPdf(pdf.get(), converted.folder);
}

IKUnknown *sheetFromConvertedCsv(const QString &path, QString *error)
{
    const KOfficeConverter::Result converted = KOfficeConverter::convert(path, QStringLiteral("csv"));
    if (converted.path.isEmpty()) {
        *error = converted.error;
        return nullptr;
    }
    KSheetBackend *sheet = KSheetBackend::open(converted.path, error);
    if (!sheet)
        *error = QStringLiteral("%1: the converted sheet cannot be read (%2)").arg(path, *error);
    return sheet;
}

IKUnknown *openAs(const QString &component, const QString &path, QString *error)
{
    const bool office = KDocumentLoader::needsConversion(path);
    if (component == QLatin1String("pdf"))
        return KPdfBackend::open(path, error);
    if (component == QLatin1String("vyd"))
        return office ? fromConvertedPdf<KPresentationBackend>(path, error) : KPresentationBackend::open(path, error);
    if (component == QLatin1String("qz"))
        return office ? sheetFromConvertedCsv(path, error) : KSheetBackend::open(path, error);
    return office ? fromConvertedPdf<KWriterBackend>(path, error) : KWriterBackend::open(path, error);
}

} // namespace

void kopening::requestCancel() noexcept
{
    g_cancel.store(true);
}

bool kopening::cancelRequested() noexcept
{
    return g_cancel.load();
}

void kopening::resetCancel() noexcept
{
    g_cancel.store(false);
}

void kopening::hold() noexcept
{
    ++g_holdings;
}

void kopening::release() noexcept
{
    --g_holdings;
}

int kopening::holdings() noexcept
{
    return g_holdings.load();
}

QString KDocumentLoader::componentFor(const QString &path)
{
    const QString suffix = suffixOf(path);
    if (suffix == QLatin1String("pdf"))
        return QStringLiteral("pdf");
    if (isDeck(path) || kOfficeSlides.contains(suffix))
        return QStringLiteral("vyd");
    static const QStringList writer = {"txt", "text", "md", "markdown", "html", "htm"};
    if (writer.contains(suffix) || kOfficeWriter.contains(suffix))
        return QStringLiteral("vyx");
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("tsv") || kOfficeSheets.contains(suffix))
        return QStringLiteral("qz");
    return QString();
}

bool KDocumentLoader::needsConversion(const QString &path)
{
    const QString suffix = suffixOf(path);
    return kOfficeWriter.contains(suffix) || kOfficeSlides.contains(suffix) || kOfficeSheets.contains(suffix);
}

KOpenedDocument KDocumentLoader::open(const QString &path)
{
    KOpenedDocument opened;
    opened.component = componentFor(path);
    if (opened.component.isEmpty()) {
        opened.error = QStringLiteral("%1: the host cannot open this kind of document").arg(path);
        return opened;
    }
    if (!QFileInfo(path).isFile()) {
        opened.error = QStringLiteral("%1: no such file").arg(path);
        return opened;
    }
    if (!kopening::cancelRequested())
        opened.object = KComPtr<IKUnknown>(openAs(opened.component, path, &opened.error));
    if (kopening::cancelRequested()) {
        opened.object.reset();
        opened.cancelled = true;
        opened.error = QStringLiteral("%1: opening was cancelled").arg(path);
    }
    return opened;
}
