// Paint time per frame while the picture viewer scrolls a long picture from top to bottom.
//   viewer_frames [ROWS] [FRAMES]     default 30000 rows of 1588 pixels (A4 at 200 %), 200 frames
//   viewer_frames --shot OUT.png KEYS grabs the whole screen after typing KEYS ("0" fit, "1" 100 %, "e" end)
// Prints median, 95th percentile and worst per zoom; the first pass at a reduced zoom also
// makes the scaled bands, the second finds them made.
#include <kpictureviewer.h>
#include <krt.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Text-like lines on white, like an exported page.
QImage pagePicture(int rows)
{
    QImage page(1588, rows, QImage::Format_RGB32);
    page.fill(Qt::white);
    for (int y = 40; y + 20 < rows; y += 36) {
        const int end = 120 + (y * 7919 % 1300);
        for (int row = y; row < y + 14; ++row) {
            auto *line = reinterpret_cast<QRgb *>(page.scanLine(row));
            std::fill(line + 100, line + end, qRgb(40, 40, 40));
        }
    }
    return page;
}

void report(const char *what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-22s frames %zu  median %.2f ms  p95 %.2f ms  worst %.2f ms\n", what, ms.size(), ms[ms.size() / 2],
                ms[ms.size() * 95 / 100], ms.back());
}

std::vector<double> scrollThrough(KPictureView *view, int frames)
{
    QScrollBar *bar = view->verticalScrollBar();
    std::vector<double> ms;
    QElapsedTimer timer;
    for (int i = 0; i <= frames; ++i) {
        bar->setValue(int(qint64(bar->maximum()) * i / frames));
        timer.start();
        view->viewport()->repaint();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    return ms;
}

int shot(const QString &path, const QString &keys)
{
    KPictureViewer viewer(QStringLiteral("bench.png"), pagePicture(30000));
    viewer.show();
    if (!QTest::qWaitForWindowExposed(&viewer))
        return 1;
    QTest::qWait(300); // the window settles its size first
    for (const QChar key : keys)
        QTest::keyClick(viewer.view(), key == QLatin1Char('e') ? Qt::Key_End : Qt::Key(key.toLatin1()));
    QTest::qWait(300);
    std::printf("zoom %.0f %%, rows %d of %d at the top\n", viewer.view()->scale() * 100,
                viewer.view()->verticalScrollBar()->value(), viewer.view()->verticalScrollBar()->maximum());
    return QGuiApplication::primaryScreen()->grabWindow(0).save(path) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    krt::host::initialize();
    if (argc > 3 && qstrcmp(argv[1], "--shot") == 0)
        return shot(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    const int rows = argc > 1 ? std::max(100, atoi(argv[1])) : 30000;
    const int frames = argc > 2 ? std::max(10, atoi(argv[2])) : 200;
    KPictureViewer viewer(QStringLiteral("bench.png"), pagePicture(rows));
    viewer.show();
    if (!QTest::qWaitForWindowExposed(&viewer))
        return 1;
    KPictureView *view = viewer.view();
    std::printf("picture 1588 x %d, viewport %d x %d, device pixel ratio %.2f\n", rows, view->viewport()->width(),
                view->viewport()->height(), view->viewport()->devicePixelRatioF());
    view->setScale(1.0);
    report("100 %", scrollThrough(view, frames));
    view->fit();
    std::printf("fit: %.0f %%\n", view->scale() * 100);
    report("fit, first pass", scrollThrough(view, frames));
    report("fit, second pass", scrollThrough(view, frames));
    view->setScale(2.0);
    report("200 %", scrollThrough(view, frames));
    return 0;
}
