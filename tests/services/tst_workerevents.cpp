#include "ktestmain.h"

#include <kcriticalsection.h>
#include <kevent.h>
#include <kthread.h>

#include <functional>

namespace {

class FunctionThread : public KThread
{
public:
    explicit FunctionThread(std::function<void()> body) : m_body(std::move(body)) {}
    ~FunctionThread() override { join(); }

protected:
    void run() override { m_body(); }

private:
    std::function<void()> m_body;
};

} // namespace

// The thread and event stand-ins the report worker is built on.
class TestWorkerEvents : public QObject
{
    Q_OBJECT
private slots:
    void resetModes()
    {
        KEvent automatic(KEvent::AutoReset);
        QVERIFY(!automatic.wait(0));
        automatic.set();
        automatic.set(); // not counted: still one wake-up
        QVERIFY(automatic.wait(0));
        QVERIFY(!automatic.wait(20));

        KEvent manual(KEvent::ManualReset, true);
        QVERIFY(manual.wait(0) && manual.wait(0));
        manual.reset();
        QVERIFY(!manual.wait(10));
    }

    void waitAnyPrefersTheFirstAndTimesOut()
    {
        KEvent stop(KEvent::ManualReset);
        KEvent work(KEvent::AutoReset);
        QCOMPARE(KEvent::waitAny({&stop, &work}, 10), -1);
        work.set();
        stop.set();
        QCOMPARE(KEvent::waitAny({&stop, &work}, 0), 0);
        QVERIFY(work.isSet()); // the losing auto-reset event keeps its signal
    }

    void threadWakesOnAnotherThreadsSignal()
    {
        KEvent request(KEvent::AutoReset);
        KEvent stop(KEvent::ManualReset);
        KCriticalSection section;
        int handled = 0;
        FunctionThread worker([&] {
            while (KEvent::waitAny({&stop, &request}) == 1) {
                KCriticalSectionLocker lock(section);
                ++handled;
            }
        });
        QVERIFY(worker.start());
        QVERIFY(!worker.start());
        request.set();
        QTRY_VERIFY(([&] { KCriticalSectionLocker lock(section); return handled == 1; })());
        stop.set();
        worker.join();
        QVERIFY(!worker.isRunning());
    }
};

KTAVRO_TEST_MAIN(TestWorkerEvents)
#include "tst_workerevents.moc"
