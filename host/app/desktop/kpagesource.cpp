#include "kpagesource.h"

#include <kimagepainter.h>
#include <kpainterext.h>
#include <kpdfbackend.h>
#include <kpresentation.h>
#include <krt.h>
#include <kspreadsheet.h>
#include <kwriterdocument.h>

#include <QCoreApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QVector>

#include <cmath>

namespace {

constexpr double kViewDpi = 96.0;
// A page bitmap larger than this is refused instead of exhausting memory at a high zoom.
constexpr qint64 kMostPixels = qint64(64) * 1024 * 1024;

bool fits(const QSizeF &size, double scale)
{
    const double w = size.width() * scale;
    const double h = size.height() * scale;
    return scale > 0 && w >= 1 && h >= 1 && w * h <= double(kMostPixels);
}

// Sizes of pages that can only be measured by drawing them: the first page's size stands
// for every page until a page is drawn and shows its own.
class KMeasuredSizes
{
public:
    void reset(int count, const QSizeF &first)
    {
        QMutexLocker lock(&m_mutex);
        m_sizes = QVector<QSizeF>(count, first);
    }
    QSizeF at(int i)
    {
        QMutexLocker lock(&m_mutex);
        return i >= 0 && i < m_sizes.size() ? m_sizes[i] : QSizeF();
    }
    void learn(int i, const QImage &image, double scale)
    {
        QMutexLocker lock(&m_mutex);
        if (i < 0 || i >= m_sizes.size() || image.isNull())
            return;
        const QSizeF drawn(image.width() / scale, image.height() / scale);
        // Pixels are whole: a size within rounding is the same size, or the view would
        // lay out and render again for ever.
        const double slack = 1.0 / scale + 0.5;
        if (qAbs(drawn.width() - m_sizes[i].width()) > slack || qAbs(drawn.height() - m_sizes[i].height()) > slack)
            m_sizes[i] = drawn;
    }

private:
    QMutex m_mutex;
    QVector<QSizeF> m_sizes;
};

// Pages whose sizes are learnt by drawing them: the first page is drawn on refresh, the
// others when they are rendered.
class KMeasuredPages : public KPageSource
{
public:
    int pageCount() override { return m_count; }
    QSizeF pageSize(int i) override { return m_sizes.at(i); }
    QImage render(int i, double scale) override
    {
        if (!fits(pageSize(i), scale))
            return QImage();
        const QImage image = draw(i, scale);
        m_sizes.learn(i, image, drawnScale(scale));
        return image;
    }

protected:
    virtual QImage draw(int i, double scale) = 0;
    // The scale a picture drawn at this one really has.
    virtual double drawnScale(double scale) const { return scale; }
    void measure(int count)
    {
        m_count = qMax(0, count);
        m_sizes.reset(m_count, QSizeF(draw(0, 1.0).size()));
    }
    int m_count = 0;

private:
    KMeasuredSizes m_sizes;
};

class KPdfPages : public KPageSource
{
public:
    explicit KPdfPages(KComPtr<IKPdfDocument> pdf) : m_pdf(std::move(pdf)) {}
    int pageCount() override { return m_pdf->pageCount(); }
    QSizeF pageSize(int i) override
    {
        if (i < 0 || i >= pageCount())
            return QSizeF();
        return m_pdf->pageSize(i) * (kViewDpi / krt::host::screenDpi());
    }
    QImage render(int i, double scale) override
    {
        if (!fits(pageSize(i), scale))
            return QImage();
        // Straight to Poppler: the export's read-ahead would render pages nobody looks at.
        if (auto *backend = dynamic_cast<KPdfBackend *>(m_pdf.get()))
            return backend->renderPageAtDpi(i, kViewDpi * scale);
        return m_pdf->renderPage(i, float(scale * kViewDpi / krt::host::screenDpi()));
    }

private:
    KComPtr<IKPdfDocument> m_pdf;
};

class KWriterPages : public KMeasuredPages
{
public:
    explicit KWriterPages(KComPtr<IKWriterDocument> writer) : m_writer(std::move(writer)) { refresh(); }

    void refresh() override
    {
        m_renderer.reset();
        KComPtr<IKDocView> view;
        KComPtr<IKDocLayout> layout;
        if (kSucceeded(m_writer->activeView(view.put())) && view && kSucceeded(view->layout(1, layout.put())) && layout)
            layout->pageRenderer(m_renderer.put());
        int count = 0;
        if (m_renderer)
            m_renderer->pageCount(&count);
        measure(count);
    }
    bool rendersOffThread() override
    {
        KComPtr<IKDocStateLock> state;
        KComPtr<IKUnknown> lock;
        if (kSucceeded(m_writer->documentState(state.put())) && state)
            state->renderThreadLock(lock.put());
        return !lock;
    }

private:
    // Drawn at a whole resolution, which is what the picture's size tells about.
    double drawnScale(double scale) const override { return qRound(kViewDpi * scale) / kViewDpi; }
    QImage draw(int i, double scale) override
    {
        KComPtr<IKPage> page;
        QImage image;
        const int dpi = qRound(kViewDpi * scale);
        if (m_renderer && i >= 0 && i < m_count && kSucceeded(m_renderer->page(i + 1, page.put())) && page)
            page->render(&image, dpi, dpi);
        return image;
    }

    KComPtr<IKWriterDocument> m_writer;
    KComPtr<IKPageRenderer> m_renderer;
};

class KSlidePages : public KMeasuredPages
{
public:
    explicit KSlidePages(KComPtr<IKPresApplication> app) : m_app(std::move(app)) { refresh(); }

    void refresh() override
    {
        m_slides.reset();
        KComPtr<IKPresentation> presentation;
        if (kSucceeded(m_app->activePresentation(presentation.put())) && presentation)
            presentation->slides(m_slides.put());
        int count = 0;
        if (m_slides)
            m_slides->count(&count);
        measure(count);
    }

private:
    QImage draw(int i, double scale) override
    {
        KComPtr<IKSlide> slide;
        QImage image;
        const float zoom = float(scale * kViewDpi / krt::host::screenDpi());
        if (m_slides && i >= 0 && i < m_count && kSucceeded(m_slides->item(QVariant(i + 1), slide.put())) && slide)
            slide->render(&image, zoom, false);
        return image;
    }

    KComPtr<IKPresApplication> m_app;
    KComPtr<IKSlides> m_slides;
};

void widen(KCellRange &range, const KCellRange &more)
{
    if (more.isEmpty())
        return;
    if (range.isEmpty()) {
        range = more;
        return;
    }
    range.firstRow = qMin(range.firstRow, more.firstRow);
    range.lastRow = qMax(range.lastRow, more.lastRow);
    range.firstColumn = qMin(range.firstColumn, more.firstColumn);
    range.lastColumn = qMax(range.lastColumn, more.lastColumn);
}

KCellRange boundsOf(IKCellRange *range)
{
    KCellRange bounds;
    if (range)
        range->bounds(&bounds);
    return bounds;
}

void widenByObjects(KCellRange &range, IKSheetObjects *objects)
{
    int count = 0;
    if (!objects || !kSucceeded(objects->count(&count)))
        return;
    for (int i = 0; i < count; ++i) {
        KComPtr<IKSheetObject> object;
        KComPtr<IKCellRange> anchor;
        if (kSucceeded(objects->item(i, object.put())) && object && kSucceeded(object->anchorRange(anchor.put())))
            widen(range, boundsOf(anchor.get()));
    }
}

// The active sheet's cells, pictures and notes as one page.
class KSheetPage : public KPageSource
{
public:
    explicit KSheetPage(KComPtr<IKSheetApplication> app) : m_app(std::move(app)) { refresh(); }

    void refresh() override
    {
        QMutexLocker lock(&m_mutex);
        m_layout.reset();
        m_area = QRectF();
        KComPtr<IKWorkbook> workbook;
        KComPtr<IKWorksheet> sheet;
        if (!kSucceeded(m_app->activeWorkbook(workbook.put())) || !workbook
            || !kSucceeded(workbook->activeSheet(sheet.put())) || !sheet)
            return;
        KCellRange content;
        KComPtr<IKCellRange> used;
        if (kSucceeded(sheet->usedRange(used.put())))
            widen(content, boundsOf(used.get()));
        KComPtr<IKSheetObjects> objects;
        if (kSucceeded(sheet->drawingObjects(objects.put())))
            widenByObjects(content, objects.get());
        if (kSucceeded(sheet->anchoredObjects(objects.put())))
            widenByObjects(content, objects.get());
        KComPtr<IKCellRange> reference;
        if (content.isEmpty() || !kSucceeded(sheet->range(content, reference.put())) || !reference
            || !kSucceeded(sheet->layout(m_layout.put())) || !m_layout)
            return;
        ImagePainter measure(1, 1 << 20);
        int values[4] = {0, 0, 0, 0};
        if (!kSucceeded(m_layout->drawingArea(reference.get(), &measure, &m_area, values)))
            m_area = QRectF();
    }
    int pageCount() override
    {
        QMutexLocker lock(&m_mutex);
        return m_area.isEmpty() ? 0 : 1;
    }
    QSizeF pageSize(int i) override
    {
        QMutexLocker lock(&m_mutex);
        return i == 0 && !m_area.isEmpty() ? m_area.size() : QSizeF();
    }
    QImage render(int i, double scale) override
    {
        QMutexLocker lock(&m_mutex);
        if (i != 0 || m_area.isEmpty() || !fits(m_area.size(), scale))
            return QImage();
        QImage image(int(std::ceil(m_area.width() * scale)), int(std::ceil(m_area.height() * scale)), QImage::Format_RGB32);
        if (image.isNull())
            return image;
        image.fill(Qt::white);
        PainterExt painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setupPageCoordinates();
        painter.scale(scale, scale);
        if (!kSucceeded(m_layout->draw(&painter, m_area, false)))
            return QImage();
        return image;
    }

private:
    QMutex m_mutex;
    KComPtr<IKSheetApplication> m_app;
    KComPtr<IKSheetLayout> m_layout;
    QRectF m_area;
};

} // namespace

std::unique_ptr<KPageSource> KPageSource::create(IKUnknown *document, QString *error)
{
    KComPtr<IKUnknown> held;
    if (document) {
        document->AddRef();
        held = KComPtr<IKUnknown>(document);
    }
    if (auto pdf = held.query<IKPdfDocument>())
        return std::make_unique<KPdfPages>(pdf);
    if (auto writer = held.query<IKWriterDocument>())
        return std::make_unique<KWriterPages>(writer);
    if (auto slides = held.query<IKPresApplication>())
        return std::make_unique<KSlidePages>(slides);
    if (auto sheet = held.query<IKSheetApplication>())
        return std::make_unique<KSheetPage>(sheet);
    if (error)
        *error = document ? QCoreApplication::translate("KPageSource", "The host cannot show this kind of document.")
                          : QCoreApplication::translate("KPageSource", "No document.");
    return nullptr;
}
