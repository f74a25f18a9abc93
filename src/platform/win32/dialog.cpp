#include "platform/win32/dialog.h"

#include <string>

#include "dialog/dialog_logic.h"

namespace {

HWND HandleOf(const CWnd* window) { return window != nullptr ? window->GetSafeHwnd() : nullptr; }

const DLGTEMPLATE* TemplateIn(const std::vector<unsigned char>& memoryTemplate) {
    return reinterpret_cast<const DLGTEMPLATE*>(memoryTemplate.data());
}

// Messages whose dialog-procedure result is the message's result itself.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
            return true;
        default:
            return false;
    }
}

}  // namespace

void CDataExchange::Control(int id, CWnd& control) {
    if (control.GetSafeHwnd() == nullptr) control.SubclassWindow(m_dialog.GetDlgItem(id));
}

void CDataExchange::Text(int id, CString& value) {
    const HWND item = m_dialog.GetDlgItem(id);
    if (m_saveAndValidate) {
        const int length = GetWindowTextLengthA(item);
        std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
        const int copied = GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
        text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        value = text;
        return;
    }
    char current[kTextCompareBufferSize] = {};
    GetWindowTextA(item, current, static_cast<int>(kTextCompareBufferSize));
    if (NeedsTextRewrite(current, value.c_str())) SetWindowTextA(item, value.c_str());
}

CDialog::~CDialog() { DestroyWindow(); }

INT_PTR CDialog::DoModal(const CWnd* owner) {
    m_modal = true;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const auto self = reinterpret_cast<LPARAM>(this);
    const INT_PTR result =
        m_memoryTemplate.empty()
            ? DialogBoxParamA(instance, MAKEINTRESOURCEA(m_templateId), HandleOf(owner), &CDialog::DialogProc, self)
            : DialogBoxIndirectParamA(instance, TemplateIn(m_memoryTemplate), HandleOf(owner), &CDialog::DialogProc,
                                      self);
    m_modal = false;
    return result;
}

bool CDialog::Create(const CWnd* owner) {
    m_modal = false;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const auto self = reinterpret_cast<LPARAM>(this);
    const HWND window =
        m_memoryTemplate.empty()
            ? CreateDialogParamA(instance, MAKEINTRESOURCEA(m_templateId), HandleOf(owner), &CDialog::DialogProc, self)
            : CreateDialogIndirectParamA(instance, TemplateIn(m_memoryTemplate), HandleOf(owner), &CDialog::DialogProc,
                                         self);
    return window != nullptr;
}

void CDialog::DestroyWindow() {
    if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange exchange(*this, saveAndValidate);
    DoDataExchange(exchange);
    return true;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange&) {}

bool CDialog::OnCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
        case IDOK: OnOK(); return true;
        case IDCANCEL: OnCancel(); return true;
        default: return false;
    }
}

// A modeless dialog of ours cannot be dismissed by the user: its owner destroys it.
void CDialog::OnOK() {
    if (m_modal && UpdateData(true)) EndDialog(m_hWnd, IDOK);
}

void CDialog::OnCancel() {
    if (m_modal) EndDialog(m_hWnd, IDCANCEL);
}

std::optional<LRESULT> CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog();
        case WM_COMMAND:
            if (OnCommand(wParam, lParam)) return 0;
            return std::nullopt;
        default: return std::nullopt;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->m_hWnd = window;
    }
    if (self == nullptr) return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        return FALSE;
    }
    const std::optional<LRESULT> handled = self->OnMessage(message, wParam, lParam);
    if (!handled) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(*handled);
    SetWindowLongPtrA(window, DWLP_MSGRESULT, *handled);
    return TRUE;
}
