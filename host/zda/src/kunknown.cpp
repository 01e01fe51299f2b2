#include "kunknown.h"

namespace {
std::atomic<int> g_liveObjects{0};
}

int KObjectTracker::liveObjects()
{
    return g_liveObjects.load();
}

void KObjectTracker::objectCreated()
{
    ++g_liveObjects;
}

void KObjectTracker::objectDestroyed()
{
    --g_liveObjects;
}
