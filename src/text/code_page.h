#pragma once
// The system's ANSI code page as the text scans need it: which bytes open a two-byte character.
// On Japanese, Chinese and Korean systems the byte after such a lead byte can be an ASCII letter,
// a bracket or the backslash, so separators and letters are looked for by characters, never by
// bytes. Bytes below 0x40 (controls, blanks, digits, ",;=%:\"'") never follow a lead byte, so a
// plain byte search for them is exact on every code page.

#include <cstdint>
#include <optional>
#include <string_view>

struct LeadByteRange {
    unsigned char first;
    unsigned char last;
};

class CodePage {
public:
    // A single-byte code page (Western, 1252): every byte is a character of its own.
    CodePage() = default;
    // Up to the five ranges that GetCPInfo reports; a range with first 0 ends the list.
    CodePage(std::uint32_t number, const LeadByteRange* ranges, std::size_t count);

    // The code pages whose lead bytes are known without asking a system: 1252, 932, 936, 949,
    // 950, and the single-byte ones that Windows ships (437, 850, 1250 to 1258, ...) as single-byte.
    static std::optional<CodePage> Known(std::uint32_t number);

    std::uint32_t Number() const { return m_number; }
    bool HasLeadBytes() const { return m_hasLeadBytes; }
    bool IsLeadByte(char byte) const {
        const auto value = static_cast<unsigned char>(byte);
        return (m_leadBits[value / 32] >> (value % 32)) & 1u;
    }

    // The size of the character that starts at offset: 2 for a lead byte with a byte after it.
    std::size_t CharacterSize(std::string_view text, std::size_t offset) const {
        return IsLeadByte(text[offset]) && offset + 1 < text.size() ? 2 : 1;
    }
    // The first character that is the ASCII character wanted, at or after from (a character
    // start); npos when there is none.
    std::size_t Find(std::string_view text, char wanted, std::size_t from = 0) const;
    // The last such character; npos when there is none.
    std::size_t FindLast(std::string_view text, char wanted) const;
    // Whether the last character of the text is the ASCII character wanted.
    bool EndsWith(std::string_view text, char wanted) const;
    // Whether a character starts at offset (the end of the text counts).
    bool IsCharacterStart(std::string_view text, std::size_t offset) const;

private:
    std::uint32_t m_number = 1252;
    bool m_hasLeadBytes = false;
    std::uint32_t m_leadBits[8] = {};
};
