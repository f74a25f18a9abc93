#pragma once
// The text of a profile (INI) file, read the way GetPrivateProfileStringA reads it.

#include <optional>
#include <string_view>

#include "platform/types.h"
#include "text/code_page.h"

// Every value of key in the first such section, in file order.
CStringArray ReadProfileValues(std::string_view text, std::string_view section, std::string_view key,
                               const CodePage& codePage);
