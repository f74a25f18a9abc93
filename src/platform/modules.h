#pragma once
// Self-registering modules, shaped after LoadLibraryExA, GetProcAddress and FreeLibrary.

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

// Where the loader looks for the DLLs that a module imports.
enum class DependencySearch {
    // Flags 0, as LoadLibraryA: the process's own DLL search.
    Standard,
    // LOAD_WITH_ALTERED_SEARCH_PATH: the module's own folder first, then the process's search.
    // Windows leaves it undefined for a relative path.
    ModuleFolderFirst,
};

class IModules {
public:
    virtual ~IModules() = default;
    // LoadLibraryExA(path, NULL, flags of search): null when the module or a DLL it imports cannot
    // be loaded.
    virtual std::unique_ptr<IModule> LoadModule(const CString& path, DependencySearch search) = 0;
};
