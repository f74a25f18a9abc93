#pragma once
// The checker's command line: the file to check and the machine to picture it on.

#include <optional>

#include "platform/types.h"

enum class Family { Win9x, WinNt };

struct CheckOptions {
    CString setupInf;
    CString appPath = "C:\\Program Files\\App\\";
    CString appCommon = "C:\\Program Files\\Common Files\\App\\";
    CString startMenu = "C:\\WINDOWS\\Start Menu\\Programs\\App\\";
    Family family = Family::WinNt;
    // The ANSI code page the file is read in; absent, the system's own.
    std::optional<std::uint32_t> codePage;
    bool json = false;
};

struct ParsedArguments {
    std::optional<CheckOptions> options;  // nullopt: usage or version asked for, or the arguments are wrong
    bool usageAsked = false;
    bool versionAsked = false;
    CString error;  // why the arguments are wrong
};

extern const char kCheckUsage[];

// The arguments after the program name. "--name value" and "--name=value" both work.
ParsedArguments ParseCheckArguments(const CStringArray& arguments);
