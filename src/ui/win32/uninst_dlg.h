#pragma once
// The confirmation dialog: names the application about to be removed and lets the user go on
// ("&Un-Install", IDOK) or leave everything installed ("E&xit", IDCANCEL).

#include "platform/win32/dialog.h"
#include "platform/win32/font.h"
#include "platform/win32/static.h"

class CUninstDlg : public CDialog {
public:
    explicit CUninstDlg(CString appName);

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    BOOL OnInitDialog() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateHeadingFonts();
    void AddAboutItem();
    bool OnSysCommand(WPARAM command);
    bool OnPaint();

    CStatic m_title;
    CStatic m_subtitle;
    CString m_message;
    CFont m_titleFont;
    CFont m_subtitleFont;
    HICON m_hIcon;
    CString m_appName;
};
