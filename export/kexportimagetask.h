#pragma once

#include "exportimageoptions.h"
#include "kexportcomponent.h"

#include <QImage>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QReadWriteLock>
#include <QThread>
#include <QVariantMap>

#include <memory>

class KPictureWriteQueue;
class KxMainWindow;

// One export run on its own worker thread. Subclasses render the pages of their kind of
// document; this class composes long pictures, names, watermarks and writes the files,
// handles cancel and reports the outcome through exportFinished.
class KExportImageTask : public QThread
{
    Q_OBJECT
public:
    enum ExitCode { Success = 0, Failed = 1, Canceled = 2 };
    Q_ENUM(ExitCode)

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
    const KExportComponent &component() const { return *m_component; }

    void startTask(const ExportImageOptions &options);
    void cancel();
    bool isCanceled();
    void resetCancel();

    // "%1_%2.%3": folder (with its trailing separator) and name, page with two digits at least.
    static QString pageFilePath(const QString &folder, const QString &fileName, int page, const QString &suffix);
    // "Name" for 0, else "Name(n)".
    static QString numberedFolder(const QString &base, int number);
    static constexpr int kMaxNumberedFolders = 10000;
    // Backslashes to slashes, runs of slashes folded (a leading network pair kept), native form.
    static QString normalizePath(const QString &path);

signals:
    void exportFinished(const KExportImageTask::ExitCode exitCode, const QVariantMap exitInfo);
    // Pages rendered so far of the pages asked for, from whichever thread renders.
    void pageProgress(int done, int total);

protected:
    // For renderers: per-page output. createOutputFolder makes the next free numbered
    // folder ("Name", "Name(1)", ...) and returns it with a trailing separator, or empty.
    QString createOutputFolder(const ExportImageOptions &options);
    // Watermarks (single form) and writes one page; the first page written becomes the result.
    // The write happens on a writer thread while the next page renders; false once a write
    // has failed. The run waits for every write before it reports.
    bool savePageImage(QImage &image, const QString &path, const ExportImageOptions &options);
    // Waits for the pages handed to savePageImage; false when any could not be written.
    bool finishPageWrites();
    // For renderers of long pictures: queue a rendered page under its column.
    void addPageImage(int column, const QImage &image);
    // Composes the queued pages into one picture, releasing each page once drawn.
    bool composeLongPicture(QImage &result);
    // Names, watermarks (tiled) and writes a finished long picture; it becomes the result.
    bool writeLongPicture(QImage &picture, const ExportImageOptions &options);
    // Lets the PDF component prepare a column before it is measured and drawn.
    virtual QList<QImage> prepareColumn(const QList<QImage> &images);
    // Paints the watermark the options ask for; tiled for long pictures.
    void paintWatermarkOn(QImage &image, const ExportImageOptions &options, bool longPicture);
    void reportProgress(int done, int total) { emit pageProgress(done, total); }
    // Resolution written into picture metadata.
    virtual int outputDpi(const ExportImageOptions &options) const;
    bool writeImage(QImage &image, const QString &path, const ExportImageOptions &options);
    void setOutputFile(const QString &path);
    ExportImageOptions currentOptions() const;
    ExitCode currentExitCode() const;
    void setExitCode(ExitCode code);
    void setPageCountValue(int count);
    void setCountText(const QString &text);
    // The real cause of a failure, reported beside the fixed message; the first one stays.
    void setFailureDetail(const QString &detail);
    // Records why page number could not be made ("is too large ...") and returns false.
    bool failPage(int number, const QString &why);

    mutable QReadWriteLock m_lock;
    QString m_outputFile;
    ExportImageOptions m_options;
    QMap<int, QList<QImage>> m_pageImages;
    bool m_cancelRequested = false;
    QString m_outputFolder;
    ExitCode m_exitCode = Failed;
    int m_pageCount = -1;
    QString m_errMsg;
    QString m_errTitle;
    QString m_countText;
    QString m_detail;
    // Whether this run wrote m_outputFile itself (it may name a file that was there before).
    bool m_outputWritten = false;
    std::unique_ptr<KPictureWriteQueue> m_writeQueue;
    QPointer<KxMainWindow> m_mainWindow;

private:
    const KExportComponent *m_component;
    enum class Step { NotRun, Done, Failed };
    Step runExport(const ExportImageOptions &options);
    bool writePage(QImage &image, const QString &path, const ExportImageOptions &options);
    void removeOutput(const ExportImageOptions &options);
    QString pageCountText(const ExportImageOptions &options);
};

Q_DECLARE_METATYPE(KExportImageTask::ExitCode)
