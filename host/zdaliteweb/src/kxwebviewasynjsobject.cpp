#include "kxwebviewasynjsobject.h"

#include <QEvent>
#include <QJsonDocument>
#include <QMetaMethod>
#include <QRegularExpression>
#include <cmath>

namespace {

bool isPlainName(const QString &name, bool emptyAllowed)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.]{0,63}$"));
    return name.isEmpty() ? emptyAllowed : pattern.match(name).hasMatch();
}

// The method a page may call: public, Q_INVOKABLE, declared below QObject, taking the context.
QMetaMethod callableMethod(const QObject *target, const QString &name)
{
    const QMetaObject *meta = target->metaObject();
    const QByteArray signature = QMetaObject::normalizedSignature(
        (name.toLatin1() + "(KxWebViewJSContext&)").constData());
    const int index = meta->indexOfMethod(signature.constData());
    if (index < QObject::staticMetaObject.methodCount())
        return QMetaMethod();
    const QMetaMethod method = meta->method(index);
    if (method.methodType() != QMetaMethod::Method || method.access() != QMetaMethod::Public)
        return QMetaMethod();
    return method;
}

} // namespace

KxWebViewAsynJSObject::KxWebViewAsynJSObject(QObject *parent)
    : QObject(parent)
    , m_transport(new KxWebViewJSTransport(this))
{
}

KxWebViewAsynJSObject::~KxWebViewAsynJSObject()
{
    for (const auto &handler : qAsConst(m_handlers))
        delete handler.data();
}

void KxWebViewAsynJSObject::registerHandler(const QString &name, KxWebViewJSApiHandler *handler)
{
    if (handler && m_handlers.value(name) == handler)
        return;
    unregisterHandler(name);
    if (!handler)
        return;
    handler->setParent(this);
    m_handlers.insert(name, handler);
}

void KxWebViewAsynJSObject::unregisterHandler(const QString &name)
{
    delete m_handlers.take(name).data();
}

KxWebViewJSApiHandler *KxWebViewAsynJSObject::handler(const QString &name) const
{
    return m_handlers.value(name).data();
}

void KxWebViewAsynJSObject::setArgumentRules(const QString &method, const QVector<KxWebViewJSArgRule> &rules)
{
    m_ownRules.set(method, rules);
}

QObject *KxWebViewAsynJSObject::transport() const
{
    return m_transport;
}

void KxWebViewAsynJSObject::callbackToJS(const QString &callback, const QString &data, bool base64)
{
    deliver({{QStringLiteral("type"), QStringLiteral("callback")},
             {QStringLiteral("name"), callback},
             {QStringLiteral("data"), base64 ? QString::fromLatin1(data.toUtf8().toBase64()) : data},
             {QStringLiteral("base64"), base64}});
}

void KxWebViewAsynJSObject::receive(const QString &text)
{
    QJsonParseError parseError{};
    const QJsonObject request = text.size() <= MaxMessageLength
        ? QJsonDocument::fromJson(text.toUtf8(), &parseError).object()
        : QJsonObject();
    const QJsonValue idValue = request.value(QStringLiteral("id"));
    const double id = idValue.toDouble(-1);
    const bool idOk = idValue.isDouble() && id >= 0 && id <= 9007199254740991.0 && id == std::floor(id);
    const QString handler = request.value(QStringLiteral("handler")).toString();
    const QString method = request.value(QStringLiteral("method")).toString();
    const QJsonValue args = request.value(QStringLiteral("args"));
    if (!idOk)
        return; // nothing to answer to; the page's helper never sends such a message
    KxWebViewJSContext context(this, qint64(id), handler, method, args.toObject());
    if (!isPlainName(handler, true) || !isPlainName(method, false) || !(args.isObject() || args.isUndefined())) {
        context.publishError(QStringLiteral("badRequest"), QStringLiteral("malformed call"));
        return;
    }
    dispatch(context);
}

void KxWebViewAsynJSObject::dispatch(KxWebViewJSContext &context)
{
    const QString name = context.handlerName();
    QObject *target = name.isEmpty() ? static_cast<QObject *>(this) : handler(name);
    if (!target) {
        context.publishError(QStringLiteral("noHandler"), QStringLiteral("no handler \"%1\"").arg(name));
        return;
    }
    if (!callableMethod(target, context.methodName()).isValid()) {
        context.publishError(QStringLiteral("noMethod"),
                             QStringLiteral("no method \"%1\" on \"%2\"").arg(context.methodName(), name));
        return;
    }
    const KxWebViewJSArgRules &rules = name.isEmpty() ? m_ownRules : handler(name)->argumentRules();
    const QString error = rules.check(context.methodName(), context.arguments());
    if (!error.isEmpty()) {
        context.publishError(QStringLiteral("badArgument"), error);
        return;
    }
    doCallFunction(context.methodName(), context, target);
}

void KxWebViewAsynJSObject::doCallFunction(const QString &method, KxWebViewJSContext &context, QObject *target)
{
    const QMetaMethod callable = callableMethod(target, method);
    if (!callable.isValid() || !callable.invoke(target, Qt::DirectConnection, Q_ARG(KxWebViewJSContext &, context)))
        context.publishError(QStringLiteral("noMethod"), QStringLiteral("cannot call \"%1\"").arg(method));
}

void KxWebViewAsynJSObject::deliver(const QJsonObject &message)
{
    const QString text = QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact));
    QPointer<KxWebViewJSTransport> transport = m_transport;
    QMetaObject::invokeMethod(this, [transport, text]() {
        if (transport)
            emit transport->message(text);
    }, Qt::QueuedConnection);
}

KxWebViewJSTransport::KxWebViewJSTransport(KxWebViewAsynJSObject *owner)
    : QObject(owner)
    , m_owner(owner)
{
}

void KxWebViewJSTransport::post(const QString &text)
{
    m_owner->receive(text);
}

bool KxWebViewJSTransport::event(QEvent *event)
{
    if (event->type() == QEvent::DeferredDelete)
        return true;
    return QObject::event(event);
}
