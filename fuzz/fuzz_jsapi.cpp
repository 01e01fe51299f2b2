#include "fuzzsupport.h"

#include <kessjsapi.h>

#include <QCoreApplication>

KFUZZ_INIT

// One message a page posts to the bridge; every call must be answered or refused, never
// crash the window. Listeners an input registered go with it, as with a new page.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static KEssJsApi api;
    static KxWebViewJSTransport transport(&api);
    transport.post(QString::fromUtf8(kfuzz::bytes(data, size)));
    QCoreApplication::processEvents();
    api.clearEventListeners();
    return 0;
}
