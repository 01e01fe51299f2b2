#include "iapplicationadapter.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <unordered_map>

namespace {
std::atomic<IApplicationAdapter *> g_adapter{nullptr};
// Log lines being handed over, per adapter: an adapter being replaced is waited for until
// its count drops to 0, while new lines already go to its successor.
std::mutex g_usersMutex;
std::condition_variable g_released;
std::unordered_map<IApplicationAdapter *, int> g_users;
thread_local bool t_handingOver = false;
} // namespace

IApplicationAdapter *GetApplicationAdapter()
{
    return g_adapter.load();
}

void SetApplicationAdapter(IApplicationAdapter *adapter)
{
    std::unique_lock<std::mutex> lock(g_usersMutex);
    IApplicationAdapter *replaced = g_adapter.exchange(adapter);
    if (replaced && replaced != adapter)
        g_released.wait(lock, [replaced] { return g_users.count(replaced) == 0; });
}

void HandLogLineToAdapter(int level, const QString &line)
{
    if (t_handingOver)
        return;
    IApplicationAdapter *adapter = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_usersMutex);
        adapter = g_adapter.load();
        if (!adapter)
            return;
        ++g_users[adapter];
    }
    t_handingOver = true;
    QVariantList results;
    adapter->call(Method_Log, {level, line}, results);
    t_handingOver = false;
    std::lock_guard<std::mutex> lock(g_usersMutex);
    if (--g_users[adapter] == 0) {
        g_users.erase(adapter);
        g_released.notify_all();
    }
}
