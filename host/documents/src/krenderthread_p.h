#pragma once

#include <QImage>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

// Renders one document copy's pages one after another on a thread that lasts as long as the
// copy. Its heap keeps the memory of the pictures freed before for the next pages; a thread
// per page would take a fresh heap and fault every page's pixels in anew.
class KRenderThread
{
public:
    KRenderThread();
    // Finishes the pages already handed over, then ends the thread.
    ~KRenderThread();
    KRenderThread(const KRenderThread &) = delete;
    KRenderThread &operator=(const KRenderThread &) = delete;

    std::future<QImage> render(std::function<QImage()> page);

private:
    void serve();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::packaged_task<QImage()>> m_pages;
    bool m_ending = false;
    std::thread m_thread; // last: starts once the rest is there
};
