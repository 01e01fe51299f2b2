#pragma once

// Time from a window's construction to its first paint, for the look programs.
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace benchlook {

// Quits the loop at the first paint of the window it watches.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(QEventLoop *loop) : m_loop(loop) {}
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, m_loop, &QEventLoop::quit);
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop *m_loop;
};

// Builds, shows and deletes a window runs times; prints the median, minimum and maximum.
inline int firstPaint(int runs, const std::function<QWidget *()> &makeWindow)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QEventLoop loop;
        FirstPaint watcher(&loop);
        QElapsedTimer clock;
        clock.start();
        QWidget *window = makeWindow();
        window->installEventFilter(&watcher);
        window->show();
        loop.exec();
        times.push_back(clock.nsecsElapsed() / 1e6);
        delete window;
    }
    std::sort(times.begin(), times.end());
    std::printf("first paint over %d runs: median %.2f ms, min %.2f ms, max %.2f ms\n", runs,
                times[times.size() / 2], times.front(), times.back());
    return 0;
}

} // namespace benchlook
