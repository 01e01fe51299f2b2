#pragma once

#include "kxwebviewjsapihandler.h"
#include "kxwebviewjscontext.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class KxWebViewJSTransport;

// The native object a page talks to. A web view container publishes its transport (not the
// object itself, so a page sees two members only) under a name such as "qwebkit".
//
// Wire format, all text is JSON (qrc:/zdaliteweb/js/bridge.js speaks it for pages):
//   page -> native, transport.post(text):
//     {"id": <integer>, "handler": <name or "">, "method": <name>, "args": {...}}
//     handler "" means this object's own calls.
//   native -> page, transport signal message(text):
//     {"type": "result", "id": <id>, "ok": true, "result": <any JSON value>}
//     {"type": "result", "id": <id>, "ok": false, "error": {"code": <text>, "message": <text>}}
//     {"type": "callback", "name": <callback>, "data": <text>, "base64": <bool>}
// Error codes: "badRequest" (malformed message), "noHandler", "noMethod", "badArgument",
// "noResult" (the call ended unanswered) and whatever a handler publishes.
// Results always arrive after post() has returned. GUI thread only.
class KxWebViewAsynJSObject : public QObject
{
    Q_OBJECT
public:
    explicit KxWebViewAsynJSObject(QObject *parent = nullptr);
    ~KxWebViewAsynJSObject() override;

    // Takes ownership; a handler already under that name is deleted.
    void registerHandler(const QString &name, KxWebViewJSApiHandler *handler);
    void unregisterHandler(const QString &name);
    KxWebViewJSApiHandler *handler(const QString &name) const;

    // Rules for this object's own calls (handler "").
    void setArgumentRules(const QString &method, const QVector<KxWebViewJSArgRule> &rules);

    // Calls the page's callback registered under that name. With base64 the data travels
    // as Base64 of its UTF-8 form.
    void callbackToJS(const QString &callback, const QString &data, bool base64 = false);

    // What the container publishes to the page.
    QObject *transport() const;

    static constexpr int MaxMessageLength = 1 << 20;

signals:
    // Files dragged onto the view that published this object (paths only).
    void dragEnter(const QStringList &localFiles);

protected:
    // Runs the method on the target (a registered handler or this object) once its
    // arguments passed their rules. Overrides may log or wrap, then call this.
    virtual void doCallFunction(const QString &method, KxWebViewJSContext &context, QObject *target);

private:
    friend class KxWebViewJSContext;
    friend class KxWebViewJSTransport;
    void receive(const QString &text);
    void dispatch(KxWebViewJSContext &context);
    void deliver(const QJsonObject &message);

    KxWebViewJSTransport *m_transport = nullptr;
    QHash<QString, QPointer<KxWebViewJSApiHandler>> m_handlers;
    KxWebViewJSArgRules m_ownRules;
};

// The two members a page sees: post(text) and the signal message(text).
class KxWebViewJSTransport : public QObject
{
    Q_OBJECT
public:
    explicit KxWebViewJSTransport(KxWebViewAsynJSObject *owner);
    Q_INVOKABLE void post(const QString &text);

signals:
    void message(const QString &text);

protected:
    // The page sees QObject's deleteLater() too; the object it would delete is not the
    // page's to delete.
    bool event(QEvent *event) override;

private:
    KxWebViewAsynJSObject *m_owner;
};
