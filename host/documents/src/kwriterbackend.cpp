#include "kwriterbackend.h"

#include "kdocumentparts_p.h"

#include "kwriterbounds_p.h"
#include "kwriterdata_p.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QMutex>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextFrame>

namespace {

using kdocumentparts::handOut;

// Layout happens at 96 dots per inch whatever the screen says, so pagination is the same
// on every machine; pages are scaled when rendered at other resolutions.
constexpr double kLayoutDpi = 96.0;
const QSizeF kA4(210 / 25.4 * kLayoutDpi, 297 / 25.4 * kLayoutDpi);
constexpr double kMargin = 20 / 25.4 * kLayoutDpi;

// Layout time doubles with every table inside a table, and deep nesting of any element
// costs time and overflows the stack; deeper documents are refused.
constexpr int kDeepestTables = 12;
constexpr int kDeepestElements = 200;

struct KTextWriterData : KWriterData
{
    QMutex mutex; // one painter on the document at a time
    QImage layoutDevice;
    QTextDocument document;

    KTextWriterData()
        : layoutDevice(1, 1, QImage::Format_RGB32)
    {
        const int dpm = qRound(kLayoutDpi / 0.0254);
        layoutDevice.setDotsPerMeterX(dpm);
        layoutDevice.setDotsPerMeterY(dpm);
        document.setUndoRedoEnabled(false);
        document.setDefaultFont(QFont(QStringLiteral("DejaVu Serif"), 11));
    }

    // The layout is made only now, once the text is complete.
    void paginate()
    {
        kwriterbounds::breakLongRuns(&document);
        document.documentLayout()->setPaintDevice(&layoutDevice);
        document.setPageSize(kA4);
        QTextFrameFormat root = document.rootFrame()->frameFormat();
        root.setMargin(kMargin);
        document.rootFrame()->setFrameFormat(root);
        document.pageCount(); // lay out now, on the thread that built the document
    }

    int pageCount() override
    {
        QMutexLocker lock(&mutex);
        return document.pageCount();
    }

    QImage renderPage(int n, int dpiX, int dpiY) override
    {
        QMutexLocker lock(&mutex);
        if (n < 1 || n > document.pageCount() || dpiX < 1 || dpiY < 1)
            return QImage();
        const double sx = dpiX / kLayoutDpi;
        const double sy = dpiY / kLayoutDpi;
        QImage image(qRound(kA4.width() * sx), qRound(kA4.height() * sy), QImage::Format_RGB32);
        if (image.isNull())
            return image;
        image.fill(Qt::white);
        image.setDotsPerMeterX(qRound(dpiX / 0.0254));
        image.setDotsPerMeterY(qRound(dpiY / 0.0254));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(sx, sy);
        const QRectF page(0, (n - 1) * kA4.height(), kA4.width(), kA4.height());
        painter.translate(0, -page.top());
        document.drawContents(&painter, page);
        return image;
    }

    bool printToPdf(const QString &path, QString *error) override;
};

} // namespace

namespace {

template <typename Interface>
using KWriterPart = kdocumentparts::KDocumentPart<Interface, KWriterData>;

class KWriterPage : public KWriterPart<IKPage>
{
public:
    KWriterPage(std::shared_ptr<KWriterData> data, int n) : KDocumentPart(std::move(data)), m_n(n) {}

    long render(QImage *image, int dpiX, int dpiY) override
    {
        if (!image)
            return K_POINTER;
        *image = d->renderPage(m_n, dpiX, dpiY);
        return image->isNull() ? K_FAIL : K_OK;
    }

    long saveAsPng(const QString &path, int dpi) override
    {
        const QImage image = d->renderPage(m_n, dpi, dpi);
        return !image.isNull() && image.save(path, "png") ? K_OK : K_FAIL;
    }

private:
    int m_n;
};

class KWriterRenderer : public KWriterPart<IKPageRenderer>
{
public:
    using KDocumentPart::KDocumentPart;

    long pageCount(int *count) override
    {
        if (!count)
            return K_POINTER;
        *count = d->pageCount();
        return K_OK;
    }

    long page(int n, IKPage **out) override
    {
        if (n < 1 || n > d->pageCount())
            return K_FAIL;
        return handOut(new KWriterPage(d, n), out);
    }
};

class KWriterLayout : public KWriterPart<IKDocLayout>
{
public:
    using KDocumentPart::KDocumentPart;
    long pageRenderer(IKPageRenderer **out) override { return handOut(new KWriterRenderer(d), out); }
};

class KWriterView : public KWriterPart<IKDocView>
{
public:
    using KDocumentPart::KDocumentPart;
    long layout(int kind, IKDocLayout **out) override
    {
        if (kind != 1)
            return K_NOINTERFACE; // only the print layout renders pages
        return handOut(new KWriterLayout(d), out);
    }
};

class KWriterPageSetup : public KWriterPart<IKPageSetup>
{
public:
    using KDocumentPart::KDocumentPart;
    long spacing(float *value) override
    {
        if (!value)
            return K_POINTER;
        *value = d->spacing;
        return K_OK;
    }
};

class KWriterSettings : public KWriterPart<IKDocSettings>
{
public:
    using KDocumentPart::KDocumentPart;
    long pageSetup(IKPageSetup **out) override { return handOut(new KWriterPageSetup(d), out); }
};

class KRenderLock : public KUnknownImpl<IKUnknown>
{
public:
    static QUuid iid() { return IKUnknown::iid(); }
};

class KWriterState : public KWriterPart<IKDocStateLock>
{
public:
    using KDocumentPart::KDocumentPart;
    long renderThreadLock(IKUnknown **out) override
    {
        if (!out)
            return K_POINTER;
        *out = d->renderOnInterfaceThread ? new KRenderLock : nullptr;
        return K_OK;
    }
};

QString nestingRefusal(const QString &path, const QString &html)
{
    const KHtmlNesting nesting = KHtmlNesting::measure(html);
    if (nesting.tables > kDeepestTables)
        return QCoreApplication::translate("KWriterBackend", "%1: tables are nested %2 deep; at most %3 levels can be laid out")
            .arg(path, QString::number(nesting.tables), QString::number(kDeepestTables));
    if (nesting.elements > kDeepestElements)
        return QCoreApplication::translate("KWriterBackend", "%1: elements are nested %2 deep; at most %3 levels can be laid out")
            .arg(path, QString::number(nesting.elements), QString::number(kDeepestElements));
    return QString();
}

float spacingFromHtml(const QString &html)
{
    static const QRegularExpression meta(
        QStringLiteral("<meta\\s+name=\"page-spacing\"\\s+content=\"([0-9.]+)\""),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = meta.match(html);
    bool ok = false;
    const float value = m.hasMatch() ? m.captured(1).toFloat(&ok) : 0;
    return ok ? value : kDocSpacingUnset;
}

} // namespace

bool KTextWriterData::printToPdf(const QString &path, QString *error)
{
    QPdfWriter writer(path);
    writer.setResolution(int(kLayoutDpi));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QCoreApplication::translate("KWriterBackend", "%1: cannot be written").arg(path);
        return false;
    }
    QMutexLocker lock(&mutex);
    const int pages = document.pageCount();
    for (int n = 0; n < pages; ++n) {
        if (n > 0)
            writer.newPage();
        const QRectF page(0, n * kA4.height(), kA4.width(), kA4.height());
        painter.save();
        painter.translate(0, -page.top());
        document.drawContents(&painter, page);
        painter.restore();
    }
    return painter.end();
}

KWriterBackend::KWriterBackend(std::shared_ptr<KWriterData> data)
    : d(std::move(data))
{
}

KWriterBackend::~KWriterBackend() = default;

KWriterBackend *KWriterBackend::fromText(const QString &text, Source source)
{
    auto data = std::make_shared<KTextWriterData>();
    switch (source) {
    case Source::PlainText:
        data->document.setPlainText(text);
        break;
    case Source::Markdown:
        data->document.setMarkdown(text);
        break;
    case Source::Html:
        data->document.setHtml(text);
        data->spacing = spacingFromHtml(text);
        break;
    }
    data->paginate();
    return new KWriterBackend(std::move(data));
}

KWriterBackend *KWriterBackend::fromPdf(KPdfBackend *pdf, std::shared_ptr<QTemporaryDir> folder)
{
    if (!pdf)
        return nullptr;
    return new KWriterBackend(makePdfWriterData(pdf, std::move(folder)));
}

KWriterBackend *KWriterBackend::open(const QString &path, Source source, QString *error)
{
    const std::optional<QString> text = kdocumentparts::readText(path, error);
    if (!text)
        return nullptr;
    const QString refusal = source == Source::Html ? nestingRefusal(path, *text) : QString();
    if (!refusal.isEmpty()) {
        if (error)
            *error = refusal;
        return nullptr;
    }
    return fromText(*text, source);
}

void KWriterBackend::setRenderOnInterfaceThread(bool on)
{
    d->renderOnInterfaceThread = on;
}

bool KWriterBackend::printToPdf(const QString &path, QString *error) const
{
    return d->printToPdf(path, error);
}

long KWriterBackend::activeView(IKDocView **view)
{
    return handOut(new KWriterView(d), view);
}

long KWriterBackend::settings(IKDocSettings **settings)
{
    return handOut(new KWriterSettings(d), settings);
}

long KWriterBackend::prepareExport(IKUnknown **token)
{
    d->pageCount();
    return handOut(new KRenderLock, token);
}

long KWriterBackend::documentState(IKDocStateLock **state)
{
    return handOut(new KWriterState(d), state);
}
