#pragma once
// The text of a profile (INI) file, edited the way WritePrivateProfileStringA edits it.

#include <optional>
#include <string_view>

#include "platform/types.h"

// The text with key = value in section: the first such key of the first such section is
// replaced, otherwise the key is added at the end of the section, or a new section at the end.
// Section and key names compare without regard to ASCII case; lines end in "\r\n".
CString WriteProfileText(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);
// Every value of key in the first such section, in file order.
CStringArray ReadProfileValues(std::string_view text, std::string_view section, std::string_view key);
