#include "language/language_choice.h"

#include "text/text.h"

namespace {

constexpr std::uint16_t kPrimaryMask = 0x03FF;
// Simplified and Traditional Chinese share their primary language; neither may stand in for
// the other, so Chinese is matched only by its full identifier.
constexpr std::uint16_t kChinese = 0x0004;

CString Hex(std::uint16_t langId) {
    constexpr char kDigits[] = "0123456789abcdef";
    CString text = "0x";
    for (int shift = 12; shift >= 0; shift -= 4) text += kDigits[(langId >> shift) & 0xF];
    return text;
}

std::optional<std::size_t> IndexOfTag(std::string_view tag) {
    for (std::size_t i = 0; i < kLanguageRecordCount; ++i) {
        if (EqualsAsciiNoCase(tag, kLanguageRecords[i].tag)) return i;
    }
    return std::nullopt;
}

bool Lists(const LanguageRecord& record, std::uint16_t langId, std::uint16_t mask) {
    for (std::size_t i = 0; i < record.langIdCount; ++i) {
        if ((record.langIds[i] & mask) == (langId & mask)) return true;
    }
    return false;
}

std::optional<std::size_t> IndexOfLangId(std::uint16_t langId) {
    for (std::size_t i = 0; i < kLanguageRecordCount; ++i) {
        if (Lists(kLanguageRecords[i], langId, 0xFFFF)) return i;
    }
    if ((langId & kPrimaryMask) == kChinese) return std::nullopt;
    for (std::size_t i = 0; i < kLanguageRecordCount; ++i) {
        if (Lists(kLanguageRecords[i], langId, kPrimaryMask)) return i;
    }
    return std::nullopt;
}

LanguageChoice EnglishBecause(const CString& reason) { return {Language::English(), reason}; }

}  // namespace

LanguageChoice ChooseLanguage(std::optional<std::string_view> requestedTag, std::optional<std::uint16_t> uiLanguage,
                              std::uint32_t ansiCodePage) {
    CString source;
    std::optional<std::size_t> index;
    if (requestedTag) {
        source = "/LANG=" + CString(*requestedTag);
        index = IndexOfTag(*requestedTag);
        if (!index) return EnglishBecause(source + " is no language of this program");
    } else if (uiLanguage) {
        source = "system UI language " + Hex(*uiLanguage);
        index = IndexOfLangId(*uiLanguage);
        if (!index) return EnglishBecause(source + " has no translation");
    } else {
        return EnglishBecause("the system tells no UI language");
    }
    if (*index == 0) return EnglishBecause(source);
    // An ANSI program shows the bytes of the system's code page: any other would show garbage.
    if (kLanguageRecords[*index].codePage != ansiCodePage) {
        return EnglishBecause(source + ", but the code page " + std::to_string(ansiCodePage) + " cannot show " +
                              kLanguageRecords[*index].tag);
    }
    auto language = Language::At(*index);
    if (!language) return EnglishBecause(source + ", but its texts are damaged");
    return {std::move(*language), source};
}
