#pragma once

#include "kessjsapifactory.h"

#include <kappmainwindow.h>

#include <QNetworkCookie>
#include <QUrl>

class KEssJsApi;
class KWebClientPrivatePane;
class KWebLoadingPage;
class KWebNetworkErrPage;
class KxWebViewContainer;
class QStackedLayout;

// The client area of a web window: the loading page until the start page is there, then
// the page, or the error page when it could not be loaded. The browser is made when the
// widget is first shown (or by start()).
class KWebClientWidget : public KAppClientWidget
{
    Q_OBJECT
public:
    enum class Page { Loading, Web, Error };

    explicit KWebClientWidget(QWidget *parent = nullptr);
    ~KWebClientWidget() override;

    void setStartUrl(const QUrl &url);
    QUrl startUrl() const { return m_startUrl; }
    void start();

    Page currentPage() const;
    // True once the start page loaded and until another page fails.
    bool isPageLoaded() const { return m_pageLoaded; }
    KxWebViewContainer *container() const;
    KEssJsApi *jsApi() const;
    KWebLoadingPage *loadingPage() const { return m_loading; }
    KWebNetworkErrPage *errorPage() const { return m_error; }
    KEssJsApiHandler *applicationHandler() const { return m_appHandler; }

    // The bridge object for the page; the pane owns what this returns.
    virtual KEssJsApi *createJsApi();
    // The application profile set up before the page loads, for pages that do not call
    // init themselves; empty leaves the choice to the page.
    virtual QString applicationProfile() const { return QString(); }

    // The session cookie "vyx_sid" when the application asks for it ("autoCookies") and the
    // user is logged in.
    virtual QList<QNetworkCookie> startCookies() const;

signals:
    void pageLoaded(bool ok);

public slots:
    void onBrowserCreated();
    void onLoadFinished(bool ok);
    void onLoadFinishedWithDetail(bool isMainFrame, int frameID, const QString &url, int httpStatusCode);
    void onUserInfoChanged(int what);
    void onLoginStatusChanged();
    void onPluginManagerReady();
    void onDragEnter(const QStringList &files);
    void onApplicationJsSet(KEssJsApiHandler *handler);
    void onEventListenerAdded(const QString &event, const QString &callback, bool base64);

protected:
    void showEvent(QShowEvent *event) override;
    // The session cookie, whatever the application's switch says.
    static QList<QNetworkCookie> loginCookies();

private:
    void loadStartPage();
    void showPage(Page page);

    KWebClientPrivatePane *m_pane;
    KWebLoadingPage *m_loading;
    KWebNetworkErrPage *m_error;
    QStackedLayout *m_stack;
    QUrl m_startUrl;
    KEssJsApiHandler *m_appHandler = nullptr;
    bool m_blankDone = false;
    bool m_lastOk = false;
    bool m_pageLoaded = false;
};

// Cookies go only to the host of the address they are for, and only over http(s).
bool kWebCookieTarget(const QUrl &url);
