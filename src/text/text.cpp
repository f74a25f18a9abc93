#include "text/text.h"

#include <cstdint>

bool IsBlankByte(char byte) { return static_cast<signed char>(byte) <= 32; }

bool IsWhiteSpace(char byte) { return byte == ' ' || (byte >= 9 && byte <= 13); }

std::string_view TrimLeftWhiteSpace(std::string_view text) {
    while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view TrimRightWhiteSpace(std::string_view text) {
    while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view TrimWhiteSpace(std::string_view text) { return TrimRightWhiteSpace(TrimLeftWhiteSpace(text)); }

namespace {

char FoldLetter(char byte) { return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : byte; }

// Compares the first size bytes of both texts, which must each start with a character.
bool EqualPrefixNoCase(std::string_view a, std::string_view b, std::size_t size, const CodePage& codePage) {
    for (std::size_t i = 0; i < size;) {
        const std::size_t length = codePage.CharacterSize(a, i);
        if (length == 1) {
            if (FoldLetter(a[i]) != FoldLetter(b[i])) return false;
        } else if (a[i] != b[i] || i + 1 >= size || a[i + 1] != b[i + 1]) {
            return false;
        }
        i += length;
    }
    return true;
}

}  // namespace

std::string_view SkipBlankBytes(std::string_view text, const CodePage& codePage) {
    while (!text.empty() && IsBlankByte(text.front()) && codePage.CharacterSize(text, 0) == 1) text.remove_prefix(1);
    return text;
}

CString FoldAscii(std::string_view text, const CodePage& codePage) {
    CString folded(text);
    for (std::size_t i = 0; i < folded.size(); i += codePage.CharacterSize(folded, i)) folded[i] = FoldLetter(folded[i]);
    return folded;
}

bool EqualsNoCase(std::string_view a, std::string_view b, const CodePage& codePage) {
    return a.size() == b.size() && EqualPrefixNoCase(a, b, a.size(), codePage);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix, const CodePage& codePage) {
    return text.size() >= prefix.size() && EqualPrefixNoCase(prefix, text, prefix.size(), codePage);
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix, const CodePage& codePage) {
    if (text.size() < suffix.size()) return false;
    const std::size_t start = text.size() - suffix.size();
    return codePage.IsCharacterStart(text, start) && EqualsNoCase(text.substr(start), suffix, codePage);
}

bool EqualsAsciiNoCase(std::string_view text, std::string_view asciiWord) {
    return EqualsNoCase(text, asciiWord, CodePage());
}

bool StartsWithAsciiNoCase(std::string_view text, std::string_view asciiPrefix) {
    return StartsWithNoCase(text, asciiPrefix, CodePage());
}

bool IsAbsolutePath(std::string_view path) {
    return path.size() >= 3 && ((path[0] == '\\' && path[1] == '\\') || path[1] == ':');
}

CString FolderOf(std::string_view path, const CodePage& codePage) {
    const auto slash = codePage.FindLast(path, '\\');
    return slash == std::string_view::npos ? CString() : CString(path.substr(0, slash + 1));
}

bool EndsWithBackslash(std::string_view text, const CodePage& codePage) { return codePage.EndsWith(text, '\\'); }

CString WithTrailingBackslash(CString folder, const CodePage& codePage) {
    if (!folder.empty() && !EndsWithBackslash(folder, codePage)) folder += '\\';
    return folder;
}

bool HasBackslash(std::string_view text, const CodePage& codePage) {
    return codePage.Find(text, '\\') != std::string_view::npos;
}

CString WithoutTrailingBackslashBeyondRoot(CString path, const CodePage& codePage) {
    if (path.size() > 3 && EndsWithBackslash(path, codePage)) path.pop_back();
    return path;
}

std::string_view WithoutTrailingBackslashes(std::string_view text, const CodePage& codePage) {
    while (EndsWithBackslash(text, codePage)) text.remove_suffix(1);
    return text;
}

CString EscapePercent(std::string_view text) {
    CString escaped;
    escaped.reserve(text.size());
    for (char byte : text) {
        if (byte == '%') escaped += '%';
        escaped += byte;
    }
    return escaped;
}

std::int32_t ParseSignedDecimal(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    }
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

CString EscapeLineBreaks(std::string_view text) {
    CString line;
    for (char byte : text) {
        if (byte == '\r') {
            line += "\\r";
        } else if (byte == '\n') {
            line += "\\n";
        } else {
            line += byte;
        }
    }
    return line;
}
