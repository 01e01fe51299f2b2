#pragma once

#include <QStringList>

// The add-on's ten commands, registered with the host's command factory when the module is
// loaded and unregistered (in reverse order) when it is unloaded.
namespace kcommandregistration {
// The factory names, in the order of registration.
QStringList names();
// Whether every one of them is registered now.
bool allRegistered();
} // namespace kcommandregistration
