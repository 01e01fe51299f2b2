#pragma once

#include <initializer_list>

// Stand-in for the Windows event object. An auto-reset event lets exactly one wait through
// per set() and clears itself; a manual-reset event stays set until reset().
class KEvent
{
public:
    enum ResetMode { AutoReset, ManualReset };

    explicit KEvent(ResetMode mode, bool initiallySet = false);
    ~KEvent();
    KEvent(const KEvent &) = delete;
    KEvent &operator=(const KEvent &) = delete;

    void set();
    void reset();
    // Looks without consuming, so an auto-reset event stays set.
    bool isSet() const;

    // True when the event was set within timeoutMs (negative: no time-out).
    bool wait(int timeoutMs = -1);

    // Waits until one of the events is set and returns its index, or -1 on time-out or
    // an empty list. When several are set the first in the list wins, as on Windows.
    static int waitAny(std::initializer_list<KEvent *> events, int timeoutMs = -1);

private:
    bool consumeLocked();

    ResetMode m_mode;
    bool m_set;
};
