#include "kevent.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// One monitor for every event: waiting on several events at once then needs no
// registration of waiters per event, and the few events of the add-on never contend.
// Never destroyed, so events owned by other statics still work during exit.
std::mutex &monitorMutex()
{
    static auto *mutex = new std::mutex;
    return *mutex;
}

std::condition_variable &monitorCondition()
{
    static auto *condition = new std::condition_variable;
    return *condition;
}

} // namespace

KEvent::KEvent(ResetMode mode, bool initiallySet)
    : m_mode(mode)
    , m_set(initiallySet)
{
}

KEvent::~KEvent() = default;

void KEvent::set()
{
    {
        std::lock_guard<std::mutex> lock(monitorMutex());
        m_set = true;
    }
    monitorCondition().notify_all();
}

void KEvent::reset()
{
    std::lock_guard<std::mutex> lock(monitorMutex());
    m_set = false;
}

bool KEvent::isSet() const
{
    std::lock_guard<std::mutex> lock(monitorMutex());
    return m_set;
}

bool KEvent::consumeLocked()
{
    if (!m_set)
        return false;
    if (m_mode == AutoReset)
        m_set = false;
    return true;
}

bool KEvent::wait(int timeoutMs)
{
    return waitAny({this}, timeoutMs) == 0;
}

int KEvent::waitAny(std::initializer_list<KEvent *> events, int timeoutMs)
{
    if (events.size() == 0)
        return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock<std::mutex> lock(monitorMutex());
    for (;;) {
        int index = 0;
        for (KEvent *event : events) {
            if (event && event->consumeLocked())
                return index;
            ++index;
        }
        if (timeoutMs < 0)
            monitorCondition().wait(lock);
        else if (std::chrono::steady_clock::now() >= deadline)
            return -1;
        else
            monitorCondition().wait_until(lock, deadline);
    }
}
