// The command line: reading any argument text is safe, and what the first instance builds the
// working copy reads back exactly, whatever the program path holds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "app/command_line.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    IsWorkingCopySwitch(input);
    ParseUninstArguments(input);
    ProgramTitle(input, *CodePage::Known(size % 2 == 0 ? 1252 : 932));

    if (size < 4) return 0;
    std::int32_t threadId = 0;
    std::memcpy(&threadId, data, sizeof threadId);
    const std::string_view rest = input.substr(4);
    const auto split = rest.find('\x01');
    std::string_view path = rest.substr(0, split);
    const std::string_view arguments = split == std::string_view::npos ? std::string_view() : rest.substr(split + 1);
    // Windows paths hold neither quotes nor NUL bytes.
    if (path.find('"') != std::string_view::npos || path.find('\0') != std::string_view::npos) return 0;

    const CString line = BuildRelaunchCommandLine("C:\\TEMP\\~UN0001.tmp", threadId, path, arguments);
    const std::string_view argumentText = std::string_view(line).substr(std::strlen("\"C:\\TEMP\\~UN0001.tmp\" "));
    Check(IsWorkingCopySwitch(argumentText));
    const UninstSwitch parsed = ParseUninstArguments(argumentText);
    Check(parsed.waitingThreadId == threadId);
    if (path.empty()) {
        Check(!parsed.programPath);
    } else {
        Check(parsed.programPath && *parsed.programPath == path);
    }
    return 0;
}
