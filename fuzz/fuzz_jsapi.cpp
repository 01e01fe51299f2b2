#include "fuzzsupport.h"

#include <kessjsapi.h>

#include <QCoreApplication>

KFUZZ_INIT

// One message a page posts to the bridge; every call must be answered or refused, never
// crash the window. Messages from earlier inputs leave listeners behind, as a page would.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static KEssJsApi api;
    static KxWebViewJSTransport transport(&api);
    transport.post(QString::fromUtf8(kfuzz::bytes(data, size)));
    QCoreApplication::processEvents();
    return 0;
}
