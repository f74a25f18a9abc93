#include "text_fit.h"

#include <array>
#include <string>

namespace {

// A push button draws its label this many pixels inside its client area, clear of the frame.
constexpr int kButtonLabelInset = 2;

bool IsButton(HWND control)
{
    std::array<char, 16> name{};
    GetClassNameA(control, name.data(), static_cast<int>(name.size()));
    return lstrcmpiA(name.data(), "Button") == 0;
}

// The format with which a static control of this style draws its text.
UINT StaticFormat(LONG style)
{
    UINT format = DT_EXPANDTABS | DT_WORDBREAK;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: format |= DT_CENTER; break;
    case SS_RIGHT: format |= DT_RIGHT; break;
    default: format |= DT_LEFT; break;
    }
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    if (style & SS_CENTERIMAGE)
        format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    return format;
}

std::string WindowText(HWND control)
{
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

TextFit MeasureControlText(HWND control)
{
    RECT room{};
    GetClientRect(control, &room);
    const bool button = IsButton(control);
    if (button)
        InflateRect(&room, -kButtonLabelInset, -kButtonLabelInset);
    const UINT format = button ? DT_CENTER | DT_SINGLELINE
                               : StaticFormat(GetWindowLongA(control, GWL_STYLE));

    const std::string text = WindowText(control);
    const HDC dc = GetDC(control);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    RECT needed{0, 0, room.right - room.left, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &needed, format | DT_CALCRECT);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return {needed.right - needed.left, needed.bottom - needed.top, room.right - room.left,
            room.bottom - room.top, static_cast<int>(metrics.tmHeight)};
}
