#pragma once
// The in-memory machine's self-registering modules: loading, the unregister export and freeing,
// each recorded in the transcript.

#include <functional>

#include "platform/modules.h"
#include "platform/sim/sim_power.h"
#include "platform/sim/sorted_lookup.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/transcript.h"

struct SimModule {
    bool loads = true;
    bool hasExport = true;
    bool importsFromItsFolder = false;  // loads only when its own folder is searched for its DLLs
    std::int32_t status = 0;  // what DllUnregisterServer returns
    std::function<void()> onUnregister;  // what the export does to the machine

    static SimModule Returning(std::int32_t status);
    static SimModule WithoutExport();
    static SimModule FailingToLoad();
    SimModule& OnUnregister(std::function<void()> action);
    // It imports a DLL that lies beside it, as a control imports its vendor's runtime.
    SimModule& ImportingFromItsFolder();
};

class SimModules : public IModules {
public:
    SimModules(SimTranscript& transcript, const SimSystem& system, SimPower& power);

    // The search that takes the module's folder first is a fault for a path that does not name
    // its folder from a drive's root or a server, since Windows leaves the outcome undefined.
    std::unique_ptr<IModule> LoadModule(const CString& path, DependencySearch search) override;

    // Test API. Unregistered modules fail to load. Paths compare without regard to ASCII case.
    SimModules& Register(const CString& path, SimModule module);
    // Modules loaded and not yet freed.
    int LoadedCount() const { return m_loaded; }

private:
    SimTranscript& m_transcript;
    const CodePage& CurrentCodePage() const;
    const SimSystem& m_system;
    SimPower& m_power;
    SortedPairs<CString, SimModule> m_modules;  // by folded path
    int m_loaded = 0;
};
