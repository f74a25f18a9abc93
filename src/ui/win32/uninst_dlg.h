#pragma once
// The confirmation dialog: names the application about to be removed and lets the user go on
// ("&Un-Install", IDOK) or leave everything installed ("E&xit", IDCANCEL).

#include "language/language.h"
#include "platform/win32/dialog.h"
#include "platform/win32/font.h"
#include "platform/win32/static.h"
#include "ui/win32/script_font.h"

class CUninstDlg : public CDialog {
public:
    CUninstDlg(CString appName, const Language& language);

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
    const Language& m_language;
    std::optional<ScriptFont> m_scriptFont;
};
