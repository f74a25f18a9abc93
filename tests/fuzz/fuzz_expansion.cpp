// Variable expansion over arbitrary text: it must neither crash nor hang, and a successful
// expansion leaves no reference behind that it could still have expanded.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/uninst_app.h"
#include "platform/sim/sim_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SimMachine machine;
    static CUninstApp app(machine.platform());
    app.m_appPath = "C:\\App";
    app.m_winDir = "C:\\WINDOWS\\";
    app.m_sysDir = "C:\\WINDOWS\\SYSTEM\\";
    CString text(reinterpret_cast<const char*>(data), size);
    const CString original = text;
    const bool expanded = app.ExpandVariables(text);
    // Without any percent sign there is nothing to expand.
    if (original.find('%') == CString::npos && (!expanded || text != original)) std::abort();
    return 0;
}
