#include "kexportpaths.h"

#include <koutputpath.h>
#include <ktipsdialog.h>
#include <kxapplication.h>
#include <kunknown.h>

#include <QDir>

namespace {
KExportPaths::Presenter g_presenter;

KExportPaths::Presenter presenter()
{
    return g_presenter.refuse && g_presenter.confirmReplace ? g_presenter : KExportPaths::tipsDialogPresenter();
}

bool hasActiveDocument()
{
    IKUnknown *document = KxApplication::coreApplication()->activeDocument();
    if (!document)
        return false;
    document->Release();
    return true;
}

QString withSeparator(const QString &folder)
{
    const QString native = QDir::toNativeSeparators(folder);
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
}

} // namespace

QString KExportPaths::userProfile()
{
    const QString profile = qEnvironmentVariable("USERPROFILE");
    return profile.isEmpty() ? QDir::homePath() : profile;
}

void KExportPaths::setPresenter(const Presenter &presenter)
{
    g_presenter = presenter;
}

KExportPaths::Presenter KExportPaths::tipsDialogPresenter()
{
    Presenter p;
    p.refuse = [](QWidget *parent, const QString &title, const QString &message) {
        int mask = KTipsDialog::OkButton;
        KTipsDialog::showTips(parent, title, message, &mask, nullptr);
    };
    p.confirmReplace = [](QWidget *parent, const QString &title, const QString &question) {
        int mask = KTipsDialog::YesButton | KTipsDialog::NoButton;
        return KTipsDialog::showTips(parent, title, question, &mask, nullptr) == KTipsDialog::ResultYes;
    };
    return p;
}

QString KExportPaths::defaultOutputFolder()
{
    if (!hasActiveDocument())
        return QString();
    const QString folder = KxApplication::coreApplication()->activeDocumentFolder();
    if (!folder.isEmpty())
        return withSeparator(folder);
    return withSeparator(userProfile() + QLatin1Char('/') + tr("myphoto"));
}

QString KExportPaths::documentName()
{
    return hasActiveDocument() ? KxApplication::coreApplication()->activeDocumentName() : QString();
}

QString KExportPaths::defaultFileName(const QString &suffix)
{
    return QStringLiteral("%1.%2").arg(KOutputPath::withoutExtension(documentName()), suffix);
}

bool KExportPaths::validatePath(QString &path, bool longPicture, QWidget *parent)
{
    const QString title = tr("Export Image");
    const KOutputPath::Check check = KOutputPath::check(path, longPicture);
    if (!check.normalized.isEmpty())
        path = check.normalized;
    const Presenter p = presenter();
    if (!check.ok) {
        p.refuse(parent, title, check.message);
        return false;
    }
    if (longPicture && check.exists)
        return p.confirmReplace(parent, title, tr("The file already exists,confirm to replace the original file."));
    return true;
}
