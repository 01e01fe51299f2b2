#pragma once

#include "sandboxinfo.h"

#include <QDir>
#include <QFlags>
#include <QString>
#include <QVariant>

#include <memory>

// The private place of one framework application: its log, its settings, its data folder
// with "log" and "temp", and its desktop shortcut. One per process, made by CreateSandbox.
class KEssSandbox
{
public:
    enum LogOptionFlag {
        LogToFile = 0x1,
        CaptureQtMessages = 0x2,     // and pass them on to the handler installed before
        CaptureQtMessagesOnly = 0x4, // without passing them on
        CopyToDebugger = 0x8,
    };
    Q_DECLARE_FLAGS(LogOptionFlags, LogOptionFlag)

    ~KEssSandbox();
    KEssSandbox(const KEssSandbox &) = delete;
    KEssSandbox &operator=(const KEssSandbox &) = delete;

    SandboxInfo info() const;
    void setInfo(const SandboxInfo &info);

    void setLogOptions(LogOptionFlags flags);
    void log(int level, const QString &message);
    void debug(const QString &message);
    void warning(const QString &message);
    void critical(const QString &message);
    void fatal(const QString &message); // logs only; never ends the process
    QString logFilePath() const;
    // Whether lines currently go to the log file.
    bool isLoggingToFile() const;

    // Off: the registry key of the application id; on: "settings.ini" in the data folder.
    void setSettingsInFile(bool inFile);
    bool settingsInFile() const;
    QVariant value(const QString &key, const QVariant &defaultValue = QVariant()) const;
    void setValue(const QString &key, const QVariant &value);

    // Each creates what is missing.
    QDir dataDir() const;
    QDir logDir() const;
    QDir tempDir() const;

    // Deletes files older than the given ages in days from "log" and "temp" (0: all,
    // negative: none), now or, when deferred, when the sandbox is destroyed.
    void removeExpiredFiles(bool deferred, int logAgeDays, int tempAgeDays);

    // The launcher's command line that starts this application.
    QString shortcutArguments() const;
    // Saves "<name>.desktop" in the target folder; true when it was written.
    bool createShortcut(const QString &targetFolder, const QString &iconFile = QString());

    bool isOwnerThread() const;

    struct Data;

private:
    KEssSandbox();
    void initialize(const SandboxInfo &info);
    friend KEssSandbox *CreateSandbox(const SandboxInfo &info);

    std::unique_ptr<Data> d;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(KEssSandbox::LogOptionFlags)

// Creates the process-wide sandbox on the first call; later calls return it unchanged.
KEssSandbox *CreateSandbox(const SandboxInfo &info);
// The override when one is set, else the process-wide sandbox, else null.
KEssSandbox *GetSandbox();
void DestroySandbox();
// Writes a line to the override's log, else to the process-wide sandbox's; false when there
// is neither. Safe on any thread, also while another destroys the sandbox.
bool WriteSandboxLog(int level, const QString &message);
// Lets this module use a sandbox it does not own (another module's); cleared by CreateSandbox.
void SetSandboxOverride(KEssSandbox *sandbox);
