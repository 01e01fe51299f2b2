// The command line's export, in the small module brindlex export loads: the export engine
// and what the request needs, none of the dialogs, services or framework start-up. The
// full module links this one, so both run the same engine.
#include "kcommandlineexport.h"
#include "ktavroentry.h"

#include <kapptranslators.h>
#include <kxapplication.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace {

// "<folder of this module>/mui/", where the add-on's translations are.
QString muiFolder()
{
    static const QString folder = [] {
        Dl_info info{};
        if (!dladdr(reinterpret_cast<void *>(&KtavroRunExport), &info) || !info.dli_fname)
            return QString();
        return QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath() + QStringLiteral("/mui/");
    }();
    return folder;
}

// The add-on's texts in the host's language while an export runs.
class ExportTranslation
{
public:
    ExportTranslation()
    {
        if (krt::KAppTranslators *translators = registry())
            m_installed = translators->installTranslation(muiFolder(), {QStringLiteral("ktavro.qm")}) > 0;
    }
    ~ExportTranslation()
    {
        krt::KAppTranslators *translators = registry();
        if (m_installed && translators)
            translators->uninstallTranslation(muiFolder());
    }

private:
    static krt::KAppTranslators *registry()
    {
        return QCoreApplication::instance() && !muiFolder().isEmpty() ? KCoreApplication::translator() : nullptr;
    }
    bool m_installed = false;
};

} // namespace

int KtavroRunExport(const QVariantMap *request, QVariantMap *result, KtavroProgressFn progress)
{
    if (!request || !result)
        return KCommandLineExport::UsageError;
    const ExportTranslation translation;
    KCommandLineExport job(progress);
    *result = job.run(*request);
    return result->value(QStringLiteral("exitCode")).toInt();
}

// The full module has its own, which closes an open dialog as well.
void KtavroCancelExport()
{
    KCommandLineExport::cancelRunning();
}
