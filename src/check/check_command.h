#pragma once
// The checker as a command: arguments in, report out, exit code back. The console is the only
// thing that differs between the host command and the Windows program.

#include <string_view>

#include "check/checker.h"
#include "platform/types.h"

// A file larger than this is refused rather than read: no setup information comes near it.
constexpr std::uint32_t kCheckFileLimit = 64u * 1024u * 1024u;

enum class ReadOutcome { Read, Unreadable, TooLarge };

class ICheckConsole {
public:
    virtual ~ICheckConsole() = default;
    // The whole file, if it has at most limit bytes.
    virtual ReadOutcome ReadWholeFile(const CString& path, std::uint32_t limit, CString& text) = 0;
    virtual void Write(std::string_view text) = 0;
    virtual void WriteError(std::string_view text) = 0;
    // The ANSI code page that files are read in when --codepage does not name one.
    virtual std::uint32_t SystemCodePage() = 0;
};

// What the command checks a file it has read with: the checker itself, or the checker with a
// test's own probes around it, so that a test sees what the command ran without a second run.
class ISetupCheck {
public:
    virtual ~ISetupCheck() = default;
    virtual CheckResult Check(const CString& text, const CheckOptions& options) = 0;
};

int RunCheckCommand(const CStringArray& arguments, ICheckConsole& console, ISetupCheck& check);
// The same with the checker.
int RunCheckCommand(const CStringArray& arguments, ICheckConsole& console);
