#include "ksignals.h"

#include <kopeningcancel.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};
// Long enough for a step that checks for a cancel to notice it and clean up.
constexpr std::chrono::milliseconds kGrace(500);

// Taken by address so that the dynamic linker binds it at load time, not in the handler.
void (*const g_requestCancel)() noexcept = &kopening::requestCancel;

void onSignal(int)
{
    const int saved = errno;
    g_requestCancel();
    const char byte = 1;
    ssize_t ignored = ::write(g_signalPipe[1], &byte, 1);
    (void)ignored;
    errno = saved;
}

} // namespace

void ksignals::install()
{
    std::signal(SIGXFSZ, SIG_IGN);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        g_signalPipe[0] = g_signalPipe[1] = -1;
    else
        ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK); // a burst of signals never blocks the handler
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void ksignals::onCancel(std::function<void()> cancel)
{
    if (g_signalPipe[0] < 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [cancel] {
        char byte;
        ssize_t ignored = ::read(g_signalPipe[0], &byte, 1);
        (void)ignored;
        cancel();
    });
}

struct ksignals::OpeningWatch::Private
{
    std::function<void()> abandon;
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::thread watcher;

    void watch()
    {
        using Clock = std::chrono::steady_clock;
        Clock::time_point since;
        std::unique_lock<std::mutex> lock(mutex);
        while (!done.wait_for(lock, std::chrono::milliseconds(20), [this] { return finished; })) {
            if (!kopening::cancelRequested())
                continue;
            if (since == Clock::time_point())
                since = Clock::now();
            if (Clock::now() - since >= kGrace && kopening::holdings() == 0) {
                abandon();
                std::fflush(nullptr);
                ::_exit(2);
            }
        }
    }
};

ksignals::OpeningWatch::OpeningWatch(std::function<void()> abandon)
    : d(new Private)
{
    d->abandon = std::move(abandon);
    d->watcher = std::thread([p = d] { p->watch(); });
}

ksignals::OpeningWatch::~OpeningWatch()
{
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->finished = true;
    }
    d->done.notify_all();
    d->watcher.join();
    delete d;
}
