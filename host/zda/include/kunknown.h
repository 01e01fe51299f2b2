#pragma once

#include <QUuid>
#include <atomic>
#include <cstdint>
#include <utility>

// The suite's reference-counted automation objects: query an interface by its GUID,
// add a reference, release it. Result codes follow the automation convention.
// Failure codes are negative 32-bit values, whatever the width of long.
enum KResult : long {
    K_OK = 0,
    K_FALSE = 1,
    K_NOINTERFACE = static_cast<long>(static_cast<int32_t>(0x80004002u)),
    K_POINTER = static_cast<long>(static_cast<int32_t>(0x80004003u)),
    K_FAIL = static_cast<long>(static_cast<int32_t>(0x80004005u)),
};

inline bool kSucceeded(long hr) { return hr >= 0; }

struct IKUnknown
{
    static QUuid iid() { return QUuid(QStringLiteral("{00000000-0000-0000-C000-000000000046}")); }
    virtual long QueryInterface(const QUuid &iid, void **object) = 0;
    virtual unsigned long AddRef() = 0;
    virtual unsigned long Release() = 0;

protected:
    virtual ~IKUnknown() = default;
};

// Counts the host objects alive, so tests can check that every one obtained was released.
class KObjectTracker
{
public:
    static int liveObjects();
    static void objectCreated();
    static void objectDestroyed();
};

// Base for host objects: reference count starting at 1, deleted at the last release.
// Derived classes answer their interfaces in queryOwnInterface.
template <typename Interface>
class KUnknownImpl : public Interface
{
public:
    KUnknownImpl() { KObjectTracker::objectCreated(); }

    long QueryInterface(const QUuid &iid, void **object) override
    {
        if (!object)
            return K_POINTER;
        *object = nullptr;
        if (iid == IKUnknown::iid() || iid == Interface::iid())
            *object = static_cast<Interface *>(this);
        else
            *object = queryOwnInterface(iid);
        if (!*object)
            return K_NOINTERFACE;
        AddRef();
        return K_OK;
    }
    unsigned long AddRef() override { return ++m_refs; }
    unsigned long Release() override
    {
        const unsigned long left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    ~KUnknownImpl() override { KObjectTracker::objectDestroyed(); }
    virtual void *queryOwnInterface(const QUuid &) { return nullptr; }

private:
    std::atomic<unsigned long> m_refs{1};
};

// Holds one reference and releases it when it goes.
template <typename T>
class KComPtr
{
public:
    KComPtr() = default;
    // Takes over a reference the caller already owns.
    explicit KComPtr(T *owned) : m_p(owned) {}
    KComPtr(const KComPtr &other) : m_p(other.m_p) { if (m_p) m_p->AddRef(); }
    KComPtr(KComPtr &&other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ~KComPtr() { reset(); }

    KComPtr &operator=(KComPtr other) noexcept
    {
        std::swap(m_p, other.m_p);
        return *this;
    }

    void reset()
    {
        if (m_p)
            std::exchange(m_p, nullptr)->Release();
    }
    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out-parameters: releases what is held and hands out the slot.
    T **put()
    {
        reset();
        return &m_p;
    }

    template <typename Other>
    KComPtr<Other> query() const
    {
        KComPtr<Other> result;
        if (m_p)
            m_p->QueryInterface(Other::iid(), reinterpret_cast<void **>(result.put()));
        return result;
    }

private:
    T *m_p = nullptr;
};
