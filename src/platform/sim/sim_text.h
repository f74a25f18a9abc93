#pragma once
// Name handling shared by the in-memory machine's parts. It folds ASCII letters by itself rather
// than borrowing the core's helpers, so that a fault there cannot hide behind the machine.

#include <string_view>

#include "platform/types.h"

// ASCII letters in lower case; every other byte as it stands.
CString SimFold(std::string_view text);
bool SimEqualsNoCase(std::string_view a, std::string_view b);
// The text split at backslashes, empty parts kept.
CStringArray SimSplitPath(std::string_view path);
