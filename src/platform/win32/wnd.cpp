#include "platform/win32/wnd.h"

#include <string>

namespace {

constexpr char kObjectProperty[] = "uninst.CWnd";

}  // namespace

CWnd::~CWnd() { Unsubclass(); }

bool CWnd::SubclassWindow(HWND window) {
    if (window == nullptr || m_hWnd != nullptr) return false;
    SetPropA(window, kObjectProperty, this);
    m_originalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    if (m_originalProc == nullptr) {
        RemovePropA(window, kObjectProperty);
        return false;
    }
    m_hWnd = window;
    return true;
}

void CWnd::Unsubclass() {
    if (m_originalProc == nullptr || m_hWnd == nullptr) return;
    SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_originalProc));
    RemovePropA(m_hWnd, kObjectProperty);
    m_originalProc = nullptr;
    m_hWnd = nullptr;
}

CString CWnd::GetWindowText() const {
    const int length = GetWindowTextLengthA(m_hWnd);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(m_hWnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void CWnd::SetWindowText(const CString& text) { ::SetWindowTextA(m_hWnd, text.c_str()); }

std::optional<LRESULT> CWnd::OnMessage(UINT, WPARAM, LPARAM) { return std::nullopt; }

LRESULT CWnd::CallOriginalProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(m_originalProc, m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<CWnd*>(GetPropA(window, kObjectProperty));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const WNDPROC original = self->m_originalProc;
        self->Unsubclass();
        return CallWindowProcA(original, window, message, wParam, lParam);
    }
    if (const std::optional<LRESULT> handled = self->OnMessage(message, wParam, lParam)) return *handled;
    return self->CallOriginalProc(message, wParam, lParam);
}
