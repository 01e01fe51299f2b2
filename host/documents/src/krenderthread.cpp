#include "krenderthread_p.h"

KRenderThread::KRenderThread()
    : m_thread([this] { serve(); })
{
}

KRenderThread::~KRenderThread()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

std::future<QImage> KRenderThread::render(std::function<QImage()> page)
{
    std::packaged_task<QImage()> task(std::move(page));
    std::future<QImage> result = task.get_future();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pages.push_back(std::move(task));
    }
    m_wake.notify_one();
    return result;
}

void KRenderThread::serve()
{
    for (;;) {
        std::packaged_task<QImage()> task;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_ending || !m_pages.empty(); });
            if (m_pages.empty())
                return;
            task = std::move(m_pages.front());
            m_pages.pop_front();
        }
        task();
    }
}
