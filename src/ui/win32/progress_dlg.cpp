#include "ui/win32/progress_dlg.h"

#include <string>

#include "dialog/dialog_logic.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/reading_order.h"

namespace {

constexpr char kInitialPercent[] = "0";

}  // namespace

CProgressDlg::CProgressDlg(CString appName, const Language& language)
    : CDialog(IDD_PROGRESS),
      m_status(language.Text(TextId::StatusInitialization)),
      m_percent(kInitialPercent),
      m_appName(std::move(appName)),
      m_language(language) {
    UseTemplate(TemplateForLanguage(IDD_PROGRESS, language));
}

void CProgressDlg::SetStatus(const CString& text) {
    SendMessageA(m_hWnd, WM_COMMAND, ID_PROGRESS_STATUS, reinterpret_cast<LPARAM>(text.c_str()));
}

void CProgressDlg::SetPercent(int percent) {
    const CString text = std::to_string(percent);
    SendMessageA(m_hWnd, WM_COMMAND, ID_PROGRESS_PERCENT, reinterpret_cast<LPARAM>(text.c_str()));
}

void CProgressDlg::DoDataExchange(CDataExchange& exchange) {
    exchange.Control(IDC_PROGRESS_BAR, m_bar);
    exchange.Text(IDC_PROGRESS_STATUS, m_status);
    exchange.Text(IDC_PROGRESS_BAR, m_percent);
}

BOOL CProgressDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ApplyReadingOrder(m_hWnd, m_language);
    SetWindowText(ProgressCaption(m_language, m_appName));
    return TRUE;
}

bool CProgressDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const char* text = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
    if (wParam == ID_PROGRESS_STATUS) {
        m_status = text;
        UpdateData(false);
        // Nothing dispatches messages while a started program is waited for, so a status such
        // as the program's name must reach the screen now, as the bar does.
        const HWND status = ::GetDlgItem(m_hWnd, IDC_PROGRESS_STATUS);
        InvalidateRect(status, nullptr, TRUE);
        UpdateWindow(status);
        return true;
    }
    if (wParam == ID_PROGRESS_PERCENT) {
        UpdateData(true);
        const CString oldPercent = m_percent;
        m_percent = text;
        UpdateData(false);
        if (PercentTextChanged(oldPercent, m_percent)) {
            // The run dispatches no messages while it works: the bar must repaint now.
            InvalidateRect(m_bar.GetSafeHwnd(), nullptr, TRUE);
            UpdateWindow(m_bar.GetSafeHwnd());
        }
        return true;
    }
    return CDialog::OnCommand(wParam, lParam);
}
