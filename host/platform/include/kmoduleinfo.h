#pragma once

#include <QString>
#include <QtGlobal>

// Module look-ups by an address inside the module (the Linux stand-in for the module-handle
// and module-file queries). Nothing here changes a module's reference count.
class KModuleInfo
{
public:
    // File of the shared object or executable that holds the address; empty when unknown.
    static QString filePathOf(const void *address);
    // The executable of the running process; empty when it cannot be read.
    static QString processExecutable();
    // The errno text of the last failed look-up, for messages.
    static QString lastError();
};
