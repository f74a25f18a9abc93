#pragma once
// Functions that only some Windows versions export. Importing one would keep the program from
// starting where it is missing (the loader refuses the whole program), so each is looked up
// when it is needed and used only where it is present.

#include <windows.h>

// The function `name` of a system DLL that the process has loaded already; null where that
// version of Windows does not export it.
template <typename Function>
Function* FindSystemFunction(const char* module, const char* name) {
    const HMODULE loaded = GetModuleHandleA(module);
    if (loaded == nullptr) return nullptr;
    // GetProcAddress gives every export one type; the caller names the real one.
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}
