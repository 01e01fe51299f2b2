#pragma once

#include "ktavrowindowapi.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

class KExportimageThread;
class KxWebViewAsynJSObject;
class KxWebViewContainer;
class QNetworkAccessManager;
class QNetworkReply;

// The legacy tool window: a frameless web page that shows how the legacy picture of the
// document comes along, and posts the picture to the sharing service when asked. Deletes
// itself when closed.
class KTavroWindow : public QWidget, public KTavroWindowApi
{
    Q_OBJECT
public:
    explicit KTavroWindow(QWidget *mainWindow = nullptr);
    ~KTavroWindow() override;

    QWidget *widget() override { return this; }
    bool showWithPicture(const QRect &rect, const QString &picturePath, bool upload, bool wait) override;

    static QUrl pageUrl();
    // The sharing service's upload address: krt::product::shareServiceUrl() + "/upload".
    static QUrl uploadUrl();
    KxWebViewContainer *webView() const { return m_web; }

signals:
    void pictureFinished(bool ok);
    // ok: the service took the picture (status 2xx).
    void uploadFinished(bool ok);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onFinishedExportImage(bool ok);
    void upload();
    void onUploadReply(QNetworkReply *reply);
    void tellPage(const QString &state);

    KxWebViewContainer *m_web;
    KxWebViewAsynJSObject *m_script;
    QNetworkAccessManager *m_network;
    KExportimageThread *m_thread;
    QPointer<QNetworkReply> m_reply;
    QString m_picturePath;
    bool m_upload = false;
    bool m_pending = false;
    bool m_result = false;
};
