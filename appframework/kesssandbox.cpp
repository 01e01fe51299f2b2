#include "kesssandbox_p.h"

#include "kesslog.h"
#include "kesssandboxhelper.h"

#include <kregistry.h>

#include <QDateTime>
#include <QSettings>

#include <atomic>
#include <mutex>

namespace {

std::atomic<KEssSandbox *> g_sandbox{nullptr};
std::atomic<KEssSandbox *> g_override{nullptr};

// The process-wide sandbox's logger. Threads that log take a reference under the mutex, so
// the sandbox may be destroyed while they finish their line; the last one closes the file.
std::mutex g_loggerMutex;
std::shared_ptr<SandboxLogger> g_logger;

std::shared_ptr<SandboxLogger> sharedLogger()
{
    std::lock_guard<std::mutex> lock(g_loggerMutex);
    return g_logger;
}

void shareLogger(std::shared_ptr<SandboxLogger> logger)
{
    std::lock_guard<std::mutex> lock(g_loggerMutex);
    g_logger.swap(logger);
}

// State of the Qt message handler; messages may arrive on any thread.
std::atomic<QtMessageHandler> g_previousHandler{nullptr};
std::atomic<bool> g_passOn{false};
thread_local bool t_inHandler = false;

int levelOf(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return kess::LevelDebug;
    case QtWarningMsg:
        return kess::LevelWarning;
    case QtFatalMsg:
        return kess::LevelFatal;
    case QtCriticalMsg:
    case QtInfoMsg:
        break;
    }
    return kess::LevelCritical;
}

void sandboxMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QtMessageHandler previous = g_previousHandler.load();
    // A message raised while this one is logged goes to the previous handler. A flag per
    // thread instead of swapping the global handler keeps other threads' messages captured.
    if (t_inHandler) {
        if (previous && previous != &sandboxMessageHandler)
            previous(type, context, message);
        return;
    }
    t_inHandler = true;
    if (g_passOn.load() && previous && previous != &sandboxMessageHandler)
        previous(type, context, message);
    if (const std::shared_ptr<SandboxLogger> logger = sharedLogger())
        logger->write(levelOf(type), message);
    t_inHandler = false;
}

} // namespace

// The handler in place is learnt when ours replaces it: fetching it by installing another
// would send other threads' messages to Qt's default handler for that instant.
KEssSandbox::KEssSandbox()
    : d(std::make_unique<Data>())
{
}

KEssSandbox::~KEssSandbox()
{
    if (d->handlerInstalled) {
        const QtMessageHandler current = qInstallMessageHandler(d->previousHandler);
        if (current != &sandboxMessageHandler)
            qInstallMessageHandler(current); // someone replaced ours; leave theirs
    }
    if (d->deferredCleanup)
        std::exchange(d->deferredCleanup, nullptr)();
    shareLogger(nullptr);
    d->info = SandboxInfo();
    // A thread still writing keeps the logger; its line is flushed when it lets go.
    if (d->logger)
        d->logger->flush();
    d->logger.reset();
}

void KEssSandbox::initialize(const SandboxInfo &info)
{
    if (d->initialised)
        return;
    d->initialised = true;
    d->ownerThread = QThread::currentThreadId();
    d->info = info;
    d->logger = std::make_shared<SandboxLogger>();
    const QString name = QString::number(QDateTime::currentSecsSinceEpoch()) + QStringLiteral(".log");
    d->logger->setPath(logDir().filePath(name));
    // Copies go out before threads can reach the logger, so no line finds it mute.
    d->logger->setDebuggerCopies(true);
    shareLogger(d->logger);
    setLogOptions(CaptureQtMessages | CopyToDebugger);
}

SandboxInfo KEssSandbox::info() const
{
    return d->info;
}

void KEssSandbox::setInfo(const SandboxInfo &info)
{
    d->info = info;
}

// New destinations are switched on before old ones off, so that no line written meanwhile
// by another thread finds none.
void KEssSandbox::setLogOptions(LogOptionFlags flags)
{
    const bool copies = flags.testFlag(CopyToDebugger);
    if (copies)
        d->logger->setDebuggerCopies(true);
    if (flags & LogToFile) {
        if (!d->logger->isFileOpen() && !d->logger->openFile())
            qWarning("Log init error. Disabled.");
        d->logger->setFileWriting(d->logger->isFileOpen());
    } else {
        d->logger->setFileWriting(false);
    }

    if (flags & (CaptureQtMessages | CaptureQtMessagesOnly)) {
        g_passOn.store(flags.testFlag(CaptureQtMessages));
        const QtMessageHandler replaced = qInstallMessageHandler(&sandboxMessageHandler);
        d->previousHandler = replaced != &sandboxMessageHandler ? replaced : g_previousHandler.load();
        g_previousHandler.store(d->previousHandler);
        d->handlerInstalled = true;
    } else if (d->handlerInstalled) {
        qInstallMessageHandler(d->previousHandler);
        d->handlerInstalled = false;
    }

    if (!copies)
        d->logger->setDebuggerCopies(false);
    KESS_DEBUG(QStringLiteral("Current module (") + KessSandBoxHelper::getModuleInfo().modulePath
               + QStringLiteral(") log option flag: ") + QString::number(int(flags)));
}

void KEssSandbox::log(int level, const QString &message)
{
    if (d->logger)
        d->logger->write(level, message);
}

void KEssSandbox::debug(const QString &message)
{
    log(kess::LevelDebug, message);
}

void KEssSandbox::warning(const QString &message)
{
    log(kess::LevelWarning, message);
}

void KEssSandbox::critical(const QString &message)
{
    log(kess::LevelCritical, message);
}

void KEssSandbox::fatal(const QString &message)
{
    log(kess::LevelFatal, message);
}

QString KEssSandbox::logFilePath() const
{
    return d->logger ? d->logger->path() : QString();
}

bool KEssSandbox::isLoggingToFile() const
{
    return d->logger && d->logger->isFileWriting();
}

void KEssSandbox::setSettingsInFile(bool inFile)
{
    d->settingsInFile = inFile;
}

bool KEssSandbox::settingsInFile() const
{
    return d->settingsInFile;
}

QString KEssSandbox::Data::registryKey() const
{
    return QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Brindlex\\Office\\6.0\\plugins\\") + info.appId;
}

QVariant KEssSandbox::value(const QString &key, const QVariant &defaultValue) const
{
    if (!d->settingsInFile)
        return KRegistry::value(d->registryKey(), key, defaultValue);
    QSettings store(dataDir().filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    return store.value(QStringLiteral("config/") + key, defaultValue);
}

void KEssSandbox::setValue(const QString &key, const QVariant &value)
{
    if (!d->settingsInFile) {
        KRegistry::setValue(d->registryKey(), key, value);
        return;
    }
    QSettings store(dataDir().filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    store.beginGroup(QStringLiteral("config"));
    store.setValue(key, value);
    store.endGroup();
}

bool KEssSandbox::isOwnerThread() const
{
    return d->ownerThread == QThread::currentThreadId();
}

KEssSandbox *CreateSandbox(const SandboxInfo &info)
{
    if (KEssSandbox *existing = g_sandbox.load())
        return existing;
    auto *sandbox = new KEssSandbox;
    sandbox->initialize(info);
    g_sandbox.store(sandbox);
    g_override.store(nullptr);
    return sandbox;
}

KEssSandbox *GetSandbox()
{
    KEssSandbox *override = g_override.load();
    return override ? override : g_sandbox.load();
}

bool WriteSandboxLog(int level, const QString &message)
{
    if (KEssSandbox *override = g_override.load()) {
        override->log(level, message);
        return true;
    }
    const std::shared_ptr<SandboxLogger> logger = sharedLogger();
    if (!logger)
        return false;
    logger->write(level, message);
    return true;
}

void DestroySandbox()
{
    // The deferred clean-up still logs into the file: the logger is shared until the end.
    delete g_sandbox.exchange(nullptr);
}

void SetSandboxOverride(KEssSandbox *sandbox)
{
    g_override.store(sandbox);
}
