#include "platform/sim/sim_modules.h"

#include "platform/sim/sim_fault.h"
#include "platform/sim/sim_text.h"

namespace {

class SimLoadedModule : public IModule {
public:
    SimLoadedModule(SimTranscript& transcript, SimPower& power, int& loaded, CString path, SimModule module)
        : m_transcript(transcript),
          m_power(power),
          m_loaded(loaded),
          m_path(std::move(path)),
          m_module(std::move(module)) {
        ++m_loaded;
    }
    ~SimLoadedModule() override {
        --m_loaded;
        m_transcript.Record({SimEventKind::ModuleFreed, m_path, {}, 0, 0});
    }
    SimLoadedModule(const SimLoadedModule&) = delete;
    SimLoadedModule& operator=(const SimLoadedModule&) = delete;

    bool HasUnregisterExport() override { return m_module.hasExport; }

    std::int32_t CallUnregister() override {
        // Calling through the null address that GetProcAddress gave would crash the process.
        if (!m_module.hasExport) SimFault("sim: called a missing DllUnregisterServer in " + m_path);
        m_power.Use();
        m_transcript.Record({SimEventKind::UnregisterCalled, m_path, {}, m_module.status, 0});
        if (m_module.onUnregister) m_module.onUnregister();
        return m_module.status;
    }

private:
    SimTranscript& m_transcript;
    SimPower& m_power;
    int& m_loaded;
    CString m_path;
    SimModule m_module;
};

bool NamesItsFolderFully(const CString& path) {
    return (path.size() >= 3 && path[1] == ':' && path[2] == '\\') ||
           (path.size() >= 2 && path[0] == '\\' && path[1] == '\\');
}

}  // namespace

SimModule SimModule::Returning(std::int32_t status) {
    SimModule module;
    module.status = status;
    return module;
}

SimModule SimModule::WithoutExport() {
    SimModule module;
    module.hasExport = false;
    return module;
}

SimModule SimModule::FailingToLoad() {
    SimModule module;
    module.loads = false;
    return module;
}

SimModule& SimModule::OnUnregister(std::function<void()> action) {
    onUnregister = std::move(action);
    return *this;
}

SimModule& SimModule::ImportingFromItsFolder() {
    importsFromItsFolder = true;
    return *this;
}

SimModules::SimModules(SimTranscript& transcript, const SimSystem& system, SimPower& power)
    : m_transcript(transcript), m_system(system), m_power(power) {}

std::unique_ptr<IModule> SimModules::LoadModule(const CString& path, DependencySearch search) {
    const bool folderFirst = search == DependencySearch::ModuleFolderFirst;
    if (folderFirst && !NamesItsFolderFully(path)) {
        SimFault("sim: the module's folder searched first for the relative path " + path);
    }
    const auto found = FindByKey(m_modules, SimFold(path, CurrentCodePage()));
    const bool loads = found != m_modules.end() && found->second.loads &&
                       (folderFirst || !found->second.importsFromItsFolder);
    m_transcript.Record({SimEventKind::ModuleLoaded, path, {}, loads ? 1 : 0, 0});
    if (!loads) return nullptr;
    return std::make_unique<SimLoadedModule>(m_transcript, m_power, m_loaded, path, found->second);
}

SimModules& SimModules::Register(const CString& path, SimModule module) {
    ValueAt(m_modules, SimFold(path, CurrentCodePage())) = module;
    return *this;
}

const CodePage& SimModules::CurrentCodePage() const { return m_system.CodePageSetting(); }
