#pragma once
// The [Rename] section of WININIT.INI, which the 9x family carries out at its next start. It is
// edited as text: the profile service would replace an entry of the same name, and every line
// there must stay, whoever wrote it.

#include <string_view>

#include "platform/types.h"

// The text with one more "NUL=<path>" line at the top of its [Rename] section, made where there
// is none.
CString AddRenameDeletion(std::string_view iniText, std::string_view path);

// The text without the first line "NUL=<path>" as AddRenameDeletion writes it; unchanged without
// one.
CString WithoutRenameDeletion(std::string_view iniText, std::string_view path);
