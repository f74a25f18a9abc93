#include "text/code_page.h"

namespace {

// The lead-byte ranges that Windows reports for the double-byte ANSI code pages.
constexpr LeadByteRange kJapanese[] = {{0x81, 0x9F}, {0xE0, 0xFC}};
constexpr LeadByteRange kWideRange[] = {{0x81, 0xFE}};  // 936, 949 and 950

bool IsSingleByteCodePage(std::uint32_t number) {
    return number == 437 || number == 850 || number == 852 || number == 866 || number == 874 ||
           (number >= 1250 && number <= 1258);
}

}  // namespace

CodePage::CodePage(std::uint32_t number, const LeadByteRange* ranges, std::size_t count) : m_number(number) {
    for (std::size_t i = 0; i < count && ranges[i].first != 0; ++i) {
        for (unsigned value = ranges[i].first; value <= ranges[i].last; ++value) {
            m_leadBits[value / 32] |= 1u << (value % 32);
            m_hasLeadBytes = true;
        }
    }
}

std::optional<CodePage> CodePage::Known(std::uint32_t number) {
    if (number == 932) return CodePage(number, kJapanese, 2);
    if (number == 936 || number == 949 || number == 950) return CodePage(number, kWideRange, 1);
    if (IsSingleByteCodePage(number)) return CodePage(number, nullptr, 0);
    return std::nullopt;
}

std::size_t CodePage::Find(std::string_view text, char wanted, std::size_t from) const {
    if (!m_hasLeadBytes) return text.find(wanted, from);
    for (std::size_t i = from; i < text.size(); i += CharacterSize(text, i)) {
        if (text[i] == wanted) return i;
    }
    return std::string_view::npos;
}

std::size_t CodePage::FindLast(std::string_view text, char wanted) const {
    // The wanted character is ASCII, never a lead byte: each candidate's check reads back only
    // over the lead bytes between it and the candidate before, so the search stays linear.
    for (std::size_t end = text.size(); end > 0;) {
        const std::size_t found = text.rfind(wanted, end - 1);
        if (found == std::string_view::npos || IsCharacterStart(text, found)) return found;
        end = found;
    }
    return std::string_view::npos;
}

bool CodePage::IsCharacterStart(std::string_view text, std::size_t offset) const {
    if (!m_hasLeadBytes || offset == 0) return true;
    // A lead byte in the last place stands alone, so the end of the text always ends a character.
    if (offset >= text.size()) return offset == text.size();
    // A byte that is not a lead byte always ends a character, so a character starts after it;
    // from there the lead bytes pair up, and the offset starts one when their number is even.
    std::size_t leads = 0;
    while (leads < offset && IsLeadByte(text[offset - leads - 1])) ++leads;
    return leads % 2 == 0;
}

bool CodePage::EndsWith(std::string_view text, char wanted) const {
    return !text.empty() && text.back() == wanted && IsCharacterStart(text, text.size() - 1);
}
