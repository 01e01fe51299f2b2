#pragma once

#include <mutex>

// Stand-in for the Windows critical section: a lock that the owning thread may take again.
class KCriticalSection
{
public:
    void enter() { m_mutex.lock(); }
    bool tryEnter() { return m_mutex.try_lock(); }
    void leave() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

// Holds a critical section for the span of a scope.
class KCriticalSectionLocker
{
public:
    explicit KCriticalSectionLocker(KCriticalSection &section) : m_section(section) { m_section.enter(); }
    ~KCriticalSectionLocker() { m_section.leave(); }
    KCriticalSectionLocker(const KCriticalSectionLocker &) = delete;
    KCriticalSectionLocker &operator=(const KCriticalSectionLocker &) = delete;

private:
    KCriticalSection &m_section;
};
