#pragma once
// The operating-system word that selects system-specific file sections.

#include <cstdint>

#include "platform/types.h"

constexpr std::uint32_t kPlatformWin32Nt = 2;

// "Win95", "Win98", "WinNT4", "WinNT5", or empty for a system without a word.
CString OsNameFor(bool isWinNT, std::uint32_t majorVersion, std::uint32_t minorVersion);
