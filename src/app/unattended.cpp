#include "app/unattended.h"

#include <vector>

#include "text/text.h"

namespace {

constexpr std::string_view kSilentSwitch = "/SILENT";
constexpr std::string_view kVerySilentSwitch = "/VERYSILENT";
constexpr std::string_view kShortVerySilentSwitch = "/S";
constexpr std::string_view kWaitSwitch = "/WAIT";
constexpr std::string_view kLogSwitch = "/LOG=";
constexpr std::string_view kPlanSwitch = "/PLAN";
constexpr std::string_view kLanguageSwitch = "/LANG=";

bool IsWordBreak(char byte) { return static_cast<unsigned char>(byte) <= 32; }

CString WithoutQuotes(std::string_view text) {
    CString result;
    for (char byte : text) {
        if (byte != '"') result += byte;
    }
    return result;
}

bool IsSwitch(std::string_view word) {
    return EqualsAsciiNoCase(word, kSilentSwitch) || EqualsAsciiNoCase(word, kVerySilentSwitch) ||
           EqualsAsciiNoCase(word, kShortVerySilentSwitch) || EqualsAsciiNoCase(word, kWaitSwitch) ||
           EqualsAsciiNoCase(word, kPlanSwitch) || StartsWithAsciiNoCase(word, kLogSwitch) ||
           StartsWithAsciiNoCase(word, kLanguageSwitch);
}

// A word runs to the next blank outside quotes, so a quoted path is one word.
std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsWordBreak(text[i])) ++i;
        const std::size_t start = i;
        bool quoted = false;
        while (i < text.size() && (quoted || !IsWordBreak(text[i]))) {
            if (text[i] == '"') quoted = !quoted;
            ++i;
        }
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

}  // namespace

CString WithoutUnattendedSwitches(std::string_view argumentText) {
    CString kept;
    for (std::string_view word : Words(argumentText)) {
        if (IsSwitch(word)) continue;
        if (!kept.empty()) kept += ' ';
        kept += word;
    }
    return kept;
}

UnattendedOptions ParseUnattendedSwitches(std::string_view argumentText) {
    UnattendedOptions options;
    for (std::string_view word : Words(argumentText)) {
        if (EqualsAsciiNoCase(word, kSilentSwitch)) {
            if (options.quietness == Quietness::Normal) options.quietness = Quietness::Silent;
        } else if (EqualsAsciiNoCase(word, kVerySilentSwitch) || EqualsAsciiNoCase(word, kShortVerySilentSwitch)) {
            options.quietness = Quietness::VerySilent;
        } else if (EqualsAsciiNoCase(word, kWaitSwitch)) {
            options.wait = true;
        } else if (EqualsAsciiNoCase(word, kPlanSwitch)) {
            options.plan = true;
        } else if (StartsWithAsciiNoCase(word, kLogSwitch)) {
            options.logPath = WithoutQuotes(word.substr(kLogSwitch.size()));
        } else if (StartsWithAsciiNoCase(word, kLanguageSwitch)) {
            options.languageTag = WithoutQuotes(word.substr(kLanguageSwitch.size()));
        }
    }
    return options;
}
