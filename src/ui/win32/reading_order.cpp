#include "ui/win32/reading_order.h"

#include "platform/win32/system_function.h"
#include "ui/win32/script_font.h"

namespace {

// The editions that cannot mirror lack the function or let it fail. SetProcessDefaultLayout is
// of no use here: it covers only windows without an owner, and the about box has one, so each
// template asks for the mirroring itself.
bool SystemMirrorsWindows() {
    using Call = BOOL WINAPI(DWORD*);
    auto* const getLayout = FindSystemFunction<Call>("USER32.DLL", "GetProcessDefaultLayout");
    DWORD layout = 0;
    return getLayout != nullptr && getLayout(&layout) != FALSE;
}

BOOL CALLBACK ReadRightToLeft(HWND window, LPARAM) {
    const LONG style = GetWindowLongA(window, GWL_EXSTYLE);
    SetWindowLongA(window, GWL_EXSTYLE, style | WS_EX_RTLREADING | WS_EX_RIGHT);
    return TRUE;
}

}  // namespace

WindowLayout LayoutFor(const Language& language) {
    return ChooseWindowLayout(language, language.RightToLeft() && SystemMirrorsWindows());
}

std::vector<unsigned char> TemplateForLanguage(int templateId, const Language& language) {
    const std::optional<ScriptFont> font = ScriptFontFor(language.CodePage());
    return AdaptedTemplate(templateId, font ? &*font : nullptr, LayoutFor(language) == WindowLayout::Mirrored);
}

void ApplyReadingOrder(HWND dialog, const Language& language) {
    if (LayoutFor(language) != WindowLayout::RightToLeftReading) return;
    ReadRightToLeft(dialog, 0);
    EnumChildWindows(dialog, ReadRightToLeft, 0);
}
