#pragma once

#include <functional>

// The module's own start-up and clean-up. The start-up (application adapter, sandbox, theme
// and resources) runs on first need only, so that a command-line export never pays for it;
// the clean-up runs when the library is unloaded or the process ends, also after the
// application object is gone.
class KTavroModule
{
public:
    // Starts the add-on once; false without a QCoreApplication (nothing is started then, and a
    // later call tries again). Interface thread only.
    static bool ensureStarted();
    static bool isStarted();

    // A step to run at unload, e.g. unregistering a command. Steps run once, in reverse order
    // of registration, before the add-on's own clean-up. Steps must not rely on static
    // objects of the module made before their registration: those may already be gone.
    static void addUnloadStep(std::function<void()> step);

    // What unloading does, callable early (tests, a host that shuts the add-on down before
    // unloading it): the registered steps in reverse order, then the release of what the
    // start-up made (resources, flushed log, expired files removed, sandbox destroyed).
    // Runs each step once; later calls do nothing more.
    static void shutdown();
};
