#pragma once
// Named mutexes that every process on the machine shares, shaped after kernel32's CreateMutexA
// and WaitForSingleObject.

#include <cstdint>
#include <memory>

#include "platform/types.h"

// WaitForSingleObject's results on a mutex.
enum class MutexWait {
    Taken,      // WAIT_OBJECT_0: this handle owns the mutex now
    Abandoned,  // WAIT_ABANDONED: owned now; its last owner ended without letting it go
    TimedOut,   // WAIT_TIMEOUT: another owner holds it
    Failed,     // WAIT_FAILED
};

constexpr std::uint32_t kWaitForever = 0xFFFFFFFF;

// One handle of a named mutex; when the object goes, the mutex is released if this handle owns
// it, and the handle is closed.
class INamedMutex {
public:
    virtual ~INamedMutex() = default;
    virtual MutexWait Wait(std::uint32_t milliseconds) = 0;
};

class ILocks {
public:
    virtual ~ILocks() = default;
    // CreateMutexA without an owner, or the existing mutex of that name; null when neither can
    // be had.
    virtual std::unique_ptr<INamedMutex> OpenNamedMutex(const CString& name) = 0;
};
