#include "platform/win32/win32_system.h"

#include <windows.h>

#include "platform/win32/ansi_code_page.h"
#include "platform/win32/system_function.h"
#include "platform/win32/text_buffer.h"
#include "platform/win32/ui_language.h"

namespace {

bool IsBlankByte(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The arguments begin after the program's name, quoted or not, and the blanks behind it, the
// way the C runtime hands WinMain its command line.
CString ArgumentsOf(const char* commandLine) {
    const char* at = commandLine;
    if (*at == '"') {
        ++at;
        while (*at != '\0' && *at != '"') ++at;
        if (*at == '"') ++at;
    } else {
        while (*at != '\0' && !IsBlankByte(*at)) ++at;
    }
    while (*at != '\0' && IsBlankByte(*at)) ++at;
    return at;
}

}  // namespace

std::optional<OsVersion> Win32System::VersionEx() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    static_assert(sizeof(info) == 148);
    if (!GetVersionExA(&info)) return std::nullopt;
    return OsVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

std::uint32_t Win32System::PackedVersion() { return GetVersion(); }

CString Win32System::ArgumentText() { return ArgumentsOf(GetCommandLineA()); }

CString Win32System::WindowsFolder() {
    return ReadGrowingText([](char* buffer, std::uint32_t size) { return GetWindowsDirectoryA(buffer, size); });
}

CString Win32System::SystemFolder() {
    return ReadGrowingText([](char* buffer, std::uint32_t size) { return GetSystemDirectoryA(buffer, size); });
}

CString Win32System::Wow64SystemFolder() {
#if defined(_WIN64)
    // A 64-bit process never runs under WoW64, yet the call below answers it too: its system
    // folder is the real one.
    return {};
#else
    // In a 32-bit process the call itself tells whether it runs under WoW64: on 32-bit Windows
    // it fails (ERROR_CALL_NOT_IMPLEMENTED), and systems before XP lack it.
    using FolderCall = UINT WINAPI(LPSTR, UINT);
    auto* const folder = FindSystemFunction<FolderCall>("KERNEL32.DLL", "GetSystemWow64DirectoryA");
    if (folder == nullptr) return {};
    return ReadGrowingText([folder](char* buffer, std::uint32_t size) { return folder(buffer, size); });
#endif
}

CString Win32System::ModuleFileName() {
    return ReadGrowingText([](char* buffer, std::uint32_t size) { return GetModuleFileNameA(nullptr, buffer, size); });
}

void Win32System::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

void Win32System::RaisePriority() {
    SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
}

LocalTime Win32System::Now() {
    SYSTEMTIME time{};
    GetLocalTime(&time);
    return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

CodePage Win32System::AnsiCodePage() { return SystemAnsiCodePage(); }

std::optional<std::uint16_t> Win32System::UserInterfaceLanguage() { return SystemUiLanguage(); }

bool Win32System::SetDefaultDllDirectories(std::uint32_t flags) {
    using Call = BOOL WINAPI(DWORD);
    auto* const call = FindSystemFunction<Call>("KERNEL32.DLL", "SetDefaultDllDirectories");
    return call != nullptr && call(flags) != FALSE;
}

bool Win32System::SetDllSearchFolder(const CString& path) {
    using Call = BOOL WINAPI(LPCSTR);
    auto* const call = FindSystemFunction<Call>("KERNEL32.DLL", "SetDllDirectoryA");
    return call != nullptr && call(path.c_str()) != FALSE;
}
