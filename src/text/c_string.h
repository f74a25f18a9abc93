#pragma once
// The framework's string names. Text is bytes of the system's ANSI code page, never converted:
// scanning it by characters is the code page's business (text/code_page.h).

#include <string>
#include <vector>

using CString = std::string;
using CStringArray = std::vector<CString>;
