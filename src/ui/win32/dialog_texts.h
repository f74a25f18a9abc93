#pragma once
// A dialog control's text from the catalogue; the templates hold the English only as a fallback.

#include <windows.h>

#include <string_view>

#include "platform/types.h"

inline void SetItemText(HWND dialog, int id, std::string_view text) {
    SetWindowTextA(GetDlgItem(dialog, id), CString(text).c_str());
}
