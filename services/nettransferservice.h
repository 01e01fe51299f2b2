#pragma once

#include <QByteArray>
#include <memory>

struct NetTransferServicePrivate;

// Process-wide queue of report requests (complete URLs), performed one after the other as
// HTTP GET by its own worker thread; answers and failures are ignored.
class NetTransferService
{
public:
    // Starts the worker at once.
    NetTransferService();
    // Requests still queued are dropped; one in flight is abandoned, so this never waits
    // longer than the time-out.
    virtual ~NetTransferService();
    NetTransferService(const NetTransferService &) = delete;
    NetTransferService &operator=(const NetTransferService &) = delete;

    // The service every report goes through, made on first use.
    static NetTransferService *instance();
    // Queues one request there, unless the host turned reports off.
    static void postInfo(const QByteArray &url);

    virtual void enqueue(const QByteArray &url);
    // Per-request time-out; 20000 ms unless set. Values of 0 or less are ignored.
    void setTimeout(int milliseconds);
    int timeout() const;
    // The feedback server from the suite's registry, else the collection server.
    QByteArray feedbackServer() const;

private:
    std::unique_ptr<NetTransferServicePrivate> d;
};
