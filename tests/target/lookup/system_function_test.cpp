// Run under Wine: functions that only some Windows versions export are found where present and
// come back null where absent, so that callers can fall back instead of failing to start.

#include <windows.h>

#include <cstdio>

#include "platform/win32/system_function.h"

namespace {

int failures = 0;

void Expect(bool condition, const char* what) {
    std::printf("%s: %s\n", condition ? "ok" : "FAILED", what);
    if (!condition) ++failures;
}

}  // namespace

int main() {
    using TickCountFunction = DWORD WINAPI();
    auto* const tickCount = FindSystemFunction<TickCountFunction>("KERNEL32.DLL", "GetTickCount");
    Expect(tickCount != nullptr && tickCount() != 0, "an export that is present is found and can be called");
    Expect(FindSystemFunction<TickCountFunction>("KERNEL32.DLL", "NoSuchExportAnywhere") == nullptr,
           "an export that is absent is null");
    Expect(FindSystemFunction<TickCountFunction>("NOSUCHDLL.DLL", "GetTickCount") == nullptr,
           "an export of a DLL that is not loaded is null");
    return failures == 0 ? 0 : 1;
}
