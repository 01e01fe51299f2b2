#include "khostconfig.h"

#include <QDir>
#include <QMutex>
#include <QMutexLocker>
#include <QProcessEnvironment>
#include <QSettings>
#include <QStandardPaths>

namespace {

struct HostConfigData
{
    int edition = 1;
    bool enterprise = false;
    // The suite offers picture export unless its configuration lists other features.
    QStringList features{QStringLiteral("EnableExportPicture")};
    QHash<QString, QString> raw;
    QHash<QString, QVariant> values;
};

QMutex &configMutex()
{
    static QMutex mutex;
    return mutex;
}

HostConfigData loadConfig()
{
    HostConfigData d;
    const QString path = KHostConfig::configFilePath();
    if (QFile::exists(path)) {
        QSettings file(path, QSettings::IniFormat);
        d.edition = file.value(QStringLiteral("host/edition"), d.edition).toInt();
        d.enterprise = file.value(QStringLiteral("host/enterprise"), d.enterprise).toBool();
        d.features = file.value(QStringLiteral("host/features"), d.features).toStringList();
        file.beginGroup(QStringLiteral("raw"));
        for (const QString &key : file.childKeys())
            d.raw.insert(key, file.value(key).toString());
        file.endGroup();
        file.beginGroup(QStringLiteral("values"));
        for (const QString &key : file.childKeys())
            d.values.insert(key, file.value(key));
        file.endGroup();
    }
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    bool ok = false;
    const int edition = env.value(QStringLiteral("BRINDLEX_EDITION")).toInt(&ok);
    if (ok)
        d.edition = edition;
    if (env.contains(QStringLiteral("BRINDLEX_ENTERPRISE"))) {
        const QString v = env.value(QStringLiteral("BRINDLEX_ENTERPRISE")).toLower();
        d.enterprise = (v == QLatin1String("1") || v == QLatin1String("true") || v == QLatin1String("yes"));
    }
    if (env.contains(QStringLiteral("BRINDLEX_FEATURES")))
        d.features = env.value(QStringLiteral("BRINDLEX_FEATURES")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    return d;
}

HostConfigData &config()
{
    static HostConfigData data = loadConfig();
    return data;
}

} // namespace

QString KHostConfig::configFilePath()
{
    const QString explicitPath = qEnvironmentVariable("BRINDLEX_HOST_CONFIG");
    if (!explicitPath.isEmpty())
        return explicitPath;
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/brindlex/host.ini");
}

int KHostConfig::editionNumber()
{
    QMutexLocker lock(&configMutex());
    return config().edition;
}

bool KHostConfig::isEnterprise()
{
    QMutexLocker lock(&configMutex());
    return config().enterprise;
}

bool KHostConfig::isFeatureSupported(const QString &feature)
{
    QMutexLocker lock(&configMutex());
    return config().features.contains(feature);
}

QString KHostConfig::rawConfig(const QString &key)
{
    QMutexLocker lock(&configMutex());
    return config().raw.value(key);
}

QVariant KHostConfig::value(const QString &key, const QVariant &fallback)
{
    QMutexLocker lock(&configMutex());
    return config().values.value(key, fallback);
}

void KHostConfig::setEditionNumber(int edition)
{
    QMutexLocker lock(&configMutex());
    config().edition = edition;
}

void KHostConfig::setEnterprise(bool enterprise)
{
    QMutexLocker lock(&configMutex());
    config().enterprise = enterprise;
}

void KHostConfig::setFeatures(const QStringList &features)
{
    QMutexLocker lock(&configMutex());
    config().features = features;
}

void KHostConfig::setRawConfig(const QString &key, const QString &value)
{
    QMutexLocker lock(&configMutex());
    config().raw.insert(key, value);
}

void KHostConfig::setValue(const QString &key, const QVariant &value)
{
    QMutexLocker lock(&configMutex());
    config().values.insert(key, value);
}

void KHostConfig::reload()
{
    QMutexLocker lock(&configMutex());
    config() = loadConfig();
}
