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

// The registry ignores case in key paths and value names: an entry already stored under
// another spelling is the one meant; a new one keeps the spelling it is given.
QString existingSpelling(const QString &folder, const QString &name, QDir::Filters kind)
{
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(name)) || !dir.exists())
        return name;
    for (const QString &entry : dir.entryList(kind | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return name;
}

// QSettings keeps a default value under this name, like the native Windows format does.
QString storedName(const QSettings &store, const QString &name)
{
    const QString wanted = name.isEmpty() ? QStringLiteral("Default") : name;
    if (store.contains(wanted))
        return wanted;
    for (const QString &key : store.allKeys()) {
        if (key.compare(wanted, Qt::CaseInsensitive) == 0)
            return key;
    }
    return wanted;
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
    QString path = registryRoot();
    for (int i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const QString name = last ? parts.at(i) + QStringLiteral(".ini") : parts.at(i);
        path += QLatin1Char('/') + existingSpelling(path, name, last ? QDir::Files : QDir::Dirs);
    }
    return parts.isEmpty() ? path + QStringLiteral("/.ini") : path;
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
    return store.value(storedName(store, name), fallback);
}

bool KRegistry::setValue(const QString &keyPath, const QString &name, const QVariant &value)
{
    auto store = open(keyPath);
    store->setValue(storedName(*store, name), value);
    store->sync();
    return store->status() == QSettings::NoError;
}

bool KRegistry::remove(const QString &keyPath, const QString &name)
{
    if (!keyExists(keyPath))
        return false;
    auto store = open(keyPath);
    store->remove(storedName(*store, name));
    store->sync();
    return store->status() == QSettings::NoError;
}
