#pragma once

#include "kessjsapifactory.h"
#include "kwebclientwidget.h"
#include "kwebmainwindow.h"

#include <kliteiconbutton.h>
#include <kxfeedbackstandin.h>
#include <kxwebviewjscontext.h>

#include <QPointer>

// The suite's feedback web application for the current framework application.
class KEssWidget_Feedback : public KWebMainwindow
{
    Q_OBJECT
public:
    // from: where the window was opened from, told to the page and the statistics.
    explicit KEssWidget_Feedback(QWidget *parent = nullptr, const QString &from = QStringLiteral("matrix_assistmenu"));

    QString from() const { return m_from; }
    // The feedback application's address for this application, or the sandbox's
    // "FeedbackDebugUrl" when set to a web or built-in address.
    static QUrl startAddress();
    // Lets adapter method 14 make this window (kind 2).
    static void registerWithAdapter();

protected:
    KWebClientWidget *createWebClient() override;
    bool isApplicationMainWindow() const override { return false; }
    void showEvent(QShowEvent *event) override;

private:
    QString m_from;
    bool m_announced = false;
};

// The window's close button, drawn over the page's top right corner.
class KEssWidget_CloseButton : public KLiteIconButton
{
    Q_OBJECT
public:
    explicit KEssWidget_CloseButton(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

class KEssWidget_Feedback_ClientWidget : public KWebClientWidget
{
    Q_OBJECT
public:
    KEssWidget_Feedback_ClientWidget(const QString &from, KWebMainwindow *window);

    KEssWidget_CloseButton *closeButton() const { return m_close; }
    KEssJsApi *createJsApi() override;
    // The shipped page calls "thisapplication" without init.
    QString applicationProfile() const override { return QStringLiteral("1.0"); }
    // The user's login and where the window was opened from.
    QList<QNetworkCookie> startCookies() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QString m_from;
    QPointer<KWebMainwindow> m_window;
    KEssWidget_CloseButton *m_close;
};

// What the feedback page reaches as "thisapplication": the host's feedback calls (geometry,
// submit, close), each submission marked with where the window was opened from, and a close
// the web window confirms itself.
class KEssWidget_Feedback_API : public KxFeedbackJSApiHandler
{
    Q_OBJECT
public:
    KEssWidget_Feedback_API(KWebMainwindow *window, const QString &from);

protected:
    void closeWindow(QWidget *window) override;
};

// Serves the application profile "1_0" to the feedback window's own bridge object.
class KEssJsApi_ThisApplication1_0KEssWidget_Feedback_API_Factory : public KEssJsApiAppFactory
{
public:
    KEssJsApi_ThisApplication1_0KEssWidget_Feedback_API_Factory(KWebMainwindow *window, const QString &from);
    QString profile() const override { return QStringLiteral("1_0"); }
    bool accepts(const QString &) const override { return true; }
    KEssJsApiHandler *create(KEssJsApi *api) override;

private:
    QPointer<KWebMainwindow> m_window;
    QString m_from;
};
