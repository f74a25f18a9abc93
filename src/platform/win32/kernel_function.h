#pragma once
// Functions of kernel32 that some of the supported systems lack: looked up at run time, so that
// the program still starts where they are missing, and called only where they are present.

#include <windows.h>

// The function of that name in kernel32, or null.
template <typename Function>
Function KernelFunction(const char* name) {
    const FARPROC address = GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), name);
    // The detour through the generic function type says the signature comes from the name.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}
