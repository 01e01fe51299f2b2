#include "kxfeedbackstandin.h"

#include "krtdirs.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTimer>
#include <QWidget>

QString KxFeedbackStandIn::filePath()
{
    return krt::dirs::brindlexHome() + QStringLiteral("/feedback.jsonl");
}

bool KxFeedbackStandIn::append(const QJsonObject &submission, QString *error)
{
    QJsonObject line = submission;
    line.insert(QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    const QByteArray bytes = QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
    const QString path = filePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const qint64 before = file.size();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        if (error)
            *error = file.errorString();
        file.resize(before); // no half line for the next reader to trip over
        return false;
    }
    return true;
}

KxFeedbackJSApiHandler::KxFeedbackJSApiHandler(QWidget *window, QObject *parent)
    : KxWebViewJSApiHandler(parent)
    , m_window(window)
{
    using R = KxWebViewJSArgRule;
    setArgumentRules(QStringLiteral("geometry"), {});
    setArgumentRules(QStringLiteral("close"), {});
    setArgumentRules(QStringLiteral("submit"), {
        R{QStringLiteral("appid"), R::String, false, 64},
        R{QStringLiteral("category"), R::String, true, 32},
        R{QStringLiteral("content"), R::String, true, 5000},
        R{QStringLiteral("contact"), R::String, false, 200},
    });
}

void KxFeedbackJSApiHandler::geometry(KxWebViewJSContext &context)
{
    const QRect frame = m_window ? m_window->frameGeometry() : QRect();
    context.publishResult(QJsonObject{{QStringLiteral("left"), frame.left()},
                                      {QStringLiteral("width"), frame.width()},
                                      {QStringLiteral("height"), frame.height()},
                                      {QStringLiteral("result"), !m_window.isNull()}});
}

void KxFeedbackJSApiHandler::submit(KxWebViewJSContext &context)
{
    if (context.stringArg(QStringLiteral("content")).trimmed().isEmpty()) {
        context.publishError(QStringLiteral("badArgument"), QStringLiteral("the feedback is empty"));
        return;
    }
    QJsonObject submission = m_fields;
    for (const QString &key : {QStringLiteral("appid"), QStringLiteral("category"),
                               QStringLiteral("content"), QStringLiteral("contact")})
        submission.insert(key, context.stringArg(key));
    QString error;
    if (!KxFeedbackStandIn::append(submission, &error)) {
        emit submitFailed(error);
        context.publishError(QStringLiteral("writeFailed"), error);
        return;
    }
    context.publishResult(QJsonObject{{QStringLiteral("result"), true}});
    emit submitted(submission);
}

void KxFeedbackJSApiHandler::close(KxWebViewJSContext &context)
{
    context.publishResult(QJsonObject{{QStringLiteral("result"), !m_window.isNull()}});
    // Later, so the answer leaves before the window and its page go.
    QPointer<QWidget> window = m_window;
    if (window)
        QTimer::singleShot(0, this, [this, window] {
            if (window)
                closeWindow(window);
        });
}

void KxFeedbackJSApiHandler::closeWindow(QWidget *window)
{
    window->close();
}

void KxFeedbackJSApiHandler::setSubmissionFields(const QJsonObject &fields)
{
    m_fields = fields;
}
