#pragma once
// Process-wide services of kernel32: versions, folders, threads, pauses.

#include <cstdint>
#include <optional>

#include "platform/types.h"
#include "text/code_page.h"

struct OsVersion {
    std::uint32_t platformId = 0;  // 2 is VER_PLATFORM_WIN32_NT
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
};

struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;
};

class ISystem {
public:
    virtual ~ISystem() = default;
    // GetVersionExA with a record of 148 bytes: nullopt when the call fails.
    virtual std::optional<OsVersion> VersionEx() = 0;
    // GetVersion: major in bits 0-7, minor in bits 8-15, bit 31 clear on the NT family.
    virtual std::uint32_t PackedVersion() = 0;
    // The command line after the program's own name and the blanks behind it.
    virtual CString ArgumentText() = 0;
    // GetWindowsDirectoryA, GetSystemDirectoryA, GetModuleFileNameA(NULL): empty on failure.
    virtual CString WindowsFolder() = 0;
    virtual CString SystemFolder() = 0;
    virtual CString ModuleFileName() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // SetPriorityClass(REALTIME) and SetThreadPriority(HIGHEST); results ignored.
    virtual void RaisePriority() = 0;
    // GetACP and GetCPInfo(CP_ACP): the code page that all text is in, with its lead bytes; a
    // single-byte code page when the system cannot tell.
    virtual CodePage AnsiCodePage() = 0;
    // The language of the system's own dialogs (a LANGID): GetUserDefaultUILanguage where the
    // system has it, else the language of the Windows edition; nullopt when it cannot tell.
    virtual std::optional<std::uint16_t> UserInterfaceLanguage() = 0;
    // GetLocalTime.
    virtual LocalTime Now() = 0;
    // SetDefaultDllDirectories and SetDllDirectoryA, looked up at run time: false where the system
    // lacks the function (Windows 95 has neither) or the call fails.
    virtual bool SetDefaultDllDirectories(std::uint32_t flags) = 0;
    virtual bool SetDllSearchFolder(const CString& path) = 0;
};
