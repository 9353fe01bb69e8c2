#pragma once

#include <velmarith/server.h>

#include <QString>

#include <atomic>
#include <thread>
#include <utility>

namespace velmarith {
class Error;
}

namespace velmarith::server {

/// One interface of an object: the host holds a pointer to it and sees only lpVtbl; the owner
/// pointer behind it leads the shared functions back to the object.
template <class Owner>
struct InterfaceSlot {
    const void *lpVtbl;
    Owner *owner;
};

template <class Owner, class Self>
Owner &ownerOf(Self *self)
{
    return *reinterpret_cast<InterfaceSlot<Owner> *>(self)->owner;
}

/// The thread an object was created on, the only one its members may run on: the dialogs'
/// widgets belong to it.
class Apartment
{
public:
    [[nodiscard]] bool isCurrent() const { return std::this_thread::get_id() == mThread; }
    /// Whether a window may be shown from here: the object's own thread, and the Qt
    /// application's thread whenever the host made one, since widgets elsewhere get no input.
    [[nodiscard]] bool mayShowWindows() const;

private:
    std::thread::id mThread = std::this_thread::get_id();
};

/// Runs `call` on `owner`'s own thread; from any other it answers RPC_E_WRONG_THREAD and
/// touches nothing.
template <class Owner, class Call>
HRESULT onThreadOf(const Owner &owner, Call &&call)
{
    return owner.onItsThread() ? call() : RPC_E_WRONG_THREAD;
}

/// Holds one reference to an interface and releases it when it goes.
template <class Interface>
class ComRef
{
public:
    ComRef() = default;
    /// Takes over a reference the caller already holds.
    explicit ComRef(Interface *held) : mInterface(held) {}
    ComRef(const ComRef &other) : mInterface(other.mInterface)
    {
        if (mInterface)
            mInterface->lpVtbl->AddRef(mInterface);
    }
    ComRef(ComRef &&other) noexcept : mInterface(std::exchange(other.mInterface, nullptr)) {}
    ComRef &operator=(ComRef other) noexcept
    {
        std::swap(mInterface, other.mInterface);
        return *this;
    }
    ~ComRef()
    {
        if (mInterface)
            mInterface->lpVtbl->Release(mInterface);
    }

    [[nodiscard]] Interface *get() const { return mInterface; }
    /// For an out-parameter that receives a new reference.
    [[nodiscard]] Interface **receive() { return &mInterface; }

private:
    Interface *mInterface = nullptr;
};

/// A reference count a host drives on an object that lives as long as the library (a class
/// factory, type information): one release too many leaves it at zero instead of below, so
/// DllCanUnloadNow stays truthful about what else holds the library.
class HostCount
{
public:
    ULONG up() { return ULONG(++mCount); }
    ULONG down()
    {
        long count = mCount.load();
        while (count > 0 && !mCount.compare_exchange_weak(count, count - 1)) {
        }
        return ULONG(count > 0 ? count - 1 : 0);
    }
    [[nodiscard]] bool held() const { return mCount.load() > 0; }

private:
    std::atomic<long> mCount{0};
};

/// Marks a function that calls an object through IUnknown's or IDispatch's slots although its
/// vtable is of a derived interface: the component model's ABI makes that the same call, but
/// clang's function-type sanitizer would report it.
#if defined(__clang__)
#define VELMARITH_CALLS_THROUGH_BASE_INTERFACE __attribute__((no_sanitize("function")))
#else
#define VELMARITH_CALLS_THROUGH_BASE_INTERFACE
#endif

/// What keeps the library loaded besides the factories and LockServer: live objects and
/// collections, for DllCanUnloadNow.
namespace module {
void lock();
void unlock();
[[nodiscard]] bool inUse();
} // namespace module

/// Reports a library error as DISP_E_EXCEPTION: fills `exception` when given and keeps the
/// report for VelmarithGetLastException, since a vtable call has no EXCEPINFO.
HRESULT raiseException(const QString &source, int number, const QString &description, EXCEPINFO *exception);

/// Runs `body`, turning what it raises into DISP_E_EXCEPTION.
template <class Body>
HRESULT guarded(const QString &source, EXCEPINFO *exception, Body &&body);

} // namespace velmarith::server

#include <velmarith/Error.h>

template <class Body>
HRESULT velmarith::server::guarded(const QString &source, EXCEPINFO *exception, Body &&body)
{
    try {
        return body();
    } catch (const velmarith::Error &error) {
        return raiseException(source, error.number(), error.message(), exception);
    } catch (const std::exception &error) {
        return raiseException(source, 0, QString::fromUtf8(error.what()), exception);
    }
}
