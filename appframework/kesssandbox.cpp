#include "kesssandbox_p.h"

#include "kesslog.h"
#include "kesssandboxhelper.h"

#include <kregistry.h>

#include <QDateTime>
#include <QSettings>

#include <atomic>

namespace {

KEssSandbox *g_sandbox = nullptr;
KEssSandbox *g_override = nullptr;

// State of the Qt message handler; messages may arrive on any thread.
std::atomic<SandboxLogger *> g_handlerLogger{nullptr};
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
    if (SandboxLogger *logger = g_handlerLogger.load())
        logger->write(levelOf(type), message);
    t_inHandler = false;
}

} // namespace

KEssSandbox::KEssSandbox()
    : d(std::make_unique<Data>())
{
    // Fetch the handler in place and put it straight back.
    d->previousHandler = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(d->previousHandler);
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
    g_handlerLogger.store(nullptr);
    d->info = SandboxInfo();
    d->logger.reset(); // flushes and closes the log file
}

void KEssSandbox::initialize(const SandboxInfo &info)
{
    if (d->initialised)
        return;
    d->initialised = true;
    d->ownerThread = QThread::currentThreadId();
    d->info = info;
    d->logger = std::make_unique<SandboxLogger>();
    g_handlerLogger.store(d->logger.get());
    const QString name = QString::number(QDateTime::currentSecsSinceEpoch()) + QStringLiteral(".log");
    d->logger->setPath(logDir().filePath(name));
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

void KEssSandbox::setLogOptions(LogOptionFlags flags)
{
    if (flags & LogToFile) {
        if (!d->logger->isFileOpen() && !d->logger->openFile())
            qWarning("Log init error. Disabled.");
        d->logger->setFileWriting(d->logger->isFileOpen());
    } else {
        d->logger->setFileWriting(false);
    }

    if (flags & (CaptureQtMessages | CaptureQtMessagesOnly)) {
        const QtMessageHandler replaced = qInstallMessageHandler(&sandboxMessageHandler);
        if (replaced != &sandboxMessageHandler)
            d->previousHandler = replaced;
        g_previousHandler.store(d->previousHandler);
        g_passOn.store(flags.testFlag(CaptureQtMessages));
        d->handlerInstalled = true;
    } else if (d->handlerInstalled) {
        qInstallMessageHandler(d->previousHandler);
        d->handlerInstalled = false;
    }

    d->logger->setDebuggerCopies(flags.testFlag(CopyToDebugger));
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
        return KRegistry::open(d->registryKey())->value(key, defaultValue);
    QSettings store(dataDir().filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    return store.value(QStringLiteral("config/") + key, defaultValue);
}

void KEssSandbox::setValue(const QString &key, const QVariant &value)
{
    if (!d->settingsInFile) {
        KRegistry::open(d->registryKey())->setValue(key, value);
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
    if (g_sandbox)
        return g_sandbox;
    g_sandbox = new KEssSandbox;
    g_sandbox->initialize(info);
    g_override = nullptr;
    return g_sandbox;
}

KEssSandbox *GetSandbox()
{
    return g_override ? g_override : g_sandbox;
}

void DestroySandbox()
{
    // Still reachable while it goes, so that the deferred clean-up logs into its file.
    delete g_sandbox;
    g_sandbox = nullptr;
}

void SetSandboxOverride(KEssSandbox *sandbox)
{
    g_override = sandbox;
}
