#include "ktavromodule.h"

#include <kesssandbox.h>
#include <kexportpictruemgr.h>
#include <krt.h>

#include <QCoreApplication>

#include <mutex>
#include <utility>
#include <vector>

namespace {

// Both lists are reached through function-local statics made on first use: a static is
// destroyed before everything made before it, so the clean-up still finds the sandbox's
// logger (made when the library loaded) alive, at unload as at process exit.
bool g_stepsAlive = false;

struct UnloadSteps
{
    std::mutex mutex;
    std::vector<std::function<void()>> steps;

    UnloadSteps() { g_stepsAlive = true; }
    ~UnloadSteps()
    {
        runAll();
        g_stepsAlive = false;
    }
    void runAll()
    {
        std::vector<std::function<void()>> taken;
        {
            std::lock_guard<std::mutex> lock(mutex);
            taken.swap(steps);
        }
        for (auto it = taken.rbegin(); it != taken.rend(); ++it)
            (*it)();
    }
};

UnloadSteps &registeredSteps()
{
    static UnloadSteps steps;
    return steps;
}

// Made right after the start-up, so it goes before the start-up's own statics.
struct StartupRelease
{
    bool pending = true;
    ~StartupRelease() { release(); }
    void release()
    {
        if (!std::exchange(pending, false))
            return;
        if (g_stepsAlive)
            registeredSteps().runAll();
        // Without the application its objects may not be destroyed safely; the process is
        // ending then, and only the files matter.
        if (QCoreApplication::instance())
            KExportPictrueMgr::release();
        DestroySandbox(); // flushes the log and removes the expired files
    }
};

StartupRelease *g_started = nullptr;

} // namespace

bool KTavroModule::ensureStarted()
{
    if (g_started)
        return true;
    if (!QCoreApplication::instance())
        return false;
    KExportPictrueMgr::instance();
    // The add-on keeps its log in memory and on the debugger unless the host asks for a file.
    KEssSandbox *sandbox = GetSandbox();
    if (sandbox && krt::configs::getRawConfig(QStringLiteral("Debug/AddonLogToFile")).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        sandbox->setLogOptions(KEssSandbox::LogToFile | KEssSandbox::CaptureQtMessages | KEssSandbox::CopyToDebugger);
    static StartupRelease release;
    release.pending = true;
    g_started = &release;
    return true;
}

bool KTavroModule::isStarted()
{
    return g_started != nullptr;
}

void KTavroModule::addUnloadStep(std::function<void()> step)
{
    if (!step)
        return;
    UnloadSteps &steps = registeredSteps();
    std::lock_guard<std::mutex> lock(steps.mutex);
    steps.steps.push_back(std::move(step));
}

void KTavroModule::shutdown()
{
    if (StartupRelease *started = std::exchange(g_started, nullptr))
        started->release();
    else if (g_stepsAlive)
        registeredSteps().runAll();
}
