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
    // Released after each page is written, so a test can act in the middle of an export.
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
        setPageCountValue(pages.size());
        const QList<int> numbers = selectedPageNumbers(options.pages, pages.size());
        if (numbers.isEmpty())
            return false;
        return options.longPicture ? queuePages(numbers) : writePages(numbers, options);
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
        if (cancelDuringComposition) {
            QWriteLocker lock(&m_lock);
            m_cancelRequested = true;
        }
        return images;
    }

private:
    bool queuePages(const QList<int> &numbers)
    {
        for (int n : numbers) {
            if (isCanceled())
                return false;
            addPageImage(pages.at(n - 1).column, pageImage(n));
            ++pagesRendered;
        }
        return true;
    }

    bool writePages(const QList<int> &numbers, const ExportImageOptions &options)
    {
        const QString folder = createOutputFolder(options);
        if (folder.isEmpty())
            return false;
        for (int n : numbers) {
            if (pageDelayMs > 0)
                msleep(pageDelayMs);
            if (isCanceled())
                return false;
            QImage image = pageImage(n);
            if (!savePageImage(image, pageFilePath(folder, options.fileName, n, options.suffix), options))
                return false;
            ++pagesRendered;
            pageWritten.release();
        }
        return true;
    }
};
