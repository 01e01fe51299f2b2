#pragma once

#include <QNetworkCookie>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QWidget>

class KxWebViewAsynJSObject;
class QNetworkAccessManager;
class QNetworkReply;
class QWebView;
class QWebInspector;

// The host's web view: a widget holding one browser (QtWebKit), with its own cookie jar,
// a JavaScript object published to its pages, file drags reported as paths, and an optional
// web debugger (host value "webDebugger", off unless configured).
//
// The published object reaches the main frame of pages from qrc:, file: or a host that was
// passed to createBrowser()/load(); a page the user navigates to elsewhere does not get it.
// Dropped links never navigate the view.
class KxWebViewContainer : public QWidget
{
    Q_OBJECT
public:
    explicit KxWebViewContainer(QWidget *parent = nullptr, int implType = 0, const QString &name = QString());
    ~KxWebViewContainer() override;

    // Emits browserCreated(), then loads the address.
    void createBrowser(const QUrl &url);
    void load(const QUrl &url);
    QUrl url() const;
    QWebView *webView() const;

    void setCookies(const QList<QNetworkCookie> &cookies, const QUrl &forUrl);
    QList<QNetworkCookie> cookies(const QUrl &forUrl) const;

    void setDebuggerEnabled(bool enabled);
    bool isDebuggerEnabled() const;
    // Opens the debugger window; false when the debugger is switched off.
    bool showDebugger();

    // The object's transport appears to trusted pages as window.<name>, now and after every
    // navigation. The container does not own the object; the object repeats dragEnter.
    void publishObject(const QString &name, KxWebViewAsynJSObject *object);
    // The script's value, or an invalid QVariant when no page is loaded.
    QVariant runJavaScript(const QString &script);

    // Drops of local files are reported through dragEnter and kept from the page.
    void setAcceptFileDrops(bool accept);

signals:
    void browserCreated();
    void loadStarted();
    void loadProgress(int percent);
    // ok is false when the page could not be fetched or the server answered with an error
    // status; a window then shows its error page.
    void loadFinished(bool ok);
    void loadFinishedWithDetail(bool isMainFrame, int frameID, const QString &url, int httpStatusCode);
    void dragEnter(const QStringList &localFiles);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onReplyFinished(QNetworkReply *reply);
    void onLoadFinished(bool ok);
    void publishToPage();
    bool isTrusted(const QUrl &url) const;
    void trust(const QUrl &url);

    QWebView *m_view = nullptr;
    QNetworkAccessManager *m_network = nullptr;
    QPointer<QWebInspector> m_inspector;
    QString m_publishedName;
    QPointer<KxWebViewAsynJSObject> m_published;
    QStringList m_trustedHosts;
    int m_mainStatus = 0;
    bool m_mainFailed = false;
    bool m_acceptFileDrops = false;
};
