#include "kxexporttavroimageobject.h"

#include "kexportentrysteps.h"
#include "ktavromodule.h"

#include <kappcontext.h>
#include <kapptranslators.h>
#include <kesssandboxhelper.h>
#include <kexceptionguard.h>
#include <kxapplication.h>
#include <kxmainwindow.h>

#include <QCoreApplication>
#include <QTranslator>
#include <QVariant>

#include <exception>

namespace {

krt::KAppTranslators *translators()
{
    return QCoreApplication::instance() ? KCoreApplication::translator() : nullptr;
}

} // namespace

KxExportTavroImageObject::KxExportTavroImageObject(QObject *parent)
    : QObject(parent)
    , m_translator(new QTranslator(this))
{
    if (krt::KAppTranslators *registry = translators())
        registry->installTranslation(translationFolder(), {QStringLiteral("ktavro.qm")});
}

KxExportTavroImageObject::~KxExportTavroImageObject()
{
    if (krt::KAppTranslators *registry = translators())
        registry->uninstallTranslation(translationFolder());
}

QString KxExportTavroImageObject::translationFolder()
{
    static const QString folder = KessSandBoxHelper::getModuleInfo().moduleFolder + QStringLiteral("/mui/");
    return folder;
}

bool KxExportTavroImageObject::trigger(const KAppObj &appObj, const KAppContext &context)
{
    KExceptionGuard guard("KxExportTavroImageCommand");
    // Nothing may escape into the host's meta-call.
    try {
        KCoreApplication *app = appObj.app() ? appObj.app() : KxApplication::coreApplication();
        if (!KMBUtils::FireDocOperationEnable(app, 2) || !KMBUtils::FireDocSaveAsEnable(app))
            return false;
        const QString proposed = property("SaveAsFilename").toString();
        auto *window = qobject_cast<KxMainWindow *>(context.window.data());
        const QString component = KExportEntrySteps::componentName();
        return KExportEntrySteps::openExportDialog(window, component, context.entry, proposed);
    } catch (const std::exception &e) {
        qWarning("Export to picture failed: %s", e.what());
    } catch (...) {
        qWarning("Export to picture failed");
    }
    return false;
}
