#pragma once

#include <kexportimagetask.h>

#include <QColor>
#include <QSemaphore>
#include <QSize>
#include <atomic>

// A task whose "document" is a list of plain-coloured pages of chosen sizes, so the engine
// can be driven without a host document.
class TestRenderTask : public KExportImageTask
{
public:
    struct Page
    {
        QSize size;
        QColor color;
        int column = 0;
    };

    QList<Page> pages;
    int pageDelayMs = 0;
    std::atomic<int> pagesRendered{0};
    // Released as each page is rendered, so a test can act in the middle of an export.
    QSemaphore pageWritten;
    // Simulates a cancel that arrives while the long picture is being composed.
    bool cancelDuringComposition = false;

    static TestRenderTask *sized(const QList<QSize> &sizes, const QColor &color = Qt::red)
    {
        auto *task = new TestRenderTask;
        for (const QSize &size : sizes)
            task->pages.append({size, color, 0});
        return task;
    }

    static TestRenderTask *uniform(int count, const QSize &size, const QColor &color)
    {
        return sized(QVector<QSize>(count, size).toList(), color);
    }

    int pageCount() override { return pages.size(); }

    QImage previewImage() override { return pages.isEmpty() ? QImage() : pageImage(1); }

    bool renderPages(const ExportImageOptions &options) override
    {
        const auto render = [this](const PagePlace &place) {
            if (pageDelayMs > 0)
                msleep(pageDelayMs);
            if (isCanceled()) // a slow renderer gives up as soon as it is told
                return QImage();
            ++pagesRendered;
            pageWritten.release();
            return pageImage(place.number);
        };
        return walkPages(options, pages.size(), render, [this](const PagePlace &place, QImage &page) {
            addPageImage(pages.at(place.number - 1).column, page);
            return true;
        });
    }

    QImage pageImage(int number) const
    {
        const Page &page = pages.at(number - 1);
        QImage image(page.size, QImage::Format_ARGB32_Premultiplied);
        image.fill(page.color);
        return image;
    }

protected:
    QList<QImage> prepareColumn(const QList<QImage> &images) override
    {
        if (cancelDuringComposition)
            requestCancel();
        return images;
    }
};
