#include "kxwebviewjscontext.h"

#include "kxwebviewasynjsobject.h"

#include <QPointer>
#include <cmath>

struct KxWebViewJSContext::State
{
    QPointer<KxWebViewAsynJSObject> object;
    qint64 callId = 0;
    QString handler;
    QString method;
    QJsonObject arguments;
    bool answered = false;

    bool answer(const QJsonObject &message)
    {
        if (answered || !object)
            return false;
        answered = true;
        QJsonObject full = message;
        full.insert(QStringLiteral("type"), QStringLiteral("result"));
        full.insert(QStringLiteral("id"), double(callId));
        object->deliver(full);
        return true;
    }

    ~State()
    {
        answer({{QStringLiteral("ok"), false},
                {QStringLiteral("error"), QJsonObject{{QStringLiteral("code"), QStringLiteral("noResult")},
                                                      {QStringLiteral("message"), QStringLiteral("the call ended without an answer")}}}});
    }
};

KxWebViewJSContext::KxWebViewJSContext(KxWebViewAsynJSObject *object, qint64 callId,
                                       const QString &handler, const QString &method,
                                       const QJsonObject &arguments)
    : d(new State)
{
    d->object = object;
    d->callId = callId;
    d->handler = handler;
    d->method = method;
    d->arguments = arguments;
}

qint64 KxWebViewJSContext::callId() const { return d->callId; }
QString KxWebViewJSContext::handlerName() const { return d->handler; }
QString KxWebViewJSContext::methodName() const { return d->method; }
QJsonObject KxWebViewJSContext::arguments() const { return d->arguments; }
bool KxWebViewJSContext::contains(const QString &name) const { return d->arguments.contains(name); }

QString KxWebViewJSContext::stringArg(const QString &name, const QString &fallback) const
{
    const QJsonValue v = d->arguments.value(name);
    return v.isString() ? v.toString() : fallback;
}

double KxWebViewJSContext::numberArg(const QString &name, double fallback) const
{
    const QJsonValue v = d->arguments.value(name);
    return v.isDouble() && std::isfinite(v.toDouble()) ? v.toDouble() : fallback;
}

int KxWebViewJSContext::intArg(const QString &name, int fallback) const
{
    const double v = numberArg(name, std::nan(""));
    // Out-of-range or fractional numbers are another type as far as an int is concerned.
    if (std::isnan(v) || v != std::floor(v) || v < INT_MIN || v > INT_MAX)
        return fallback;
    return int(v);
}

bool KxWebViewJSContext::boolArg(const QString &name, bool fallback) const
{
    const QJsonValue v = d->arguments.value(name);
    return v.isBool() ? v.toBool() : fallback;
}

QJsonObject KxWebViewJSContext::objectArg(const QString &name) const
{
    return d->arguments.value(name).toObject();
}

QJsonArray KxWebViewJSContext::arrayArg(const QString &name) const
{
    return d->arguments.value(name).toArray();
}

bool KxWebViewJSContext::publishResult(const QJsonValue &result)
{
    return d->answer({{QStringLiteral("ok"), true}, {QStringLiteral("result"), result}});
}

bool KxWebViewJSContext::publishError(const QString &code, const QString &message)
{
    return d->answer({{QStringLiteral("ok"), false},
                      {QStringLiteral("error"), QJsonObject{{QStringLiteral("code"), code},
                                                            {QStringLiteral("message"), message}}}});
}

bool KxWebViewJSContext::isAnswered() const { return d->answered; }
