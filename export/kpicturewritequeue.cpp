#include "kpicturewritequeue.h"

#include <QThread>

#include <algorithm>

KPictureWriteQueue::KPictureWriteQueue(int maxWaiting, int threads)
    : m_maxWaiting(size_t(maxWaiting > 0 ? maxWaiting : 1))
{
    for (int i = 0; i < std::max(1, threads); ++i) {
        m_threads.emplace_back(QThread::create([this] { work(); }));
        m_threads.back()->start();
    }
}

KPictureWriteQueue::~KPictureWriteQueue()
{
    finish();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (const std::unique_ptr<QThread> &thread : m_threads)
        thread->wait();
    // Each worker let go of the lock last; taking it orders their ending before what
    // follows in a way the thread checker sees (Qt's own wait it does not).
    std::lock_guard<std::mutex> ended(m_mutex);
}

int KPictureWriteQueue::threadsForCores()
{
    return std::max(1, std::min(QThread::idealThreadCount(), 8));
}

bool KPictureWriteQueue::push(Job job)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_jobs.size() < m_maxWaiting || m_failed; });
    if (m_failed)
        return false;
    m_jobs.emplace_back(m_nextTicket++, std::move(job));
    m_changed.notify_all();
    return true;
}

bool KPictureWriteQueue::finish()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_jobs.empty() && m_busy == 0; });
    return !m_failed;
}

void KPictureWriteQueue::work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_jobs.empty() || m_stopping; });
        if (m_jobs.empty())
            return;
        std::pair<long, Job> next = std::move(m_jobs.front());
        m_jobs.pop_front();
        ++m_busy;
        const bool ok = runJob(next.second, next.first, lock);
        --m_busy;
        ++m_nextFinish;
        if (!ok && !m_failed) {
            m_failed = true;
            m_jobs.clear(); // nothing after a failed write is wanted any more
        }
        m_changed.notify_all();
    }
}

// Called and left with the lock held; prepares unlocked, then waits for the ticket's turn.
bool KPictureWriteQueue::runJob(Job &job, long ticket, std::unique_lock<std::mutex> &lock)
{
    const bool skip = m_failed;
    Finish finishStep;
    if (!skip) {
        lock.unlock();
        finishStep = job();
        job = Job(); // the picture it held is encoded now
        lock.lock();
    }
    m_changed.wait(lock, [this, ticket] { return m_nextFinish == ticket; });
    if (skip || m_failed)
        return true; // dropped, not failed: the first failure is already recorded
    if (!finishStep)
        return false;
    lock.unlock();
    const bool ok = finishStep();
    lock.lock();
    return ok;
}
