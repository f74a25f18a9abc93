#pragma once
// A Windows command line split into its arguments, for a program that has no C runtime's
// start-up code to do it.

#include <string_view>

#include "platform/types.h"
#include "text/code_page.h"

// The arguments after the program name, by the rules of the C runtime: words end at blanks or
// tabs outside quotes; quotes group and are dropped; 2n backslashes before a quote give n and
// the quote groups, 2n+1 give n and a literal quote; other backslashes stand as they are.
CStringArray SplitArgumentWords(std::string_view commandLine, const CodePage& codePage);
