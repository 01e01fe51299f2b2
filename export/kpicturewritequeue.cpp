#include "kpicturewritequeue.h"

#include <QThread>

KPictureWriteQueue::KPictureWriteQueue(int maxWaiting)
    : m_maxWaiting(size_t(maxWaiting > 0 ? maxWaiting : 1))
    , m_thread(QThread::create([this] { work(); }))
{
    m_thread->start();
}

KPictureWriteQueue::~KPictureWriteQueue()
{
    finish();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread->wait();
}

bool KPictureWriteQueue::push(Job job)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_jobs.size() < m_maxWaiting || m_failed; });
    if (m_failed)
        return false;
    m_jobs.push_back(std::move(job));
    m_changed.notify_all();
    return true;
}

bool KPictureWriteQueue::finish()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
    return !m_failed;
}

void KPictureWriteQueue::work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_jobs.empty() || m_stopping; });
        if (m_jobs.empty())
            return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        const bool skip = m_failed;
        lock.unlock();
        const bool ok = skip || job();
        lock.lock();
        m_busy = false;
        if (!ok) {
            m_failed = true;
            m_jobs.clear(); // nothing after a failed write is wanted any more
        }
        m_changed.notify_all();
    }
}
