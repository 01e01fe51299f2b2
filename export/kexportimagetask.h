#pragma once

#include "exportimageoptions.h"
#include "kexportcomponent.h"
#include "kpicturewritequeue.h"

#include <QImage>
#include <QVector>
#include <QList>
#include <QThread>
#include <QVariantMap>

#include <functional>
#include <memory>

class KExportImageTaskPrivate;
class KxMainWindow;

// One export run on its own worker thread. The base walks the selected pages, composes
// long pictures, names, watermarks and writes the files, handles cancel and reports the
// outcome once through exportFinished; a component's task only renders one page.
class KExportImageTask : public QThread
{
    Q_OBJECT
public:
    // Pages pass through threads of their own; what those threads freed stays in their heaps
    // until handed back, and export after export the process would keep growing.
    static void returnFreedMemory();
    // For a process that exports pictures page by page and nothing else: freed pages stay
    // with the process for the next ones instead of going back to the system and being
    // faulted in and cleared again. Long pictures must not use it: pages drawn into the
    // picture are given back while the picture fills.
    static void keepFreedPagesForReuse();

    enum ExitCode { Success = 0, Failed = 1, Canceled = 2 };
    Q_ENUM(ExitCode)

    // The outcome of one run, built once when it ends.
    struct Result
    {
        ExitCode code = Failed;
        QString file;      // the first picture written, or the long picture
        QString pageCount; // pages exported, or the sheet's count text
        QString title;
        QString message;
        QString detail; // the real cause of a failure
        bool preview = false;
        QImage previewImage;

        // The map the exportFinished signal carries.
        QVariantMap toMap() const;
    };

    // A task of the running application's component.
    explicit KExportImageTask(QObject *parent = nullptr);
    explicit KExportImageTask(const KExportComponent &component, QObject *parent = nullptr);
    ~KExportImageTask() override;

    void run() override;
    virtual int pageCount();
    virtual qint64 selectedPagesHeight(int limit, const ExportImageOptions &options);
    virtual int pageQuery(int argument);
    virtual QImage previewImage();
    virtual bool renderPages(const ExportImageOptions &options);
    virtual bool renderLongPicture(const ExportImageOptions &options);
    virtual bool exportLongPicture(const ExportImageOptions &options);
    virtual bool exportLongPicturePdf(const ExportImageOptions &options);

    // The host window whose document is exported (writer documents are reached through it).
    void setMainWindow(KxMainWindow *window);
    KxMainWindow *mainWindow() const;
    const KExportComponent &component() const;

    void startTask(const ExportImageOptions &options);
    // Asks the run to stop and waits for it.
    void cancel();
    // Asks the run to stop; it stops at the next page or tile.
    void requestCancel();
    bool isCanceled();
    void resetCancel();
    // The outcome of the last finished run.
    Result result() const;

signals:
    void exportFinished(const KExportImageTask::ExitCode exitCode, const QVariantMap exitInfo);
    // Pages rendered so far of the pages asked for, from whichever thread renders.
    void pageProgress(int done, int total);

protected:
    // Where a page sits in the selection; the first and the last get other bands.
    struct PagePlace
    {
        int number = 0; // 1-based page number
        int index = 0;  // 0-based position among the selected pages
        bool first = false;
        bool last = false;
    };
    // Renders one page with its bands; a null picture (after failPage, if the cause is known)
    // stops the export.
    using PageRenderer = std::function<QImage(const PagePlace &place)>;
    // Takes a rendered page of a long picture; false stops the export.
    using PageSink = std::function<bool(const PagePlace &place, QImage &page)>;

    // Walks the selected pages of a document of pageCount pages: checks for cancel, lets
    // the interface breathe when rendering on its thread, renders, reports progress, then
    // writes each page into a new numbered folder or, for long pictures, hands it to
    // longPage (queued for composition when none is given).
    bool walkPages(const ExportImageOptions &options, int pageCount, const PageRenderer &render,
                   const PageSink &longPage = PageSink());
    // The next free numbered folder ("Name", "Name(1)", ...) with a trailing separator, or empty.
    QString createOutputFolder(const ExportImageOptions &options);
    // Queues a rendered page under its column of the long picture.
    void addPageImage(int column, const QImage &image);
    // Composes the queued pages into one picture, releasing each page once drawn.
    bool composeLongPicture(QImage &result);
    // Names, watermarks (tiled) and writes a finished long picture; it becomes the result.
    bool writeLongPicture(QImage &picture, const ExportImageOptions &options);
    // Watermarks (tiled) and writes one part of a long picture; the first part is the result.
    bool writePart(QImage &picture, const QString &path, const ExportImageOptions &options);
    // Lets a component prepare a column before it is measured and drawn.
    virtual QList<QImage> prepareColumn(const QList<QImage> &images);
    void setPageCountValue(int count);
    void setCountText(const QString &text);
    // The real cause of a failure, reported beside the fixed message; the first one stays.
    void setFailureDetail(const QString &detail);
    // Records why page number could not be made ("is too large ...") and returns false.
    bool failPage(int number, const QString &why);

private:
    enum class Step { NotRun, Done, Failed };
    Step runExport(const ExportImageOptions &options);
    void finishRun(const ExportImageOptions &options, Step step);
    Result takeResult(const ExportImageOptions &options);
    bool savePageImage(QImage &image, const QString &path, const ExportImageOptions &options, bool alone);
    bool finishPageWrites();
    KPictureWriteQueue::Finish preparePage(QImage &image, const QString &path, const ExportImageOptions &options);
    bool placePage(const QByteArray &bytes, const QString &path);
    bool writeImage(QImage &image, const QString &path, const ExportImageOptions &options);
    void paintWatermarkOn(QImage &image, const ExportImageOptions &options, bool longPicture);
    // Where a page goes in a long picture: its top left and its column's width.
    struct PagePlacement
    {
        QImage *image;
        int x;
        int y;
        int columnWidth;
    };
    bool drawPages(QImage &picture, const QVector<PagePlacement> &placements);
    // Tells encoders in progress that the run is cancelled.
    std::function<bool()> stopFunction() const;
    void removeOutput(const ExportImageOptions &options);
    QString pageCountText(const ExportImageOptions &options);
    void setExitCode(ExitCode code);
    ExitCode exitCode() const;

    std::unique_ptr<KExportImageTaskPrivate> d;
};

Q_DECLARE_METATYPE(KExportImageTask::ExitCode)
