// The library "kappessbuiltinjsapi": the built-in bridge handlers, profile "1_0". It reaches
// the bridge object through virtual calls only, so it needs nothing of the framework's code.
#include "kessjsapi_event.h"

#include <iapplicationadapter.h>
#include <kessjsapi.h>

#include <QVariantList>

namespace {

IApplicationAdapter *g_adapter = nullptr;

KxWebViewJSArgRule rule(const char *name, KxWebViewJSArgRule::Type type, int maxLength, bool required)
{
    KxWebViewJSArgRule r;
    r.name = QLatin1String(name);
    r.type = type;
    r.maxLength = maxLength;
    r.required = required;
    return r;
}

class EventFactory : public KEssJsApiFactory
{
public:
    QString profile() const override { return QStringLiteral("1_0"); }
    KEssJsApiHandler *create(KEssJsApi *api) override { return new builtin::KEssJsApi_Event(api); }
};

KEssJsApiFactory *g_factories[1] = {nullptr};

} // namespace

namespace builtin {

KEssJsApi_HandlerBase::KEssJsApi_HandlerBase(KEssJsApi *api)
    : m_api(api)
{
}

KEssJsApi_Event::KEssJsApi_Event(KEssJsApi *api)
    : KEssJsApi_HandlerBase(api)
{
    setObjectName(QStringLiteral("event"));
    using T = KxWebViewJSArgRule;
    setArgumentRules(QStringLiteral("addEventListener"), {rule("event", T::String, 256, true),
                                                          rule("callback", T::String, 256, true),
                                                          rule("base64", T::Bool, 0, false)});
    setArgumentRules(QStringLiteral("removeEventListener"),
                     {rule("event", T::String, 256, true), rule("callback", T::String, 256, true)});
    setArgumentRules(QStringLiteral("broadcastEvent"),
                     {rule("event", T::String, 256, true), rule("data", T::String, 1 << 16, false)});
    setArgumentRules(QStringLiteral("trace"), {rule("message", T::String, 4096, true)});
}

void KEssJsApi_Event::addEventListener(KxWebViewJSContext &context)
{
    api()->addEventListener(context.stringArg(QStringLiteral("event")), context.stringArg(QStringLiteral("callback")),
                            context.boolArg(QStringLiteral("base64")));
    context.publishResult(true);
}

void KEssJsApi_Event::removeEventListener(KxWebViewJSContext &context)
{
    api()->removeEventListener(context.stringArg(QStringLiteral("event")),
                               context.stringArg(QStringLiteral("callback")));
    context.publishResult(true);
}

void KEssJsApi_Event::broadcastEvent(KxWebViewJSContext &context)
{
    api()->broadcastEvent(context.stringArg(QStringLiteral("event")), context.stringArg(QStringLiteral("data")));
    context.publishResult(true);
}

// A page's line goes to the application's log, marked as the page's, at the debug level.
void KEssJsApi_Event::trace(KxWebViewJSContext &context)
{
    QVariantList results;
    const bool logged = g_adapter
        && g_adapter->call(Method_Log, {0, QStringLiteral("[page] ") + context.stringArg(QStringLiteral("message"))},
                           results);
    context.publishResult(logged);
}

void KEssJsApi_Event::onLogMessageReceived(int level, const QString &message)
{
    api()->broadcastEvent(QStringLiteral("builtin.event.log"), QStringLiteral("%1 %2").arg(level).arg(message));
}

} // namespace builtin

extern "C" {

Q_DECL_EXPORT KEssJsApiFactory **CreateBuiltinApiFactory(int *count)
{
    if (!g_factories[0])
        g_factories[0] = new EventFactory;
    if (count)
        *count = 1;
    return g_factories;
}

Q_DECL_EXPORT void SetGlobalApplicationAdapter(IApplicationAdapter *adapter)
{
    g_adapter = adapter;
}

Q_DECL_EXPORT void ReleaseLibrary()
{
    delete g_factories[0];
    g_factories[0] = nullptr;
    g_adapter = nullptr;
}
}
