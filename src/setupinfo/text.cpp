#include "setupinfo/text.h"

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

char FoldAscii(char byte) { return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : byte; }

CString FoldAscii(std::string_view text) {
    CString folded(text);
    for (char& byte : folded) byte = FoldAscii(byte);
    return folded;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

bool IsAbsolutePath(std::string_view path) {
    return path.size() >= 3 && ((path[0] == '\\' && path[1] == '\\') || path[1] == ':');
}

CString FolderOf(std::string_view path) {
    const auto slash = path.rfind('\\');
    return slash == std::string_view::npos ? CString() : CString(path.substr(0, slash + 1));
}

CString WithTrailingBackslash(CString folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
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
