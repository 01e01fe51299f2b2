#pragma once

#include <kappmainwindow.h>

#include <QPointer>
#include <QUrl>

class KFrameOuterShadow;
class KWebClientWidget;

// A framework window whose client area is a web page. Its page may keep it open: when the
// page listens for "builtin.event.queryclose", a close request is handed to the page, which
// closes the window itself once it agrees (closeConfirmed()).
class KWebMainwindow : public KAppMainWindow
{
    Q_OBJECT
public:
    static const QString QueryCloseEvent;

    explicit KWebMainwindow(QWidget *parent = nullptr);
    ~KWebMainwindow() override;

    // The page the client loads when the window is first shown.
    void setStartUrl(const QUrl &url);
    QUrl startUrl() const { return m_startUrl; }

    // Null until the interface is built.
    KWebClientWidget *webClient() const;
    KFrameOuterShadow *outerShadow() const { return m_outerShadow; }

public slots:
    // Closes without asking the page: for the page's own close and for callers that must.
    void closeConfirmed();

protected:
    void beforeInitUi() override;
    void afterInitUi() override;
    KFrameClientWidget *createClientWidget() override;
    virtual KWebClientWidget *createWebClient();
    // Whether this window is the application's main window (adapter method 5). A secondary
    // window says no, so it does not take the main window's place, size and title bar.
    virtual bool isApplicationMainWindow() const { return true; }
    void closeEvent(QCloseEvent *event) override;

    // The theme class this window's look is read under.
    QString themeClassName() const;

private:
    bool pageWantsToAsk() const;

    QUrl m_startUrl;
    QPointer<KFrameOuterShadow> m_outerShadow;
    bool m_started = false;
    bool m_confirmed = false;
};
