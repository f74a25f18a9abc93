#pragma once
// Owners of the Windows handles that the platform layer opens: each is closed exactly once, by
// the call that belongs to its kind.

#include <windows.h>

#include <memory>
#include <type_traits>

struct KernelHandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct ModuleFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

// Null means "no handle"; callers turn INVALID_HANDLE_VALUE into null before owning.
using UniqueHandle = std::unique_ptr<void, KernelHandleCloser>;
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;
template <typename GdiHandle>
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<GdiHandle>, GdiObjectDeleter>;

inline UniqueHandle OwnFileHandle(HANDLE handle) {
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}
