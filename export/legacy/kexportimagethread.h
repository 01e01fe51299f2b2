#pragma once

#include <kunknown.h>
#include <kwriterdocument.h>

#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QThread>

#include <functional>
#include <memory>
#include <shared_mutex>

class KxMainWindow;
class QTemporaryDir;

// Turns the whole writer document into one long picture of bounded file size: the host saves
// the pages as PNG files on the interface thread, they are trimmed there, then stacked and
// encoded on this thread.
class KExportimageThread : public QThread
{
    Q_OBJECT
public:
    static constexpr int MaxPages = 25;
    static constexpr int KeptWhiteRows = 2;
    static constexpr int KeptWhiteRowsAtEnds = 21; // above the first page, below the last
    static constexpr int MinPageHeight = 10;
    static constexpr qint64 TargetSize = 1048576;
    static constexpr qint64 RetrySize = 2097152; // up to this, strong PNG is tried first
    static constexpr int PngQuality = 50;
    static constexpr int PageDpi = 96;

    explicit KExportimageThread(QObject *parent = nullptr);
    ~KExportimageThread() override;

    // The window whose writer document is exported.
    void setHostWindow(KxMainWindow *window);
    // Where the pages come from instead of the host window's document.
    void setPageRendererSource(std::function<KComPtr<IKPageRenderer>()> source);

    // Interface thread. Saves and trims the pages, then starts composing; false when nothing
    // was started (not the writer, too many pages, no page, stopped).
    bool exportDocument(const QString &component, const QString &outputPath);
    void stop();

    // A page cut to its content, keeping a few white rows around it (more at the document's
    // two ends), at least MinPageHeight rows tall.
    static QImage trimPage(const QImage &page, bool first, bool last);
    // The pages stacked top to bottom on white, centred, the last one flush left; null when
    // none could be used.
    static QImage stackPages(const QList<QImage> &pages);
    // The picture's bytes: PNG if that fits TargetSize, else strongly compressed PNG when the
    // PNG was at most RetrySize, else the first JPEG quality of 80, 60, 40, 20 that fits (or 20).
    static QByteArray encodeBounded(const QImage &picture);

signals:
    void finishedExportImage(bool bExportImage);

protected:
    void run() override;

private:
    bool preparePages();
    bool savePages(IKPageRenderer *renderer, int pageCount);
    void trimPageFiles();
    bool compose();
    void refuseLength();
    bool isWanted() const;
    void stopAndWait();

    mutable std::shared_mutex m_lock;
    bool m_running = false;
    bool m_preparing = false;
    QString m_component;
    QString m_outputPath;
    QStringList m_pageFiles;
    std::unique_ptr<QTemporaryDir> m_workDir;
    QPointer<QObject> m_window; // a KxMainWindow
    std::function<KComPtr<IKPageRenderer>()> m_rendererSource;
};
