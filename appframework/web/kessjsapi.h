#pragma once

#include "kessjsapifactory.h"

#include <kxwebviewasynjsobject.h>

#include <memory>

// The object a framework page talks to (published as "qwebkit"). Answers initialisation,
// the profile list and events itself; every other call goes to the handlers of the
// profiles the page chose at initialisation: the built-in set from the library
// "kappessbuiltinjsapi" and the application's set under "thisapplication".
class KEssJsApi : public KxWebViewAsynJSObject
{
    Q_OBJECT
public:
    explicit KEssJsApi(QObject *parent = nullptr);
    ~KEssJsApi() override;

    // The handler name of the application's set.
    static const char *const kApplicationHandler;
    // Application factories offered to every bridge object made afterwards (owned here).
    static void registerApplicationFactory(KEssJsApiAppFactory *factory);
    static void clearApplicationFactories();
    // A factory for this object only, tried before the process-wide ones (owned here). A
    // window whose handler belongs to it alone adds it, so other windows never get it.
    void addApplicationFactory(std::unique_ptr<KEssJsApiAppFactory> factory);

    // Initialises from the native side, for pages that call handlers without init; false
    // when already initialised. Same profile rules as the page's init.
    bool initProfiles(const QString &profile, const QString &appProfile);
    // Listeners name callbacks of the page that registered them; a new page has none.
    void clearEventListeners();

    // Listener bookkeeping, also used by the built-in event handler.
    virtual void addEventListener(const QString &event, const QString &callback, bool base64);
    virtual void removeEventListener(const QString &event, const QString &callback);
    virtual bool hasEventListener(const QString &event) const;
    bool isInitialised() const;

    // Calls from the page.
    Q_INVOKABLE void init(KxWebViewJSContext &context);
    Q_INVOKABLE void info(KxWebViewJSContext &context);
    Q_INVOKABLE void broadcastEvent(KxWebViewJSContext &context);
    Q_INVOKABLE void asyncCallDone(KxWebViewJSContext &context);

public slots:
    // Calls every listener of the event with the data; from any thread.
    virtual void broadcastEvent(const QString &event, const QString &data);

signals:
    void applicationJsSet(KEssJsApiHandler *handler);
    void eventListenerAdded(const QString &event, const QString &callback, bool base64);

protected:
    void doCallFunction(const QString &method, KxWebViewJSContext &context, QObject *target) override;

private:
    void loadApiLibraries();
    bool installBuiltin(const QString &profile);
    bool installApplication(const QString &profile);
    void setArgumentRules();
    QJsonObject initialise(const QString &profile, const QString &appProfile);

    struct Data;
    std::unique_ptr<Data> d;
};
