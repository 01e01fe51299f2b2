#include "nettransferservice.h"

#include <kcriticalsection.h>
#include <kevent.h>
#include <kregquery.h>
#include <krtservices.h>
#include <kthread.h>

#include <curl/curl.h>

#include <QDebug>

#include <atomic>
#include <deque>
#include <mutex>

namespace {

size_t discardAnswer(char *, size_t size, size_t count, void *)
{
    return size * count;
}

// Lets a stop abandon the transfer in flight instead of waiting out its time-out.
int abortWhenStopping(void *stopEvent, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<KEvent *>(stopEvent)->isSet() ? 1 : 0;
}

void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

class NetTransferThread : public KThread
{
public:
    explicit NetTransferThread(NetTransferServicePrivate &service) : m_service(service) {}
    ~NetTransferThread() override { stop(); }

    void stop()
    {
        m_stopEvent.set();
        join();
    }

protected:
    void run() override;

private:
    CURL *createHandle();
    void drainQueue(CURL *handle);
    void perform(CURL *handle, const QByteArray &url);

    NetTransferServicePrivate &m_service;
    KEvent m_stopEvent{KEvent::ManualReset};
};

struct NetTransferServicePrivate
{
    bool takeOldest(QByteArray &url);

    std::atomic<int> timeoutMs{20000};
    KCriticalSection queueLock;
    std::deque<QByteArray> queue;
    KEvent queueEvent{KEvent::AutoReset};
    QByteArray feedbackServer;
    // Last, so it is stopped before the queue and events go.
    NetTransferThread thread{*this};
};

bool NetTransferServicePrivate::takeOldest(QByteArray &url)
{
    KCriticalSectionLocker lock(queueLock);
    if (queue.empty())
        return false;
    url = queue.back();
    queue.pop_back();
    return true;
}

CURL *NetTransferThread::createHandle()
{
    CURL *handle = curl_easy_init();
    if (!handle)
        return nullptr;
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, discardAnswer);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, abortWhenStopping);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &m_stopEvent);
    return handle;
}

void NetTransferThread::run()
{
    if (krt::isVldTurnedOn())
        return;
    CURL *handle = createHandle();
    if (!handle)
        return;
    while (KEvent::waitAny({&m_stopEvent, &m_service.queueEvent}) == 1)
        drainQueue(handle);
    curl_easy_cleanup(handle);
}

// One wake-up may stand for many requests: the event is auto-reset and callers may queue
// faster than the worker wakes, so everything queued goes out now, oldest first.
void NetTransferThread::drainQueue(CURL *handle)
{
    QByteArray url;
    while (!m_stopEvent.isSet() && m_service.takeOldest(url))
        perform(handle, url);
}

void NetTransferThread::perform(CURL *handle, const QByteArray &url)
{
    curl_easy_setopt(handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(m_service.timeoutMs.load()));
    curl_easy_perform(handle);
}

NetTransferService::NetTransferService()
    : d(std::make_unique<NetTransferServicePrivate>())
{
    initCurlOnce();
    d->feedbackServer = _zda_RegQueryValue(4, QStringLiteral("plgpf"), QStringLiteral("feedbacksvr")).toUtf8();
    d->thread.start();
}

NetTransferService::~NetTransferService()
{
    d->thread.stop();
}

NetTransferService *NetTransferService::instance()
{
    static NetTransferService service;
    return &service;
}

void NetTransferService::postInfo(const QByteArray &url)
{
    if (krt::product::isDisableGlobalInfocollect() || krt::isVldTurnedOn())
        return;
    instance()->enqueue(url);
}

void NetTransferService::enqueue(const QByteArray &url)
{
    if (url.isEmpty())
        return;
    KCriticalSectionLocker lock(d->queueLock);
    d->queue.push_front(url);
    d->queueEvent.set();
}

void NetTransferService::setTimeout(int milliseconds)
{
    // libcurl reads 0 as "no limit": one silent server would hold the queue for ever.
    if (milliseconds <= 0) {
        qWarning() << "NetTransferService: ignoring the time-out" << milliseconds;
        return;
    }
    d->timeoutMs = milliseconds;
}

int NetTransferService::timeout() const
{
    return d->timeoutMs;
}

QByteArray NetTransferService::feedbackServer() const
{
    if (!d->feedbackServer.isEmpty())
        return d->feedbackServer;
    return krt::product::serverUrl(QStringLiteral("InfoCollectServer")).toUtf8();
}
