#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>

class KEssJsApi;
class KWebClientWidget;
class KxWebViewContainer;

// Holds the browser of a web client: the host's web view container and the JavaScript
// object published to its pages as "qwebkit".
class KWebClientPrivatePane : public QWidget
{
    Q_OBJECT
public:
    KWebClientPrivatePane(KWebClientWidget *client, QWidget *parent = nullptr);
    ~KWebClientPrivatePane() override;

    // Creates the browser on "about:blank" and sets up the object; once. The client loads
    // startUrl when the blank page is there, so cookies and the debugger can go first.
    void init(const QUrl &startUrl);
    bool isInitialised() const { return m_initialised; }
    QUrl startUrl() const { return m_startUrl; }
    KxWebViewContainer *container() const { return m_container; }
    KEssJsApi *jsApi() const { return m_jsApi; }

signals:
    void browserCreated();

public slots:
    void onBrowserCreated();

private:
    void setUpJsApi();

    bool m_initialised = false;
    KxWebViewContainer *m_container = nullptr;
    QPointer<KEssJsApi> m_jsApi;
    KWebClientWidget *m_client;
    QUrl m_startUrl;
};
