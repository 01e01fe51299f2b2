#include "kthread.h"

#include <QDebug>

#include <system_error>
#include <thread>

struct KThread::Data
{
    std::thread thread;
    std::atomic<bool> running{false};
};

KThread::KThread()
    : d(std::make_unique<Data>())
{
}

KThread::~KThread()
{
    join();
}

bool KThread::start()
{
    if (d->thread.joinable())
        return false;
    d->running = true;
    try {
        d->thread = std::thread([this] {
            run();
            d->running = false;
        });
    } catch (const std::system_error &error) {
        d->running = false;
        qWarning() << "KThread: cannot create a thread:" << error.what();
        return false;
    }
    return true;
}

void KThread::join()
{
    if (!d->thread.joinable() || d->thread.get_id() == std::this_thread::get_id())
        return;
    d->thread.join();
}

bool KThread::isRunning() const
{
    return d->running;
}
