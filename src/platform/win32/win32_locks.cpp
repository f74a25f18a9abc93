#include "platform/win32/win32_locks.h"

#include <windows.h>

#include "platform/win32/handles.h"

namespace {

// Enough to wait for the mutex and to release it, where a handle of all access is refused.
constexpr DWORD kWaitAndReleaseAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;

class Win32NamedMutex : public INamedMutex {
public:
    explicit Win32NamedMutex(HANDLE handle) : m_handle(handle) {}
    ~Win32NamedMutex() override {
        if (m_owned) ReleaseMutex(m_handle.get());
    }
    Win32NamedMutex(const Win32NamedMutex&) = delete;
    Win32NamedMutex& operator=(const Win32NamedMutex&) = delete;

    MutexWait Wait(std::uint32_t milliseconds) override {
        switch (WaitForSingleObject(m_handle.get(), milliseconds)) {
            case WAIT_OBJECT_0: m_owned = true; return MutexWait::Taken;
            case WAIT_ABANDONED: m_owned = true; return MutexWait::Abandoned;
            case WAIT_TIMEOUT: return MutexWait::TimedOut;
            default: return MutexWait::Failed;
        }
    }

private:
    UniqueHandle m_handle;
    bool m_owned = false;
};

}  // namespace

std::unique_ptr<INamedMutex> Win32Locks::OpenNamedMutex(const CString& name) {
    HANDLE handle = CreateMutexA(nullptr, FALSE, name.c_str());
    // Made by a run under another account, whose default rights may not let this one create it.
    if (!handle && GetLastError() == ERROR_ACCESS_DENIED) handle = OpenMutexA(kWaitAndReleaseAccess, FALSE, name.c_str());
    if (!handle) return nullptr;
    return std::make_unique<Win32NamedMutex>(handle);
}
