#pragma once
// Byte-level text handling shared by the reader, the expansion and the phases. Every comparison
// folds ASCII letters only; other bytes are compared as they stand.

#include <string_view>

#include "platform/types.h"

// A byte whose value read as a signed 8-bit number is 32 or less: controls, the space and every
// byte from 128 up. Skipped at the start of lines and fields.
bool IsBlankByte(char byte);
// Tab, line feed, vertical tab, form feed, carriage return, space. Trimmed from line ends.
bool IsWhiteSpace(char byte);

std::string_view TrimWhiteSpace(std::string_view text);
std::string_view TrimLeftWhiteSpace(std::string_view text);
std::string_view TrimRightWhiteSpace(std::string_view text);

char FoldAscii(char byte);
CString FoldAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

// At least 3 bytes, and either two leading backslashes or ":" as the second byte.
bool IsAbsolutePath(std::string_view path);

// The text up to and including its last backslash; empty when it has none.
CString FolderOf(std::string_view path);
// A backslash appended unless the text is empty or already ends with one.
CString WithTrailingBackslash(CString folder);

// Each "%" doubled, so that expanding the result gives the text back unchanged.
CString EscapePercent(std::string_view text);

// Signed decimal in the manner of a 32-bit atol: optional sign, digits, stop at anything else.
// Overlong numbers wrap instead of overflowing.
std::int32_t ParseSignedDecimal(std::string_view text);

// The text with line breaks written as \r and \n, so that it stays on one line of a log or plan.
CString EscapeLineBreaks(std::string_view text);
