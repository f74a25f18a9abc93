#include "platform/win32/ui_language.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/system_function.h"

namespace {

// Windows 95, 98 and Me keep the language of their edition as the default value of this key, a
// LANGID in hexadecimal digits ("00000407"); the shell's language libraries of that time read it
// the same way, for the user first and for the default user after.
constexpr char kResourceLocaleKey[] = "Control Panel\\desktop\\ResourceLocale";
constexpr char kDefaultUserResourceLocaleKey[] = ".Default\\Control Panel\\desktop\\ResourceLocale";

std::optional<std::uint16_t> HexLangId(const char* text) {
    std::uint32_t value = 0;
    int digits = 0;
    for (; digits < 8; ++digits) {
        const char c = text[digits];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) break;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    if (digits == 0 || (value & 0xFFFF) == 0) return std::nullopt;
    return static_cast<std::uint16_t>(value & 0xFFFF);
}

std::optional<std::uint16_t> ResourceLocaleUnder(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
    char text[16] = {};
    DWORD size = sizeof(text) - 1;
    DWORD type = 0;
    const LONG result = RegQueryValueExA(key, "", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return HexLangId(text);
}

BOOL CALLBACK TakeLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    *reinterpret_cast<WORD*>(found) = language;
    return FALSE;
}

// Windows NT 4 has no setting for it: its edition is the language of ntdll.dll's version
// resource, which every edition localises. Read as data, without VERSION.DLL.
std::optional<std::uint16_t> NtdllLanguage() {
    const UniqueModule ntdll(LoadLibraryExA("ntdll.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!ntdll) return std::nullopt;
    WORD language = 0;
    EnumResourceLanguagesA(ntdll.get(), MAKEINTRESOURCEA(16) /* RT_VERSION */, MAKEINTRESOURCEA(1), &TakeLanguage,
                           reinterpret_cast<LONG_PTR>(&language));
    if (language == 0) return std::nullopt;
    return language;
}

}  // namespace

std::optional<std::uint16_t> SystemUiLanguage() {
    // Windows 2000 and later.
    if (auto* userUiLanguage = FindSystemFunction<LANGID WINAPI()>("kernel32.dll", "GetUserDefaultUILanguage")) {
        return userUiLanguage();
    }
    if (GetVersion() & 0x80000000u) {
        if (auto language = ResourceLocaleUnder(HKEY_CURRENT_USER, kResourceLocaleKey)) return language;
        return ResourceLocaleUnder(HKEY_USERS, kDefaultUserResourceLocaleKey);
    }
    return NtdllLanguage();
}
