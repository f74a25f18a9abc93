#include "app/command_line.h"

#include <algorithm>

#include "text/text.h"

namespace {

bool IsPathByte(char byte) { return static_cast<unsigned char>(byte) > 32; }

// The program path at the start of text: a quoted path up to its closing quote, or the run of
// bytes above 32.
std::string_view ProgramPathAt(std::string_view text) {
    if (!text.empty() && text.front() == '"') {
        text.remove_prefix(1);
        return text.substr(0, text.find('"'));
    }
    std::size_t end = 0;
    while (end < text.size() && IsPathByte(text[end])) ++end;
    return text.substr(0, end);
}

}  // namespace

bool IsWorkingCopySwitch(std::string_view argumentText) { return StartsWithAsciiNoCase(argumentText, kUninstSwitch); }

UninstSwitch ParseUninstArguments(std::string_view argumentText) {
    UninstSwitch result;
    std::string_view text = TrimRightWhiteSpace(argumentText.substr(std::min(argumentText.size(), kUninstSwitch.size())));
    if (text.empty() || text.front() != '=') return result;
    text.remove_prefix(1);
    if (text.empty() || !IsPathByte(text.front())) return result;

    const auto comma = text.find(',');
    if (comma != std::string_view::npos) {
        const std::string_view number = text.substr(0, comma);
        if (number.find_first_not_of("0123456789-") == std::string_view::npos) {
            result.waitingThreadId = ParseSignedDecimal(number);
            text.remove_prefix(comma + 1);
        }
    }
    const std::string_view path = ProgramPathAt(text);
    if (!path.empty()) result.programPath = CString(path);
    return result;
}

CString BuildRelaunchCommandLine(std::string_view tempFile, std::int32_t threadId, std::string_view programPath,
                                 std::string_view argumentText) {
    CString line = "\"" + CString(tempFile) + "\" " + CString(kUninstSwitch) + "=" + std::to_string(threadId) + ",";
    const bool wouldBeCut = std::find_if(programPath.begin(), programPath.end(),
                                         [](char byte) { return !IsPathByte(byte); }) != programPath.end();
    line += wouldBeCut ? "\"" + CString(programPath) + "\"" : CString(programPath);
    if (!argumentText.empty()) line += " " + CString(argumentText);
    return line;
}

CString ProgramTitle(std::string_view modulePath, const CodePage& codePage) {
    std::size_t slash = std::string_view::npos;
    for (std::size_t i = 0; i < modulePath.size(); i += codePage.CharacterSize(modulePath, i)) {
        if (modulePath[i] == '\\' || modulePath[i] == '/') slash = i;
    }
    std::string_view name = slash == std::string_view::npos ? modulePath : modulePath.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    return CString(name);
}
