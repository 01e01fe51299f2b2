#include "kregistry.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString registryRoot()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/brindlex/registry");
}

// QSettings keeps a default value under this name, like the native Windows format does.
QString storedName(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("Default") : name;
}

} // namespace

QString KRegistry::storePath(const QString &keyPath)
{
    QStringList parts;
    for (const QString &part : QString(keyPath).replace(QLatin1Char('/'), QLatin1Char('\\')).split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            continue; // a key path never leaves the registry folder
        parts << part;
    }
    return registryRoot() + QLatin1Char('/') + parts.join(QLatin1Char('/')) + QStringLiteral(".ini");
}

bool KRegistry::keyExists(const QString &keyPath)
{
    return QFileInfo::exists(storePath(keyPath));
}

std::unique_ptr<QSettings> KRegistry::open(const QString &keyPath)
{
    const QString path = storePath(keyPath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

QVariant KRegistry::value(const QString &keyPath, const QString &name, const QVariant &fallback)
{
    if (!keyExists(keyPath))
        return fallback;
    QSettings store(storePath(keyPath), QSettings::IniFormat);
    return store.value(storedName(name), fallback);
}

bool KRegistry::setValue(const QString &keyPath, const QString &name, const QVariant &value)
{
    auto store = open(keyPath);
    store->setValue(storedName(name), value);
    store->sync();
    return store->status() == QSettings::NoError;
}

bool KRegistry::remove(const QString &keyPath, const QString &name)
{
    if (!keyExists(keyPath))
        return false;
    auto store = open(keyPath);
    store->remove(storedName(name));
    store->sync();
    return store->status() == QSettings::NoError;
}
