#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QSharedPointer>
#include <QString>

class KxWebViewAsynJSObject;

// One call a page made through the bridge: its id, the handler and method it named, its
// arguments. A handler answers it once, now or later, with publishResult or publishError;
// copies share the answer, so a copy kept for a later answer is the same call. When the last
// copy goes away unanswered the page gets the error "noResult", so no promise waits forever.
class KxWebViewJSContext
{
public:
    KxWebViewJSContext(KxWebViewAsynJSObject *object, qint64 callId, const QString &handler,
                       const QString &method, const QJsonObject &arguments);

    qint64 callId() const;
    QString handlerName() const;
    QString methodName() const;
    QJsonObject arguments() const;
    bool contains(const QString &name) const;

    // Typed reads: the default when the argument is missing or of another type.
    QString stringArg(const QString &name, const QString &fallback = QString()) const;
    double numberArg(const QString &name, double fallback = 0) const;
    int intArg(const QString &name, int fallback = 0) const;
    bool boolArg(const QString &name, bool fallback = false) const;
    QJsonObject objectArg(const QString &name) const;
    QJsonArray arrayArg(const QString &name) const;

    // False when the call was answered already or its object is gone.
    bool publishResult(const QJsonValue &result);
    bool publishError(const QString &code, const QString &message);
    bool isAnswered() const;

private:
    struct State;
    QSharedPointer<State> d;
};
