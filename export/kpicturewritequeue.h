#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <memory>

class QThread;

// Writes pictures on a thread of its own while the next page renders. At most a few jobs
// wait, so the pictures held in memory stay bounded; jobs run in the order given.
class KPictureWriteQueue
{
public:
    using Job = std::function<bool()>;

    explicit KPictureWriteQueue(int maxWaiting = 2);
    ~KPictureWriteQueue();
    KPictureWriteQueue(const KPictureWriteQueue &) = delete;
    KPictureWriteQueue &operator=(const KPictureWriteQueue &) = delete;

    // Blocks while the queue is full. False once any job has failed; later jobs are dropped.
    bool push(Job job);
    // Waits for every job; false when any failed.
    bool finish();

private:
    void work();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    const size_t m_maxWaiting;
    bool m_busy = false;
    bool m_failed = false;
    bool m_stopping = false;
    // A QThread rather than a std::thread: painting text needs a thread Qt set up itself.
    std::unique_ptr<QThread> m_thread;
};
