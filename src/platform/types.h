#pragma once
// Value types shared by the core and both platform implementations. Nothing here knows windows.

#include <cstdint>

#include "text/c_string.h"

// Message-box styles and answers, with the values the Windows API gives them.
namespace mb {
constexpr std::uint32_t kOk = 0x00;
constexpr std::uint32_t kYesNo = 0x04;
constexpr std::uint32_t kIconStop = 0x10;
constexpr std::uint32_t kIconExclamation = 0x30;
constexpr std::uint32_t kDefaultButton1 = 0x00;
constexpr std::uint32_t kButtonsMask = 0x0F;
constexpr std::uint32_t kIconMask = 0xF0;
// MB_RIGHT | MB_RTLREADING: the text aligned right, in right-to-left reading order.
constexpr std::uint32_t kRightToLeft = 0x00180000;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
}  // namespace mb

// Thread message codes that the first instance's waiting loop reacts to.
namespace wm {
constexpr std::uint32_t kQueryEndSession = 0x0011;
constexpr std::uint32_t kQuit = 0x0012;
constexpr std::uint32_t kEndSession = 0x0016;
}  // namespace wm

// Exit codes that deployment tools already understand for uninstallers. The runtime ends the
// process with kFailed where an exception would have been thrown.
namespace exitcode {
constexpr int kCompleted = 0;
constexpr int kCancelled = 1602;
constexpr int kFailed = 1603;
constexpr int kRestartNeeded = 3010;
}  // namespace exitcode

struct ThreadMessage {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};
