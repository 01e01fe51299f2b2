#include "kexportsettings.h"

#include <kesssandbox.h>
#include <kregistry.h>

const char *const kexportsettings::kImageFormatKey = "SelectedImageFormat";
const char *const kexportsettings::kOutputPathKey = "SelectedOutputFilePath";
const char *const kexportsettings::kBackupToCloudKey = "enableBackupToCloud";

namespace {
QVariant read(const char *key, const QVariant &fallback)
{
    KEssSandbox *sandbox = GetSandbox();
    return sandbox ? sandbox->value(QLatin1String(key), fallback) : fallback;
}

void write(const char *key, const QVariant &value)
{
    if (KEssSandbox *sandbox = GetSandbox())
        sandbox->setValue(QLatin1String(key), value);
}

// "true"/"false" as the INI store keeps them, and numbers as the registry may.
bool toBool(const QVariant &value)
{
    const QString text = value.toString().trimmed().toLower();
    return text == QLatin1String("true") || (text.toInt() != 0);
}
} // namespace

int kexportsettings::imageFormat()
{
    bool ok = false;
    const int index = read(kImageFormatKey, -1).toInt(&ok);
    return ok && index >= 0 && index < kFormatCount ? index : -1;
}

void kexportsettings::setImageFormat(int index)
{
    write(kImageFormatKey, index);
}

QString kexportsettings::outputFilePath()
{
    return read(kOutputPathKey, QString()).toString();
}

void kexportsettings::setOutputFilePath(const QString &path)
{
    write(kOutputPathKey, path);
}

bool kexportsettings::backupToCloud()
{
    return toBool(read(kBackupToCloudKey, false));
}

void kexportsettings::setBackupToCloud(bool enabled)
{
    write(kBackupToCloudKey, enabled);
}

QString kexportsettings::compactDialogKey()
{
    return QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Brindlex\\Office\\6.0\\plugins\\ktavro");
}

bool kexportsettings::compactBackupToCloud()
{
    return toBool(KRegistry::value(compactDialogKey(), QLatin1String(kBackupToCloudKey), false));
}

void kexportsettings::setCompactBackupToCloud(bool enabled)
{
    KRegistry::setValue(compactDialogKey(), QLatin1String(kBackupToCloudKey), enabled);
}

bool kexportsettings::hasCompactBackupToCloud()
{
    return KRegistry::value(compactDialogKey(), QLatin1String(kBackupToCloudKey)).isValid();
}
