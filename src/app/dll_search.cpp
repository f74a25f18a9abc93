// Limiting where the program takes DLLs from, before anything loads one: a DLL planted in the
// program's folder or in the current folder would otherwise run with the program's rights.

#include "app/uninst_app.h"
#include "text/text.h"

namespace {

constexpr std::uint32_t kSearchSystemFolder = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

}  // namespace

CString CUninstApp::LimitDllSearch() {
    ISystem& system = m_platform.system;
    if (system.SetDefaultDllDirectories(kSearchSystemFolder)) return "the system folder only";
    // The program's own folder still comes first, but the current folder drops out and the
    // system folder comes next.
    const CString systemFolder = WithoutTrailingBackslashBeyondRoot(m_sysDir, m_codePage);
    if (!systemFolder.empty() && system.SetDllSearchFolder(systemFolder)) {
        return "the program's folder, then " + systemFolder + "; not the current folder";
    }
    return "the system's own order";
}
