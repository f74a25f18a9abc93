#pragma once
// Name handling shared by the in-memory machine's parts. It folds ASCII letters and finds
// separators by itself rather than borrowing the core's helpers, so that a fault there cannot
// hide behind the machine; of the code page it takes only which bytes lead a double-byte
// character, as Windows' own name handling does.

#include <string_view>

#include "platform/types.h"
#include "text/code_page.h"

// ASCII letters in lower case; every other byte, and every second byte of a double-byte
// character, as it stands.
CString SimFold(std::string_view text, const CodePage& codePage);
bool SimEqualsNoCase(std::string_view a, std::string_view b, const CodePage& codePage);
// The text split at backslash characters, empty parts kept.
CStringArray SimSplitPath(std::string_view path, const CodePage& codePage);
// The offsets of the backslash characters of the text.
std::vector<std::size_t> SimSeparators(std::string_view path, const CodePage& codePage);
// The first backslash character at or after from, which starts a character; npos when none. The
// machine asks this of every path it is given, so it stays free of allocations.
std::size_t SimFindSeparator(std::string_view path, std::size_t from, const CodePage& codePage);
std::size_t SimLastSeparator(std::string_view path, const CodePage& codePage);
std::size_t SimSeparatorCount(std::string_view path, const CodePage& codePage);
