#include "kdocumentloader.h"

#include "kdocumentkinds_p.h"
#include "kofficeconverter.h"
#include "kopeningcancel.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>

namespace {

std::atomic<bool> g_cancel{false};
std::atomic<int> g_holdings{0};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from signal handlers");

// Office files are read from what LibreOffice makes of them.
IKUnknown *openAs(const KDocumentKind &kind, const QString &path, QString *error)
{
    if (kind.convertTo.isEmpty())
        return kind.open(path, nullptr, error);
    const KOfficeConverter::Result converted = KOfficeConverter::convert(path, kind.convertTo);
    if (converted.path.isEmpty()) {
        *error = converted.error;
        return nullptr;
    }
    IKUnknown *object = kind.open(converted.path, converted.folder, error);
    if (!object)
        *error = QCoreApplication::translate("KDocumentLoader", "%1: the converted document cannot be read (%2)").arg(path, *error);
    return object;
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
    const KDocumentKind *kind = kdocumentkinds::kindOf(path);
    return kind ? kind->component : QString();
}

bool KDocumentLoader::needsConversion(const QString &path)
{
    const KDocumentKind *kind = kdocumentkinds::kindOf(path);
    return kind && !kind->convertTo.isEmpty();
}

KOpenedDocument KDocumentLoader::open(const QString &path)
{
    KOpenedDocument opened;
    const KDocumentKind *kind = kdocumentkinds::kindOf(path);
    if (!kind) {
        opened.error = QCoreApplication::translate("KDocumentLoader", "%1: the host cannot open this kind of document").arg(path);
        return opened;
    }
    opened.component = kind->component;
    if (!QFileInfo(path).isFile()) {
        opened.error = QCoreApplication::translate("KDocumentLoader", "%1: no such file").arg(path);
        return opened;
    }
    if (!kopening::cancelRequested())
        opened.object = KComPtr<IKUnknown>(openAs(*kind, path, &opened.error));
    if (kopening::cancelRequested()) {
        opened.object.reset();
        opened.cancelled = true;
        opened.error = QCoreApplication::translate("KDocumentLoader", "%1: opening was cancelled").arg(path);
    }
    return opened;
}
