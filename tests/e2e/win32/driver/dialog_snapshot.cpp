#include "dialog_snapshot.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kMessageBoxIconId = 0x0440;
constexpr int kLastStandardButtonId = 11;  // IDOK .. IDCONTINUE
constexpr int kBarId = 1000;
constexpr int kStatusId = 1001;

std::string ClassName(HWND window)
{
    std::array<char, 64> name{};
    GetClassNameA(window, name.data(), static_cast<int>(name.size()));
    return name.data();
}

BOOL CALLBACK CollectControl(HWND child, LPARAM param)
{
    auto& snapshot = *reinterpret_cast<DialogSnapshot*>(param);
    const std::string className = ClassName(child);
    const int id = GetDlgCtrlID(child);
    if (lstrcmpiA(className.c_str(), "Button") == 0) {
        snapshot.controls.push_back({id, ControlKind::Button, ReadWindowText(child)});
    } else if (lstrcmpiA(className.c_str(), "Static") == 0 || id == kBarId) {
        snapshot.controls.push_back({id, ControlKind::Text, ReadWindowText(child)});
    }
    return TRUE;
}

}  // namespace

std::string ReadWindowText(HWND window)
{
    std::wstring wide(256, L'\0');
    for (;;) {
        const int length = InternalGetWindowText(window, wide.data(), static_cast<int>(wide.size()));
        if (length < static_cast<int>(wide.size()) - 1) {
            wide.resize(std::max(length, 0));
            break;
        }
        wide.resize(wide.size() * 2);
    }
    if (wide.empty())
        return {};
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), bytes,
                        nullptr, nullptr);
    return text;
}

DialogSnapshot TakeSnapshot(HWND dialog)
{
    DialogSnapshot snapshot;
    snapshot.caption = ReadWindowText(dialog);
    EnumChildWindows(dialog, CollectControl, reinterpret_cast<LPARAM>(&snapshot));
    return snapshot;
}

const ControlSnapshot* DialogSnapshot::Find(int id) const
{
    const auto found = std::find_if(controls.begin(), controls.end(),
                                    [id](const ControlSnapshot& c) { return c.id == id; });
    return found == controls.end() ? nullptr : &*found;
}

bool DialogSnapshot::HasControl(int id) const
{
    return Find(id) != nullptr;
}

// The about box and the program's own dialogs also use #32770; only the system's message box
// has nothing but its text, its icon and standard buttons.
bool DialogSnapshot::IsMessageBox() const
{
    const auto standard = [](const ControlSnapshot& c) {
        return c.id == kMessageBoxTextId || c.id == kMessageBoxIconId ||
               (c.kind == ControlKind::Button && c.id >= IDOK && c.id <= kLastStandardButtonId);
    };
    return HasControl(kMessageBoxTextId) && std::all_of(controls.begin(), controls.end(), standard);
}

// The confirmation dialog has texts 1000 and 1001 too; the progress window has no button.
bool DialogSnapshot::IsProgressWindow() const
{
    const bool anyButton = std::any_of(controls.begin(), controls.end(), [](const ControlSnapshot& c) {
        return c.kind == ControlKind::Button;
    });
    return HasControl(kBarId) && HasControl(kStatusId) && !anyButton;
}

bool DialogSnapshot::Contains(const std::string& needle) const
{
    if (caption.find(needle) != std::string::npos)
        return true;
    return std::any_of(controls.begin(), controls.end(), [&needle](const ControlSnapshot& c) {
        return c.kind == ControlKind::Text && c.text.find(needle) != std::string::npos;
    });
}
