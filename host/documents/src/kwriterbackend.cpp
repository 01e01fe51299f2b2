#include "kwriterbackend.h"

#include "kdocumentparts_p.h"

#include "kwriterbounds_p.h"
#include "kwriterdata_p.h"

#include <kxapplication.h>

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QMutex>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QUrl>

#include <algorithm>
#include <cmath>

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

constexpr double kPixelsPerMm = kLayoutDpi / 25.4;
constexpr int kPageSetupFields = int(KPageSetupField::FooterDistance) + 1;
// Text keeps at least this much room across and down a page.
constexpr float kSmallestTextMm = 10.0f;
constexpr float kLargestPageMm = 5000.0f;
// The first-line indent in characters, kept beside the indent in pixels so it reads back
// exactly.
constexpr int kIndentCharsProperty = QTextFormat::UserProperty + 1;

struct KTextWriterData : KWriterData
{
    QMutex mutex; // one painter on the document at a time
    QImage layoutDevice;
    QTextDocument document;
    // One section: the text's page set-up, in millimetres (A4 with 2 cm margins).
    float setup[kPageSetupFields] = {20, 20, 20, 20, 210, 297, 12.5f, 12.5f};
    QSizeF pageSize = kA4;
    int pictures = 0;

    KTextWriterData()
        : layoutDevice(1, 1, QImage::Format_RGB32)
    {
        const int dpm = qRound(kLayoutDpi / 0.0254);
        layoutDevice.setDotsPerMeterX(dpm);
        layoutDevice.setDotsPerMeterY(dpm);
        document.setUndoRedoEnabled(false);
        document.setDefaultFont(QFont(QStringLiteral("DejaVu Serif"), 11));
    }

    float &at(KPageSetupField field) { return setup[int(field)]; }

    // The layout is made only now, once the text is complete.
    void paginate()
    {
        kwriterbounds::breakLongRuns(&document);
        document.documentLayout()->setPaintDevice(&layoutDevice);
        relayout();
    }

    void relayout()
    {
        pageSize = QSizeF(at(KPageSetupField::PageWidth) * kPixelsPerMm, at(KPageSetupField::PageHeight) * kPixelsPerMm);
        document.setPageSize(pageSize);
        QTextFrameFormat root = document.rootFrame()->frameFormat();
        root.setLeftMargin(at(KPageSetupField::LeftMargin) * kPixelsPerMm);
        root.setRightMargin(at(KPageSetupField::RightMargin) * kPixelsPerMm);
        root.setTopMargin(at(KPageSetupField::TopMargin) * kPixelsPerMm);
        root.setBottomMargin(at(KPageSetupField::BottomMargin) * kPixelsPerMm);
        document.rootFrame()->setFrameFormat(root);
        document.pageCount(); // lay out now, on the thread that changed the document
    }

    double textWidth() const
    {
        return pageSize.width() - (setup[int(KPageSetupField::LeftMargin)] + setup[int(KPageSetupField::RightMargin)]) * kPixelsPerMm;
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
        QImage image(qRound(pageSize.width() * sx), qRound(pageSize.height() * sy), QImage::Format_RGB32);
        if (image.isNull())
            return image;
        image.fill(Qt::white);
        image.setDotsPerMeterX(qRound(dpiX / 0.0254));
        image.setDotsPerMeterY(qRound(dpiY / 0.0254));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.scale(sx, sy);
        const QRectF page(0, (n - 1) * pageSize.height(), pageSize.width(), pageSize.height());
        painter.translate(0, -page.top());
        document.drawContents(&painter, page);
        return image;
    }

    bool printToPdf(const QString &path, QString *error) override;

    int sectionCount() override { return 1; }

    bool pageSetupValue(int section, KPageSetupField field, float *value) override
    {
        QMutexLocker lock(&mutex);
        if (section != 1 || !value || int(field) < 0 || int(field) >= kPageSetupFields)
            return false;
        *value = at(field);
        return true;
    }

    bool setPageSetupValue(int section, KPageSetupField field, float value) override
    {
        QMutexLocker lock(&mutex);
        if (section != 1 || int(field) < 0 || int(field) >= kPageSetupFields)
            return false;
        float changed[kPageSetupFields];
        std::copy(std::begin(setup), std::end(setup), changed);
        changed[int(field)] = value;
        if (!fits(changed))
            return false;
        std::copy(std::begin(changed), std::end(changed), setup);
        relayout();
        return true;
    }

    // A page set-up the layout can take: sizes in range and room left for text.
    static bool fits(const float *v)
    {
        for (int i = 0; i < kPageSetupFields; ++i) {
            if (!std::isfinite(v[i]) || v[i] < 0 || v[i] > kLargestPageMm)
                return false;
        }
        const float width = v[int(KPageSetupField::PageWidth)];
        const float height = v[int(KPageSetupField::PageHeight)];
        return width - v[int(KPageSetupField::LeftMargin)] - v[int(KPageSetupField::RightMargin)] >= kSmallestTextMm
            && height - v[int(KPageSetupField::TopMargin)] - v[int(KPageSetupField::BottomMargin)] >= kSmallestTextMm;
    }

    int paragraphCount() override
    {
        QMutexLocker lock(&mutex);
        return document.blockCount();
    }

    bool firstLineIndentChars(int paragraph, float *chars) override
    {
        QMutexLocker lock(&mutex);
        const QTextBlock block = document.findBlockByNumber(paragraph - 1);
        if (!block.isValid() || !chars)
            return false;
        *chars = float(block.blockFormat().doubleProperty(kIndentCharsProperty));
        return true;
    }

    bool setFirstLineIndentChars(int paragraph, float chars) override
    {
        QMutexLocker lock(&mutex);
        const QTextBlock block = document.findBlockByNumber(paragraph - 1);
        if (!block.isValid() || !std::isfinite(chars) || chars < 0 || chars > 100)
            return false;
        QFont font = block.charFormat().font();
        font = font.resolve(document.defaultFont());
        const double em = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * kLayoutDpi / 72.0;
        QTextBlockFormat format = block.blockFormat();
        format.setTextIndent(chars * em);
        format.setProperty(kIndentCharsProperty, double(chars));
        QTextCursor(block).setBlockFormat(format);
        document.pageCount();
        return true;
    }

    bool insertPicture(const QString &path) override
    {
        const QImage picture(path);
        if (picture.isNull() || picture.width() < 1 || picture.height() < 1)
            return false;
        QMutexLocker lock(&mutex);
        const QUrl name(QStringLiteral("brindlex-picture:%1").arg(++pictures));
        document.addResource(QTextDocument::ImageResource, name, picture);
        const double width = std::min<double>(picture.width(), textWidth());
        QTextImageFormat format;
        format.setName(name.toString());
        format.setWidth(width);
        format.setHeight(picture.height() * width / picture.width());
        QTextCursor cursor(&document);
        cursor.movePosition(QTextCursor::End);
        if (!cursor.block().text().isEmpty())
            cursor.insertBlock();
        cursor.insertImage(format);
        document.pageCount();
        return true;
    }
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

class KWriterSectionPageSetup : public KWriterPart<IKSectionPageSetup>
{
public:
    KWriterSectionPageSetup(std::shared_ptr<KWriterData> data, int n) : KDocumentPart(std::move(data)), m_n(n) {}
    long value(KPageSetupField field, float *value) override
    {
        if (!value)
            return K_POINTER;
        return d->pageSetupValue(m_n, field, value) ? K_OK : K_FAIL;
    }
    long setValue(KPageSetupField field, float value) override
    {
        return d->setPageSetupValue(m_n, field, value) ? K_OK : K_FAIL;
    }

private:
    int m_n;
};

class KWriterSection : public KWriterPart<IKSection>
{
public:
    KWriterSection(std::shared_ptr<KWriterData> data, int n) : KDocumentPart(std::move(data)), m_n(n) {}
    long pageSetup(IKSectionPageSetup **out) override { return handOut(new KWriterSectionPageSetup(d, m_n), out); }

private:
    int m_n;
};

class KWriterSections : public KWriterPart<IKSections>
{
public:
    using KDocumentPart::KDocumentPart;
    long count(int *count) override
    {
        if (!count)
            return K_POINTER;
        *count = d->sectionCount();
        return K_OK;
    }
    long item(int n, IKSection **out) override
    {
        if (n < 1 || n > d->sectionCount())
            return K_FAIL;
        return handOut(new KWriterSection(d, n), out);
    }
};

class KWriterParagraph : public KWriterPart<IKParagraph>
{
public:
    KWriterParagraph(std::shared_ptr<KWriterData> data, int n) : KDocumentPart(std::move(data)), m_n(n) {}
    long firstLineIndentChars(float *chars) override
    {
        if (!chars)
            return K_POINTER;
        return d->firstLineIndentChars(m_n, chars) ? K_OK : K_FAIL;
    }
    long setFirstLineIndentChars(float chars) override
    {
        return d->setFirstLineIndentChars(m_n, chars) ? K_OK : K_FAIL;
    }

private:
    int m_n;
};

class KWriterParagraphs : public KWriterPart<IKParagraphs>
{
public:
    using KDocumentPart::KDocumentPart;
    long count(int *count) override
    {
        if (!count)
            return K_POINTER;
        *count = d->paragraphCount();
        return K_OK;
    }
    long item(int n, IKParagraph **out) override
    {
        if (n < 1 || n > d->paragraphCount())
            return K_FAIL;
        return handOut(new KWriterParagraph(d, n), out);
    }
};

class KWriterContent : public KWriterPart<IKDocContent>
{
public:
    using KDocumentPart::KDocumentPart;
    long paragraphs(IKParagraphs **out) override { return handOut(new KWriterParagraphs(d), out); }
};

class KWriterEditing : public KWriterPart<IKWriterEditing>
{
public:
    using KDocumentPart::KDocumentPart;

    long beginOperation(const QString &name) override
    {
        d->openOperations.append(name);
        d->operationLog.append(QStringLiteral("begin:") + name);
        return K_OK;
    }

    long endOperation(const QString &name, bool changed) override
    {
        // Ends pair with begins: closing anything but the innermost open operation is refused.
        if (d->openOperations.isEmpty() || d->openOperations.last() != name)
            return K_FAIL;
        d->openOperations.removeLast();
        d->operationLog.append(QStringLiteral("end:%1:%2").arg(name).arg(changed ? 1 : 0));
        if (changed && d->openOperations.isEmpty())
            KCoreApplication::instance()->notifyDocumentEdited();
        return K_OK;
    }

    long sections(IKSections **out) override { return handOut(new KWriterSections(d), out); }
    long content(IKDocContent **out) override { return handOut(new KWriterContent(d), out); }
    long insertPicture(const QString &path) override
    {
        if (!d->insertPicture(path))
            return K_FAIL;
        KCoreApplication::instance()->notifyDocumentEdited();
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
    QMutexLocker lock(&mutex);
    writer.setPageSize(QPageSize(pageSize * (72.0 / kLayoutDpi), QPageSize::Point, QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QCoreApplication::translate("KWriterBackend", "%1: cannot be written").arg(path);
        return false;
    }
    const int pages = document.pageCount();
    for (int n = 0; n < pages; ++n) {
        if (n > 0)
            writer.newPage();
        const QRectF page(0, n * pageSize.height(), pageSize.width(), pageSize.height());
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

long KWriterBackend::QueryInterface(const QUuid &iid, void **object)
{
    if (iid != IKWriterEditing::iid())
        return KUnknownImpl::QueryInterface(iid, object);
    if (!object)
        return K_POINTER;
    *object = static_cast<IKWriterEditing *>(new KWriterEditing(d));
    return K_OK;
}

QStringList KWriterBackend::operationLog() const
{
    return d->operationLog;
}
