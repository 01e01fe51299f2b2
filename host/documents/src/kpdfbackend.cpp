#include "kpdfbackend.h"

#include "krenderthread_p.h"
#include "ksplashpagerenderer_p.h"

#include <krt.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QThread>
#include <poppler-qt5.h>
#include <algorithm>
#include <mutex>

// What Poppler reported while a document was open: a damaged file can give thousands of
// messages, even when every page renders.
struct KPdfMessages
{
    QMutex mutex;
    int count = 0;
    QString first;

    void add(const QString &message)
    {
        QMutexLocker lock(&mutex);
        static const QRegularExpression prefix(QStringLiteral("^Error( \\(\\d+\\))?: "));
        if (count++ == 0)
            first = message.simplified().remove(prefix).left(200);
    }

    QString summary(const QString &path)
    {
        QMutexLocker lock(&mutex);
        if (count == 0)
            return QString();
        return QCoreApplication::translate("KPdfBackend", "%1: the PDF has errors (%2 messages; first: %3)").arg(path, QString::number(count), first);
    }
};

namespace {

// Poppler's messages name no document; the host has one document open at a time, so every
// open one hears them all.
QMutex g_listenersMutex;
std::vector<std::weak_ptr<KPdfMessages>> g_listeners;

void collectMessage(const QString &message, const QVariant &)
{
    QMutexLocker lock(&g_listenersMutex);
    for (const std::weak_ptr<KPdfMessages> &listener : g_listeners) {
        if (const auto messages = listener.lock())
            messages->add(message);
    }
}

std::shared_ptr<KPdfMessages> listenToPoppler()
{
    static std::once_flag installed;
    std::call_once(installed, [] { Poppler::setDebugErrorFunction(collectMessage, QVariant()); });
    auto messages = std::make_shared<KPdfMessages>();
    QMutexLocker lock(&g_listenersMutex);
    g_listeners.erase(std::remove_if(g_listeners.begin(), g_listeners.end(),
                                     [](const std::weak_ptr<KPdfMessages> &l) { return l.expired(); }),
                      g_listeners.end());
    g_listeners.push_back(messages);
    return messages;
}

constexpr qsizetype kSmallPageBytes = 8 << 20;

void setRenderHints(Poppler::Document *document)
{
    document->setRenderHint(Poppler::Document::Antialiasing, true);
    document->setRenderHint(Poppler::Document::TextAntialiasing, true);
}

} // namespace

KPdfBackend::KPdfBackend(const QString &path, const QByteArray &bytes, std::unique_ptr<Poppler::Document> document,
                         std::shared_ptr<KPdfMessages> messages)
    : m_path(path)
    , m_bytes(bytes)
    , m_document(std::move(document))
    , m_messages(std::move(messages))
    , m_ahead(size_t(std::max(1, std::min(QThread::idealThreadCount(), 8))))
{
    setRenderHints(m_document.get());
}

KPdfBackend::~KPdfBackend() = default;

KPdfBackend *KPdfBackend::open(const QString &path, QString *error)
{
    const std::shared_ptr<KPdfMessages> messages = listenToPoppler();
    auto fail = [error, &messages, &path](const QString &text) -> KPdfBackend * {
        const QString cause = messages->summary(path);
        if (error)
            *error = cause.isEmpty() ? text : text + QLatin1Char('\n') + cause;
        return nullptr;
    };
    if (!QFileInfo(path).isFile())
        return fail(QCoreApplication::translate("KPdfBackend", "%1: no such file").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    std::unique_ptr<Poppler::Document> document(Poppler::Document::loadFromData(bytes));
    if (!document)
        return fail(QCoreApplication::translate("KPdfBackend", "%1: not a readable PDF document (damaged or not a PDF)").arg(path));
    if (document->isLocked())
        return fail(QCoreApplication::translate("KPdfBackend", "%1: the PDF document is encrypted and needs a password").arg(path));
    if (document->numPages() <= 0)
        return fail(QCoreApplication::translate("KPdfBackend", "%1: the PDF document has no pages").arg(path));
    KSplashPageRenderer::prepareSharedState();
    return new KPdfBackend(path, bytes, std::move(document), messages);
}

QString KPdfBackend::errorSummary() const
{
    return m_messages->summary(m_path);
}

int KPdfBackend::prepareRendering(float zoom)
{
    return zoom > 0 && m_document ? 1 : 0;
}

int KPdfBackend::pageCount()
{
    QMutexLocker lock(&m_mutex);
    return m_document->numPages();
}

QSizeF KPdfBackend::pageSize(int i)
{
    QMutexLocker lock(&m_mutex);
    std::unique_ptr<Poppler::Page> page(m_document->page(i));
    if (!page)
        return QSizeF();
    return page->pageSizeF() * (krt::host::screenDpi() / 72.0);
}

QImage KPdfBackend::render(Poppler::Document *document, int i, float zoom)
{
    std::unique_ptr<Poppler::Page> page(document->page(i));
    if (!page || zoom <= 0)
        return QImage();
    const double dpi = zoom * krt::host::screenDpi();
    return page->renderToImage(dpi, dpi);
}

QImage KPdfBackend::renderPage(int i, float zoom)
{
    QMutexLocker lock(&m_mutex);
    const int pages = m_document->numPages();
    if (i < 0 || i >= pages || zoom <= 0)
        return QImage();
    const int copies = int(m_ahead.size());
    // Pages are read ahead only while they are asked for in order: a single page (a
    // one-page export, a preview) or a jump renders just that page, opening no copy.
    const bool walking = i == m_lastAsked + 1;
    m_lastAsked = i;
    if (!walking) {
        Ahead &ready = m_ahead[size_t(i % copies)];
        if (ready.index != i || ready.zoom != zoom || !ready.image.valid())
            return render(m_document.get(), i, zoom);
    }
    for (int next = i; walking && next < std::min(pages, i + copies); ++next) {
        if (isWanted(next) && !launch(next, zoom))
            break;
    }
    Ahead &ahead = m_ahead[size_t(i % copies)];
    if (ahead.index != i || !ahead.image.valid())
        return render(m_document.get(), i, zoom);
    const QImage image = ahead.image.get();
    ahead.index = -1;
    // A second page per copy only while pages are small: large ones are slow enough to
    // keep a core busy alone, and a long picture should not hold more of them than it needs.
    if (walking && i + copies < pages && isWanted(i + copies) && image.sizeInBytes() <= kSmallPageBytes)
        launch(i + copies, zoom);
    return image;
}

// Pages past the end of a selection would otherwise be rendered ahead and waited for.
void KPdfBackend::setPagesWanted(const QList<int> &indexes)
{
    QMutexLocker lock(&m_mutex);
    m_wanted.clear();
    int first = -1;
    int count = 0;
    for (int i : indexes) {
        if (i < 0)
            continue;
        if (size_t(i) >= m_wanted.size())
            m_wanted.resize(size_t(i) + 1, false);
        m_wanted[size_t(i)] = true;
        first = count++ ? std::min(first, i) : i;
    }
    // Several pages to come: the walk starts with the first, which then renders beside the
    // next ones instead of alone before them.
    m_lastAsked = count > 1 ? first - 1 : -2;
}

bool KPdfBackend::isWanted(int i) const
{
    return m_wanted.empty() || (size_t(i) < m_wanted.size() && m_wanted[size_t(i)]);
}

QImage KPdfBackend::renderPageAtDpi(int i, double dpi)
{
    QMutexLocker lock(&m_mutex);
    std::unique_ptr<Poppler::Page> page(m_document->page(i));
    if (!page || dpi <= 0)
        return QImage();
    return page->renderToImage(dpi, dpi);
}

// A copy is opened when its first page comes, so a short walk parses the file no more
// often than it renders pages. False when no copy can render it.
bool KPdfBackend::launch(int i, float zoom)
{
    Ahead &ahead = m_ahead[size_t(i) % m_ahead.size()];
    if (ahead.index == i && ahead.zoom == zoom && ahead.image.valid())
        return true;
    if (ahead.image.valid())
        ahead.image.wait(); // a page nobody asked for after all; its copy is needed now
    ahead.index = -1;
    if (m_aheadFailed)
        return false;
    if (!ahead.splash)
        ahead.splash = KSplashPageRenderer::open(m_bytes);
    if (!ahead.splash) {
        m_aheadFailed = true; // out of memory: render in the caller's thread
        return false;
    }
    if (!ahead.thread)
        ahead.thread = std::make_unique<KRenderThread>();
    const double dpi = zoom * krt::host::screenDpi();
    ahead.image = ahead.thread->render([splash = ahead.splash, i, dpi] { return splash->render(i, dpi); });
    ahead.index = i;
    ahead.zoom = zoom;
    ++m_renderedAhead;
    return true;
}

int KPdfBackend::copiesOpened()
{
    QMutexLocker lock(&m_mutex);
    return int(std::count_if(m_ahead.begin(), m_ahead.end(),
                             [](const Ahead &ahead) { return bool(ahead.splash); }));
}

int KPdfBackend::pagesRenderedAhead()
{
    QMutexLocker lock(&m_mutex);
    return m_renderedAhead;
}
