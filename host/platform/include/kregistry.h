#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>
#include <memory>

// The registry stand-in: one INI store per key, under
// $XDG_CONFIG_HOME/brindlex/registry/<key path with backslashes as folders>.ini.
// Key paths are kept as given ("HKEY_CURRENT_USER\SOFTWARE\..."), so messages still name
// the registry key. The value name "" is the key's default value. As in the registry, case
// does not matter in key paths and value names.
class KRegistry
{
public:
    static QString storePath(const QString &keyPath);
    static bool keyExists(const QString &keyPath);

    static QVariant value(const QString &keyPath, const QString &name, const QVariant &fallback = QVariant());
    static bool setValue(const QString &keyPath, const QString &name, const QVariant &value);
    static bool remove(const QString &keyPath, const QString &name);

    // The key as a settings object, for code written against QSettings (names are then
    // compared with case).
    static std::unique_ptr<QSettings> open(const QString &keyPath);
};
