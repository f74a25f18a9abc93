#pragma once
// Text handling shared by the reader, the expansion and the phases. Text is scanned by the
// characters of the system's code page: a comparison folds ASCII letters that stand as characters
// of their own, never the second byte of a double-byte character, and a backslash is a separator
// only where it is a character.

#include <cstdint>
#include <string_view>

#include "text/c_string.h"
#include "text/code_page.h"

// A byte whose value read as a signed 8-bit number is 32 or less: controls, the space and every
// byte from 128 up. Skipped at the start of lines and fields.
bool IsBlankByte(char byte);
// The text after its leading blank bytes. A double-byte character is text, never a blank.
std::string_view SkipBlankBytes(std::string_view text, const CodePage& codePage);
// Tab, line feed, vertical tab, form feed, carriage return, space. Trimmed from line ends.
bool IsWhiteSpace(char byte);

std::string_view TrimWhiteSpace(std::string_view text);
std::string_view TrimLeftWhiteSpace(std::string_view text);
std::string_view TrimRightWhiteSpace(std::string_view text);

CString FoldAscii(std::string_view text, const CodePage& codePage);
bool EqualsNoCase(std::string_view a, std::string_view b, const CodePage& codePage);
bool StartsWithNoCase(std::string_view text, std::string_view prefix, const CodePage& codePage);
// The suffix must also begin a character of the text.
bool EndsWithNoCase(std::string_view text, std::string_view suffix, const CodePage& codePage);

// Against a word of plain ASCII no code page is needed: a byte that matches an ASCII byte opens no
// double-byte character, so the text's characters line up with the word's.
bool EqualsAsciiNoCase(std::string_view text, std::string_view asciiWord);
bool StartsWithAsciiNoCase(std::string_view text, std::string_view asciiPrefix);

// At least 3 bytes, and either two leading backslashes or ":" as the second byte.
bool IsAbsolutePath(std::string_view path);

// The text up to and including its last backslash; empty when it has none.
CString FolderOf(std::string_view path, const CodePage& codePage);
bool EndsWithBackslash(std::string_view text, const CodePage& codePage);
// A backslash appended unless the text is empty or already ends with one.
CString WithTrailingBackslash(CString folder, const CodePage& codePage);
// Whether the text holds a backslash character.
bool HasBackslash(std::string_view text, const CodePage& codePage);
// A path longer than a drive root ("C:\") loses one trailing backslash.
CString WithoutTrailingBackslashBeyondRoot(CString path, const CodePage& codePage);
// The text without any backslashes at its end.
std::string_view WithoutTrailingBackslashes(std::string_view text, const CodePage& codePage);

// Each "%" doubled, so that expanding the result gives the text back unchanged.
CString EscapePercent(std::string_view text);

// Signed decimal in the manner of a 32-bit atol: optional sign, digits, stop at anything else.
// Overlong numbers wrap instead of overflowing.
std::int32_t ParseSignedDecimal(std::string_view text);

// The text with line breaks written as \r and \n, so that it stays on one line of a log or plan.
CString EscapeLineBreaks(std::string_view text);
