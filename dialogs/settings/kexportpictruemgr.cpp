#include "kexportpictruemgr.h"

#include "kexportdatafile.h"

#include <iapplicationadapter.h>
#include <kessapplicationadapter.h>
#include <kesslaunchinfo.h>
#include <kesslog.h>
#include <kesssandbox.h>
#include <kesssandboxhelper.h>

#include <klitestyle.h>
#include <kresourcemgr.h>

#include <QCoreApplication>
#include <QIcon>
#include <QFileInfo>
#include <QResource>

class KExportPictrueMgrPrivate
{
public:
    std::unique_ptr<KEssApplicationAdapter> adapter;
    std::unique_ptr<KResourceMgr> resources;
    QString themeResource; // registered resource file, to unregister at release
    QString dataPath;
    KExportData data;
};

namespace {
KExportPictrueMgr *g_instance = nullptr;
}

KExportPictrueMgr *KExportPictrueMgr::instance()
{
    if (!g_instance) {
        g_instance = new KExportPictrueMgr;
        g_instance->initFramework();
        if (QCoreApplication *app = QCoreApplication::instance())
            connect(app, &QCoreApplication::aboutToQuit, g_instance, &KExportPictrueMgr::term);
    }
    return g_instance;
}

void KExportPictrueMgr::release()
{
    if (g_instance)
        g_instance->term();
}

KExportPictrueMgr::KExportPictrueMgr()
    : d(std::make_unique<KExportPictrueMgrPrivate>())
{
    d->dataPath = kexportdata::defaultPath();
    d->data = kexportdata::read(d->dataPath);
}

KExportPictrueMgr::~KExportPictrueMgr()
{
    if (!d->themeResource.isEmpty())
        QResource::unregisterResource(d->themeResource);
    if (GetApplicationAdapter() == d->adapter.get())
        SetApplicationAdapter(nullptr);
}

IApplicationAdapter *KExportPictrueMgr::adapter() const
{
    return d->adapter.get();
}

QString KExportPictrueMgr::addonFolder()
{
    return KessSandBoxHelper::getModuleInfo().moduleFolder;
}

QString KExportPictrueMgr::metaFilePath()
{
    const QString beside = addonFolder() + QStringLiteral("/meta.json");
    // The installed file wins, so that an installation can change the switches.
    return QFileInfo::exists(beside) ? beside : QStringLiteral(":/ktavro/meta.json");
}

void KExportPictrueMgr::initFramework()
{
    KEssLaunchInfo::registerMetaTypes();
    d->adapter = std::make_unique<KEssApplicationAdapter>();
    SetApplicationAdapter(d->adapter.get());

    const QVariantMap launchMap{
        {QStringLiteral("src"), QStringLiteral("unknow")},
        {QStringLiteral("appId"), QStringLiteral("export_photo")},
        {QStringLiteral("entry"), QVariant::fromValue(PairString(QStringLiteral("ktavro"), addonFolder()))},
        {QStringLiteral("meteFilePath"), metaFilePath()},
    };
    SandboxInfo info;
    QVariantList results;
    d->adapter->call(Method_SetApplication, {launchMap, QVariant::fromValue(&info)}, results);
    KEssSandbox *sandbox = CreateSandbox(info);

    installThemeHook();
    sandbox->removeExpiredFiles(true, 0, 0);
    initResources();
}

void KExportPictrueMgr::initResources()
{
    d->resources = std::make_unique<KResourceMgr>(iconFolders());
    const QString mui = addonFolder() + QStringLiteral("/mui");
    if (!d->resources->registerLanguageResource(mui, QStringLiteral("icons_svg.data")))
        KESS_WARNING(QStringLiteral("No icons_svg.data under ") + mui);
}

const QStringList &KExportPictrueMgr::iconFolders()
{
    static const QStringList folders{
        QStringLiteral(":kexportpic/shape/svg/other/"), QStringLiteral(":kexportpic/shape/svg/32x32/"),
        QStringLiteral(":kexportpic/shape/svg/24x24/"), QStringLiteral(":kexportpic/shape/svg/16x16/"),
        QStringLiteral(":kexportpic/shape/svg/14x14/"),
    };
    return folders;
}

KResourceMgr *KExportPictrueMgr::resourceMgr() const
{
    return d->resources.get();
}

QIcon KExportPictrueMgr::icon(const QString &name) const
{
    return d->resources ? d->resources->icon(name) : QIcon();
}

bool KExportPictrueMgr::installThemeHook()
{
    if (!GetSandbox()) {
        KESS_CRITICAL(QStringLiteral("Cannot get sandbox. Register resource failed."));
        return false;
    }
    const QString path = KessSandBoxHelper::resourcePath(QStringLiteral("resource/res/kappessential.rcc"));
    if (path == d->themeResource)
        return true;
    if (!QResource::registerResource(path)) {
        KESS_WARNING(QStringLiteral("Register resource ") + path + QStringLiteral(" failed."));
        return false;
    }
    d->themeResource = path;
    return true;
}

void KExportPictrueMgr::term()
{
    if (g_instance == this)
        g_instance = nullptr;
    delete this;
}

QString KExportPictrueMgr::dataFilePath() const
{
    return d->dataPath;
}

WatermarkSetting KExportPictrueMgr::customWatermark() const
{
    return d->data.watermark;
}

bool KExportPictrueMgr::setCustomWatermark(const WatermarkSetting &setting)
{
    d->data.watermark = setting;
    return saveDataFile();
}

QList<QColor> KExportPictrueMgr::recentColors() const
{
    return d->data.recentColors;
}

void KExportPictrueMgr::addRecentColor(const QColor &color)
{
    d->data.recentColors = kexportdata::withRecentColor(d->data.recentColors, color);
}

void KExportPictrueMgr::setRecentColors(const QList<QColor> &colors)
{
    if (!colors.isEmpty())
        d->data.recentColors = colors;
}

bool KExportPictrueMgr::saveDataFile()
{
    if (kexportdata::write(d->dataPath, d->data))
        return true;
    KESS_WARNING(QStringLiteral("Cannot write the data file ") + d->dataPath);
    return false;
}

QString KExportPictrueMgr::imageFilePath(const QString &fileName)
{
    const bool highDpi = KLiteStyle::dpiScaled(1.0) > 1.99;
    return (highDpi ? QStringLiteral(":/localindex/shape/highdpi/") : QStringLiteral(":/localindex/shape/")) + fileName;
}

QString KExportPictrueMgr::vectorImagePath(const QString &fileName)
{
    const QString folder = QStringLiteral(":/localindex/shape/svg/");
    if (QFileInfo::exists(folder + fileName) || !fileName.endsWith(QLatin1String(".png")))
        return folder + fileName;
    return folder + fileName.left(fileName.size() - 4) + QStringLiteral(".svg");
}
