#include "app/unattended.h"

#include "setupinfo/text.h"

namespace {

constexpr std::string_view kSilentSwitch = "/SILENT";
constexpr std::string_view kVerySilentSwitch = "/VERYSILENT";
constexpr std::string_view kShortVerySilentSwitch = "/S";
constexpr std::string_view kWaitSwitch = "/WAIT";
constexpr std::string_view kLogSwitch = "/LOG=";
constexpr std::string_view kPlanSwitch = "/PLAN";

bool IsWordBreak(char byte) { return static_cast<unsigned char>(byte) <= 32; }

CString WithoutQuotes(std::string_view text) {
    CString result;
    for (char byte : text) {
        if (byte != '"') result += byte;
    }
    return result;
}

bool IsSwitch(std::string_view word) {
    return EqualsNoCase(word, kSilentSwitch) || EqualsNoCase(word, kVerySilentSwitch) ||
           EqualsNoCase(word, kShortVerySilentSwitch) || EqualsNoCase(word, kWaitSwitch) ||
           EqualsNoCase(word, kPlanSwitch) || StartsWithNoCase(word, kLogSwitch);
}

// Calls visit with each word and the text before it; a word runs to the next blank outside
// quotes, so a quoted path is one word.
template <typename Visit>
void ForEachWord(std::string_view text, Visit visit) {
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t gap = i;
        while (i < text.size() && IsWordBreak(text[i])) ++i;
        const std::size_t start = i;
        bool quoted = false;
        while (i < text.size() && (quoted || !IsWordBreak(text[i]))) {
            if (text[i] == '"') quoted = !quoted;
            ++i;
        }
        if (i > start) visit(text.substr(gap, start - gap), text.substr(start, i - start));
    }
}

}  // namespace

CString WithoutUnattendedSwitches(std::string_view argumentText) {
    CString kept;
    ForEachWord(argumentText, [&](std::string_view gap, std::string_view word) {
        if (IsSwitch(word)) return;
        kept += kept.empty() ? CString() : CString(gap.empty() ? " " : gap);
        kept += word;
    });
    return kept;
}

UnattendedOptions ParseUnattendedSwitches(std::string_view argumentText) {
    UnattendedOptions options;
    ForEachWord(argumentText, [&](std::string_view, std::string_view word) {
        if (EqualsNoCase(word, kSilentSwitch)) {
            if (options.quietness == Quietness::Normal) options.quietness = Quietness::Silent;
        } else if (EqualsNoCase(word, kVerySilentSwitch) || EqualsNoCase(word, kShortVerySilentSwitch)) {
            options.quietness = Quietness::VerySilent;
        } else if (EqualsNoCase(word, kWaitSwitch)) {
            options.wait = true;
        } else if (EqualsNoCase(word, kPlanSwitch)) {
            options.plan = true;
        } else if (StartsWithNoCase(word, kLogSwitch)) {
            options.logPath = WithoutQuotes(word.substr(kLogSwitch.size()));
        }
    });
    return options;
}
