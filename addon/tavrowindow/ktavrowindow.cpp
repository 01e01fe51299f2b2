#include "ktavrowindow.h"

#include <kexportimagethread.h>
#include <krtservices.h>
#include <kxwebviewasynjsobject.h>
#include <kxwebviewcontainer.h>
#include <kxwebviewjsapihandler.h>
#include <kxmainwindow.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// What the page may ask of the window: close it.
class KTavroWindowJSApi : public KxWebViewJSApiHandler
{
    Q_OBJECT
public:
    explicit KTavroWindowJSApi(QWidget *window) : m_window(window) { setArgumentRules(QStringLiteral("close"), {}); }

    Q_INVOKABLE void close(KxWebViewJSContext &context)
    {
        context.publishResult(QJsonObject{{QStringLiteral("result"), !m_window.isNull()}});
        QPointer<QWidget> window = m_window;
        QTimer::singleShot(0, this, [window] {
            if (window)
                window->close();
        });
    }

private:
    QPointer<QWidget> m_window;
};
} // namespace

KTavroWindow::KTavroWindow(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::FramelessWindowHint)
    , m_web(new KxWebViewContainer(this))
    , m_script(new KxWebViewAsynJSObject(this))
    , m_network(new QNetworkAccessManager(this))
    , m_thread(new KExportimageThread(this))
{
    setObjectName(QStringLiteral("TavroWindow"));
    setWindowTitle(QStringLiteral("VYX Office Tavro Tool"));
    setStyleSheet(QStringLiteral("#TavroWindow{background:transparent;}"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_web);
    m_script->registerHandler(QStringLiteral("tavrowindow"), new KTavroWindowJSApi(this));
    m_web->publishObject(QStringLiteral("qwebkit"), m_script);
    m_thread->setHostWindow(qobject_cast<KxMainWindow *>(mainWindow));
    connect(m_thread, &KExportimageThread::finishedExportImage, this, &KTavroWindow::onFinishedExportImage);
    connect(m_network, &QNetworkAccessManager::finished, this, &KTavroWindow::onUploadReply);
}

KTavroWindow::~KTavroWindow()
{
    m_thread->stop();
    m_thread->wait();
}

QUrl KTavroWindow::pageUrl()
{
    return QUrl(QStringLiteral("qrc:/localindex/shape/shape/client_download.html"));
}

QUrl KTavroWindow::uploadUrl()
{
    return QUrl(krt::product::shareServiceUrl() + QStringLiteral("/upload"));
}

bool KTavroWindow::showWithPicture(const QRect &rect, const QString &picturePath, bool upload, bool wait)
{
    m_picturePath = picturePath;
    m_upload = upload;
    m_result = false;
    setGeometry(rect);
    m_web->load(pageUrl());
    show();
    m_pending = m_thread->exportDocument(QCoreApplication::applicationName(), picturePath);
    if (!m_pending) {
        tellPage(QStringLiteral("failed"));
        return false;
    }
    if (!wait)
        return true;
    const QPointer<KTavroWindow> self(this);
    while (self && m_pending) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return self && m_result;
}

void KTavroWindow::onFinishedExportImage(bool ok)
{
    m_pending = false;
    m_result = ok;
    tellPage(ok ? QStringLiteral("ready") : QStringLiteral("failed"));
    emit pictureFinished(ok);
    if (ok && m_upload)
        upload();
}

void KTavroWindow::upload()
{
    QFile file(m_picturePath);
    if (!file.open(QIODevice::ReadOnly)) {
        tellPage(QStringLiteral("uploadFailed"));
        emit uploadFinished(false);
        return;
    }
    QNetworkRequest request(uploadUrl());
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/octet-stream"));
    request.setRawHeader("tavroimagename", "ktavroimage.png");
    tellPage(QStringLiteral("uploading"));
    m_reply = m_network->post(request, file.readAll());
}

void KTavroWindow::onUploadReply(QNetworkReply *reply)
{
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
    tellPage(ok ? QStringLiteral("uploaded") : QStringLiteral("uploadFailed"));
    emit uploadFinished(ok);
}

void KTavroWindow::tellPage(const QString &state)
{
    m_script->callbackToJS(QStringLiteral("tavroStatus"), state);
}

void KTavroWindow::closeEvent(QCloseEvent *event)
{
    if (m_reply)
        m_reply->abort();
    m_thread->stop();
    m_pending = false; // a caller waiting for the picture gives up
    hide();
    QWidget::closeEvent(event);
}

extern "C" Q_DECL_EXPORT KTavroWindowApi *KTavroWindowCreate(QWidget *mainWindow)
{
    return new KTavroWindow(mainWindow);
}

#include "ktavrowindow.moc"
