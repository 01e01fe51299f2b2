// Preview latency: from a watermark or colour change to the repainted preview of a page
// rendered at 200 %, and the longest the interface thread went without serving its events.
//
//   bench_preview [changes=50]

#include <kpreviewpage.h>
#include <krt.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

QImage page200()
{
    // An A4 page at 192 dots per inch with some text-like bars.
    QImage page(1588, 2246, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::white);
    QPainter painter(&page);
    for (int y = 180; y < 2100; y += 48)
        painter.fillRect(180, y, 1228 - (y % 5) * 60, 22, QColor(0x55, 0x55, 0x55));
    return page;
}

WatermarkSetting change(int i)
{
    static const QRgb colors[] = {0xC11900, 0xFF2500, 0x01B1F1, 0x002060, 0x7130A0, 0x222226};
    WatermarkSetting setting;
    setting.setStyle(i % 6);
    setting.setColor(QColor(colors[i % 6]));
    setting.setRotate(i % 4 == 0 ? 0 : 330);
    setting.setSize(i % 3);
    setting.setPolicy(i % 5 == 0 ? 0 : 1);
    setting.setOpacity(0.1 + (i % 9) * 0.1);
    return setting;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    krt::host::initialize();
    const int changes = argc > 1 ? std::max(1, atoi(argv[1])) : 50;

    KPreviewPage preview;
    preview.resize(400, 520);
    preview.show();
    preview.setPageImage(page200());
    QEventLoop settle;
    QObject::connect(&preview, &KPreviewPage::previewUpdated, &settle, &QEventLoop::quit);
    settle.exec();

    // A 1 ms timer: the largest gap between its ticks is how long the thread was blocked.
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (lastTick)
            longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
    });
    ticker.start();

    std::vector<double> latencies;
    for (int i = 0; i < changes; ++i) {
        QEventLoop wait;
        QObject::connect(&preview, &KPreviewPage::previewUpdated, &wait, &QEventLoop::quit);
        const qint64 start = clock.nsecsElapsed();
        preview.setWatermark(change(i));
        wait.exec();
        preview.repaint(); // the repaint itself counts
        latencies.push_back((clock.nsecsElapsed() - start) / 1e6);
        // Let the ticker run between changes as a user would leave time between clicks.
        QEventLoop idle;
        QTimer::singleShot(5, &idle, &QEventLoop::quit);
        idle.exec();
    }
    ticker.stop();
    std::vector<double> sorted = latencies;
    std::sort(sorted.begin(), sorted.end());
    std::printf("preview of a 1588x2246 page into %dx%d, %d changes\n", preview.targetRect().width(),
                preview.targetRect().height(), changes);
    std::printf("latency ms: median %.1f  worst %.1f  best %.1f\n", sorted[sorted.size() / 2], sorted.back(),
                sorted.front());
    std::printf("interface thread longest gap between 1 ms ticks: %.1f ms\n", longestGap / 1e6);
    return 0;
}
