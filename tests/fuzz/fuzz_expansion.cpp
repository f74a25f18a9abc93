// Variable expansion over arbitrary text: it must neither crash nor hang, text whose percent signs
// are all escaped comes back as it was, and a successful expansion leaves no reference behind
// that one more expansion would still expand.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/uninst_app.h"
#include "platform/sim/sim_machine.h"
#include "text/text.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

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
    if (original.find('%') == CString::npos) Check(expanded && text == original);

    // With every percent sign escaped, nothing is a reference.
    CString escaped = EscapePercent(original);
    Check(app.ExpandVariables(escaped) && escaped == original);

    // No value holds a percent sign, so where the text escapes none, a successful expansion can
    // leave only a last one that opens nothing, and one more expansion changes nothing.
    if (expanded && original.find("%%") == CString::npos) {
        const auto percent = text.find('%');
        Check(percent == CString::npos || percent + 1 == text.size());
        CString again = text;
        Check(app.ExpandVariables(again) && again == text);
    }
    return 0;
}
