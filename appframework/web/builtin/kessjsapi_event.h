#pragma once

#include <kessjsapifactory.h>
#include <kxwebviewjscontext.h>

namespace builtin {

// Base of the built-in handlers: the bridge object they serve.
class KEssJsApi_HandlerBase : public KxWebViewJSApiHandler
{
    Q_OBJECT
public:
    explicit KEssJsApi_HandlerBase(KEssJsApi *api);

protected:
    KEssJsApi *api() const { return m_api; }

private:
    KEssJsApi *m_api;
};

// Events between the page and the native side, and the page's trace lines; reached by the
// page as the handler "event".
class KEssJsApi_Event : public KEssJsApi_HandlerBase
{
    Q_OBJECT
public:
    explicit KEssJsApi_Event(KEssJsApi *api);

    Q_INVOKABLE void addEventListener(KxWebViewJSContext &context);
    Q_INVOKABLE void removeEventListener(KxWebViewJSContext &context);
    Q_INVOKABLE void broadcastEvent(KxWebViewJSContext &context);
    Q_INVOKABLE void trace(KxWebViewJSContext &context);

public slots:
    // A line of the application's log, passed on to pages listening for "builtin.event.log".
    void onLogMessageReceived(int level, const QString &message);
};

} // namespace builtin
