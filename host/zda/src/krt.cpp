#include "krt.h"

#include "kapptranslators.h"
#include "khostconfig.h"
#include "kxapplication.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPixmap>
#include <QThread>
#include <atomic>

namespace krt {

bool product::isEnterprise()
{
    return KHostConfig::isEnterprise();
}

bool product::isSupported(const QString &feature)
{
    return KHostConfig::isFeatureSupported(feature);
}

int product::versionID()
{
    return KHostConfig::editionNumber();
}

QString configs::getRawConfig(const QString &key)
{
    return KHostConfig::rawConfig(key);
}

QString info::version()
{
    return QStringLiteral(KTAVRO_VERSION_STRING);
}

QString host::uiFontSubstitute()
{
    return QStringLiteral("WenQuanYi Micro Hei");
}

int host::screenDpi()
{
    static std::atomic<int> measured{0};
    if (measured.load() > 0)
        return measured.load();
    auto *app = QCoreApplication::instance();
    if (!qobject_cast<QGuiApplication *>(app) || QThread::currentThread() != app->thread())
        return 96; // no screen to ask from here
    // Asked of the device, not through a painter: a painter's default font would load the
    // whole font configuration, which an export without text never needs.
    const int dpi = QPixmap(1, 1).physicalDpiX();
    measured = dpi > 0 ? dpi : 96;
    return measured.load();
}

void host::initialize()
{
    screenDpi();
    QFont::insertSubstitution(QStringLiteral("Microsoft YaHei"), uiFontSubstitute());
    if (KAppTranslators *translators = KCoreApplication::translator()) {
        const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
        translators->installTranslation(QCoreApplication::applicationDirPath() + QStringLiteral("/mui"),
                                        {program + QStringLiteral(".qm")});
    }
}

} // namespace krt
