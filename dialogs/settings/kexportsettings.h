#pragma once

#include <QString>

// The choices the export dialogs remember between runs, kept in the sandbox's settings store.
// Without a sandbox reads give the defaults and writes are dropped.
namespace kexportsettings {
extern const char *const kImageFormatKey;   // "SelectedImageFormat"
extern const char *const kOutputPathKey;    // "SelectedOutputFilePath"
extern const char *const kBackupToCloudKey; // "enableBackupToCloud"
constexpr int kFormatCount = 4;             // JPG, PNG, BMP, TIF

// Index of the format list, or -1 for no remembered choice (absent, not a number, out of range).
int imageFormat();
void setImageFormat(int index);
QString outputFilePath();
void setOutputFilePath(const QString &path);
bool backupToCloud();
void setBackupToCloud(bool enabled);

// The compact dialog keeps its one choice in its own registry key, outside the sandbox.
QString compactDialogKey();
bool compactBackupToCloud();
// Whether the compact dialog has stored a backup choice at all.
bool hasCompactBackupToCloud();
void setCompactBackupToCloud(bool enabled);
} // namespace kexportsettings
