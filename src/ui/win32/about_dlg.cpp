#include "ui/win32/about_dlg.h"

#include "app/version.h"
#include "ui/win32/dialog_texts.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/reading_order.h"

CAboutDlg::CAboutDlg(const Language& language) : CDialog(IDD_ABOUTBOX), m_language(language) {
    UseTemplate(TemplateForLanguage(IDD_ABOUTBOX, language));
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ApplyReadingOrder(m_hWnd, m_language);
    SetWindowText(CString(m_language.Text(TextId::AboutCaption)));
    SetItemText(m_hWnd, IDC_ABOUT_VERSION,
                m_language.Format({TextId::AboutVersion, {{Piece::Version, kProgramVersion}}}));
    SetItemText(m_hWnd, IDC_ABOUT_COPYRIGHT, m_language.Text(TextId::AboutCopyright));
    SetItemText(m_hWnd, IDOK, m_language.Text(TextId::AboutOkButton));
    return TRUE;
}
