#pragma once
// Self-registering modules, shaped after LoadLibraryA, GetProcAddress and FreeLibrary.

#include <cstdint>
#include <memory>

#include "platform/types.h"

// A loaded module; freed when the object goes.
class IModule {
public:
    virtual ~IModule() = default;
    // GetProcAddress(module, "DllUnregisterServer") != NULL.
    virtual bool HasUnregisterExport() = 0;
    // Calls the export; its HRESULT, zero for success.
    virtual std::int32_t CallUnregister() = 0;
};

class IModules {
public:
    virtual ~IModules() = default;
    // LoadLibraryA: null when the module cannot be loaded.
    virtual std::unique_ptr<IModule> LoadModule(const CString& path) = 0;
};
