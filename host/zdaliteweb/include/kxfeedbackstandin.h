#pragma once

#include "kxwebviewjsapihandler.h"
#include "kxwebviewjscontext.h"

#include <QJsonObject>
#include <QPointer>
#include <QString>

// The suite's feedback service as this host stands in for it: each submission becomes one
// JSON line in filePath(). A line is written whole or not at all.
namespace KxFeedbackStandIn {
QString filePath();
// False, with the reason in *error, when the line could not be written; the file then holds
// what it held before.
bool append(const QJsonObject &submission, QString *error = nullptr);
} // namespace KxFeedbackStandIn

// The calls the shipped feedback page makes on "thisapplication": the window's geometry,
// submitting the form to the stand-in, and closing the window.
class KxFeedbackJSApiHandler : public KxWebViewJSApiHandler
{
    Q_OBJECT
public:
    explicit KxFeedbackJSApiHandler(QWidget *window, QObject *parent = nullptr);

    // Fields added to every submission (where the window was opened from, say).
    void setSubmissionFields(const QJsonObject &fields);

    Q_INVOKABLE void geometry(KxWebViewJSContext &context);
    Q_INVOKABLE void submit(KxWebViewJSContext &context);
    Q_INVOKABLE void close(KxWebViewJSContext &context);

signals:
    void submitted(const QJsonObject &submission);
    void submitFailed(const QString &error);

protected:
    // Closes the window once the page has its answer; a window may close its own way.
    virtual void closeWindow(QWidget *window);

private:
    QPointer<QWidget> m_window;
    QJsonObject m_fields;
};
