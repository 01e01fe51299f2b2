// Composing 15 A4 pages at 192 dpi into one long picture, and tiling a text watermark
// over the result. `bench_compose --memory` reports the peak memory of one composition
// instead of timing it.
#include <kexportimagetask.h>
#include <krt.h>
#include <watermarkpainter.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <cstring>

namespace {

const QSize kA4At192(1588, 2246);
const int kPages = 15;

QImage pageImage(int number)
{
    QImage page(kA4At192, QImage::Format_RGB32); // as the renderers hand pages over
    page.fill(Qt::white);
    QPainter p(&page);
    p.fillRect(QRect(150, 150 + number * 20, 1288, 1800), QColor(230, 235, 245));
    return page;
}

// Exposes the composition step of the engine.
class ComposeTask : public KExportImageTask
{
public:
    void queuePages()
    {
        for (int i = 0; i < kPages; ++i)
            addPageImage(0, pageImage(i));
    }
    bool compose(QImage &out) { return composeLongPicture(out); }
};

void BM_ComposeLongPicture(benchmark::State &state)
{
    ComposeTask task;
    for (auto _ : state) {
        state.PauseTiming();
        task.queuePages();
        state.ResumeTiming();
        QImage picture;
        if (!task.compose(picture))
            state.SkipWithError("composition failed");
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kPages);
}
BENCHMARK(BM_ComposeLongPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TileTextWatermark(benchmark::State &state)
{
    ComposeTask task;
    task.queuePages();
    QImage picture;
    task.compose(picture);
    WatermarkSetting setting;
    setting.setStyle(int(state.range(0)));
    setting.setPolicy(WatermarkPolicyTile);
    setting.setText(QStringLiteral("Brindlex Office"));
    setting.setScale(2);
    for (auto _ : state)
        paintWatermark(picture, &setting);
}
BENCHMARK(BM_TileTextWatermark)->Arg(WatermarkStyleText)->Arg(WatermarkStyleCircle)->Arg(WatermarkStyleRectangle)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

long statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Resets the peak so that it measures only what follows.
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

int reportMemory()
{
    const double pageMiB = kA4At192.width() * double(kA4At192.height()) * 4 / (1 << 20);
    ComposeTask task;
    const long before = statusKiB("VmRSS:");
    task.queuePages();
    const long withPages = statusKiB("VmRSS:");
    resetPeak();
    QImage picture;
    task.compose(picture);
    const long peak = statusKiB("VmHWM:");
    const double composedMiB = picture.sizeInBytes() / double(1 << 20);
    std::printf("page %.1f MiB, composed picture %.1f MiB (%d x %d)\n", pageMiB, composedMiB, picture.width(),
                picture.height());
    std::printf("pages queued by the renderer: %.1f MiB\n", (withPages - before) / 1024.0);
    // Pages are given back as they are drawn while the picture's memory is touched row by
    // row, so the peak should stay near one picture plus the page at hand.
    const double peakMiB = (peak - before) / 1024.0;
    std::printf("peak resident memory of pages and composition: %.1f MiB = composed picture + %.2f pages\n",
                peakMiB, (peakMiB - composedMiB) / pageMiB);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    krt::host::initialize();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--memory") == 0)
            return reportMemory();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
