#include "app/unattended.h"

#include "setupinfo/text.h"

namespace {

constexpr std::string_view kSilentSwitch = "/SILENT";
constexpr std::string_view kVerySilentSwitch = "/VERYSILENT";
constexpr std::string_view kShortVerySilentSwitch = "/S";
constexpr std::string_view kWaitSwitch = "/WAIT";
constexpr std::string_view kLogSwitch = "/LOG=";

bool IsWordBreak(char byte) { return static_cast<unsigned char>(byte) <= 32; }

CString WithoutQuotes(std::string_view text) {
    CString result;
    for (char byte : text) {
        if (byte != '"') result += byte;
    }
    return result;
}

}  // namespace

UnattendedOptions ParseUnattendedSwitches(std::string_view argumentText) {
    UnattendedOptions options;
    std::size_t i = 0;
    while (i < argumentText.size()) {
        while (i < argumentText.size() && IsWordBreak(argumentText[i])) ++i;
        // A word runs to the next blank outside quotes, so a quoted path is one word.
        const std::size_t start = i;
        bool quoted = false;
        while (i < argumentText.size() && (quoted || !IsWordBreak(argumentText[i]))) {
            if (argumentText[i] == '"') quoted = !quoted;
            ++i;
        }
        const std::string_view word = argumentText.substr(start, i - start);
        if (word.empty()) continue;

        if (EqualsNoCase(word, kSilentSwitch)) {
            if (options.quietness == Quietness::Normal) options.quietness = Quietness::Silent;
        } else if (EqualsNoCase(word, kVerySilentSwitch) || EqualsNoCase(word, kShortVerySilentSwitch)) {
            options.quietness = Quietness::VerySilent;
        } else if (EqualsNoCase(word, kWaitSwitch)) {
            options.wait = true;
        } else if (StartsWithNoCase(word, kLogSwitch)) {
            options.logPath = WithoutQuotes(word.substr(kLogSwitch.size()));
        }
    }
    return options;
}
