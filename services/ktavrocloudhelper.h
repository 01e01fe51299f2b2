#pragma once

#include <lumoipc.h>

#include <QObject>
#include <QString>
#include <QStringList>

// Backs exported pictures up to the user's cloud storage through the suite's cloud service.
// One object per application, on the interface thread.
class KTavroCloudHelper : public QObject
{
    Q_OBJECT
public:
    static KTavroCloudHelper *instance();

    // True when the suite's cloud component is registered.
    static bool isCloudBackupAvailable();

    // Each returns the request id, empty when the request could not be made.
    QString uploadFile(const QString &filePath, const QString &cloudFolder);
    QString uploadFolder(const QString &folderPath, const QString &cloudFolder);
    // After an export: one picture goes alone, a per-page export goes as its folder.
    QString backupExport(const QString &exportedFile, bool singlePicture);

    // Cloud folder for an uploaded local folder: the folder's own name below cloudFolder.
    static QString folderTarget(const QString &cloudFolder, const QString &folderPath);
    // The regular files directly inside folderPath, in name order, native separators.
    static QStringList folderFiles(const QString &folderPath);

public slots:
    // The add-on shows nothing about a backup; the export counts as done either way.
    void onUploadFileFinished(QString requestId, UploadFilesToCloudResult result);
    void onUploadFolderFinished(QString requestId, UploadFilesToCloudResult result);

signals:
    void uploadFinished(const QString &requestId, const UploadFilesToCloudResult &result);

private:
    explicit KTavroCloudHelper(QObject *parent);
    QString send(const QString &cloudPath, const QStringList &files, const char *slot);
};
