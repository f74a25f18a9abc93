#pragma once
// The one command-line format the two instances exchange, and how each instance reads its own.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/types.h"
#include "text/code_page.h"

constexpr std::string_view kUninstSwitch = "/UNINST";

// Arguments that begin with "/UNINST" (any case) select the working copy.
bool IsWorkingCopySwitch(std::string_view argumentText);

// What "/UNINST" and its value say: the waiting thread (0 for none) and the first instance's
// program path, when one is given.
struct UninstSwitch {
    std::int32_t waitingThreadId = 0;
    std::optional<CString> programPath;
};
// Reads the argument text of a working copy, "/UNINST" included.
UninstSwitch ParseUninstArguments(std::string_view argumentText);

// "\"<temp>\" /UNINST=<thread>,<program>[ <arguments>]". A program path that would be cut at a
// blank is quoted.
CString BuildRelaunchCommandLine(std::string_view tempFile, std::int32_t threadId, std::string_view programPath,
                                 std::string_view argumentText);

// The program's title: its file name without the extension.
CString ProgramTitle(std::string_view modulePath, const CodePage& codePage);
