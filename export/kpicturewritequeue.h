#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <memory>
#include <vector>

class QThread;

// Encodes and writes pictures on threads of their own while the next pages render. A job
// prepares its picture (watermark, encoding) on any of the threads, side by side with the
// others, and hands back the step that puts it in place; those steps run one at a time in
// the order the jobs came, so files appear in page order. At most a few jobs wait, so the
// pictures held in memory stay bounded.
class KPictureWriteQueue
{
public:
    // Puts a prepared picture in place; false when that fails.
    using Finish = std::function<bool()>;
    // Prepares a picture; an empty Finish when that fails.
    using Job = std::function<Finish()>;

    explicit KPictureWriteQueue(int maxWaiting = 2, int threads = 1);
    ~KPictureWriteQueue();
    KPictureWriteQueue(const KPictureWriteQueue &) = delete;
    KPictureWriteQueue &operator=(const KPictureWriteQueue &) = delete;

    // Blocks while the queue is full. False once any job has failed; later jobs are dropped.
    bool push(Job job);
    // Waits for every job; false when any failed.
    bool finish();

    // One thread per core, at most a few.
    static int threadsForCores();

private:
    void work();
    bool runJob(Job &job, long ticket, std::unique_lock<std::mutex> &lock);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::pair<long, Job>> m_jobs;
    const size_t m_maxWaiting;
    long m_nextTicket = 0;
    long m_nextFinish = 0; // the ticket whose Finish may run now
    int m_busy = 0;
    bool m_failed = false;
    bool m_stopping = false;
    // QThreads rather than std::threads: painting text needs a thread Qt set up itself.
    std::vector<std::unique_ptr<QThread>> m_threads;
};
