#include "iapplicationadapter.h"

#include <atomic>

namespace {
// Read by the logger on any thread.
std::atomic<IApplicationAdapter *> g_adapter{nullptr};
}

IApplicationAdapter *GetApplicationAdapter()
{
    return g_adapter.load();
}

void SetApplicationAdapter(IApplicationAdapter *adapter)
{
    g_adapter.store(adapter);
}
