#pragma once

#include <kxwebviewjsapihandler.h>

#include <QString>

class KEssJsApi;

// What a bridge handler is: a host handler, reached by name from the page.
using KEssJsApiHandler = KxWebViewJSApiHandler;

// Makes the handler of one profile. The built-in library hands these out; an application
// registers its own. Only virtual calls cross the library boundary.
class KEssJsApiFactory
{
public:
    virtual ~KEssJsApiFactory() = default;
    virtual QString profile() const = 0;
    // A new handler for the bridge object; the object owns it.
    virtual KEssJsApiHandler *create(KEssJsApi *api) = 0;
};

// An application's factory also says which applications it serves.
class KEssJsApiAppFactory : public KEssJsApiFactory
{
public:
    virtual bool accepts(const QString &appId) const = 0;
};

// The entry points of the built-in library, resolved by name.
extern "C" {
typedef KEssJsApiFactory **(*CreateBuiltinApiFactoryFn)(int *count);
typedef void (*SetGlobalApplicationAdapterFn)(class IApplicationAdapter *adapter);
typedef void (*ReleaseLibraryFn)();
}
