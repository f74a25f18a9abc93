#include "platform/win32/win32_modules.h"

#include <windows.h>

#include "platform/win32/handles.h"

namespace {

constexpr char kUnregisterExport[] = "DllUnregisterServer";
using UnregisterServer = HRESULT(STDAPICALLTYPE*)();

class Win32Module : public IModule {
public:
    explicit Win32Module(UniqueModule module) : m_module(std::move(module)) {}

    bool HasUnregisterExport() override { return Export() != nullptr; }

    std::int32_t CallUnregister() override {
        const FARPROC address = Export();
        if (address == nullptr) return E_FAIL;
        // The detour through the generic function type says the signature comes from the export's name.
        const auto unregister = reinterpret_cast<UnregisterServer>(reinterpret_cast<void (*)()>(address));
        return unregister();
    }

private:
    FARPROC Export() { return GetProcAddress(m_module.get(), kUnregisterExport); }

    UniqueModule m_module;
};

}  // namespace

std::unique_ptr<IModule> Win32Modules::LoadModule(const CString& path, DependencySearch search) {
    const DWORD flags = search == DependencySearch::ModuleFolderFirst ? LOAD_WITH_ALTERED_SEARCH_PATH : 0;
    UniqueModule module(LoadLibraryExA(path.c_str(), nullptr, flags));
    if (!module) return nullptr;
    return std::make_unique<Win32Module>(std::move(module));
}
