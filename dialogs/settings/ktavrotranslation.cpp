#include "ktavrotranslation.h"

#include "kexportpictruemgr.h"

#include <kapptranslators.h>
#include <kxapplication.h>

#include <QCoreApplication>

namespace {
krt::KAppTranslators *registry()
{
    return QCoreApplication::instance() ? KCoreApplication::translator() : nullptr;
}
} // namespace

KTavroTranslation::KTavroTranslation()
{
    if (krt::KAppTranslators *translators = registry())
        m_installed = translators->installTranslation(muiFolder(), {QStringLiteral("ktavro.qm")}) > 0;
}

KTavroTranslation::~KTavroTranslation()
{
    // Only an owner counts: one that found nothing to install must not take another's away.
    krt::KAppTranslators *translators = registry();
    if (m_installed && translators)
        translators->uninstallTranslation(muiFolder());
}

QString KTavroTranslation::muiFolder()
{
    static const QString folder = KExportPictrueMgr::addonFolder() + QStringLiteral("/mui/");
    return folder;
}
