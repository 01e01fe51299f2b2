#pragma once

#include <QVariantList>

class KEssAppAdapterProxy;

// Numbers of the adapter's methods.
enum ApplicationAdapterMethod {
    Method_SetApplication = 4,
    Method_SetMainWindow = 5,
    Method_InstallDefaultTheme = 6,
    Method_RemoveDefaultTheme = 7,
    Method_Log = 8,
    Method_GetLaunchInfo = 9,
    Method_CloseMainWindow = 10,
    Method_OpenUrl = 13,
    Method_RequestWidget = 14,
};

// What the framework asks of the application it serves, by method number.
class IApplicationAdapter
{
public:
    // True when the method was served.
    virtual bool call(int method, const QVariantList &arguments, QVariantList &results) = 0;
    // Created on first request, owned by the adapter.
    virtual KEssAppAdapterProxy *proxy() = 0;
    virtual ~IApplicationAdapter() = default;
};

// The process-wide adapter (not owned); null until the application installs one.
IApplicationAdapter *GetApplicationAdapter();
// Returns once no log line is being handed to the adapter it replaces, so the caller may
// then delete that one. Not to be called from an adapter's own method 8.
void SetApplicationAdapter(IApplicationAdapter *adapter);
// Hands a log line to the process-wide adapter as method 8, from any thread. A line logged
// while handing one over on the same thread is not handed over again.
void HandLogLineToAdapter(int level, const QString &line);
