#pragma once

#include <atomic>
#include <memory>

// Stand-in for the native thread class: derive, implement run(), start().
// A derived class must make run() return and call join() in its own destructor; the base
// destructor joins too, but by then the derived part is gone.
class KThread
{
public:
    KThread();
    virtual ~KThread();
    KThread(const KThread &) = delete;
    KThread &operator=(const KThread &) = delete;

    // False when the thread is already started or cannot be created.
    bool start();
    // Waits for run() to return; does nothing when not started or called from the thread itself.
    void join();
    bool isRunning() const;

protected:
    virtual void run() = 0;

private:
    struct Data;
    std::unique_ptr<Data> d;
};
