#pragma once
// The progress window: a caption naming the application, a status line and the bar, driven by
// two private commands that the run sends synchronously.

#include "language/language.h"
#include "platform/win32/dialog.h"
#include "ui/win32/progress_bar.h"

class CProgressDlg : public CDialog {
public:
    CProgressDlg(CString appName, const Language& language);

    // Synchronous: the window shows the change when the call returns.
    void SetStatus(const CString& text);
    void SetPercent(int percent);

protected:
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange& exchange) override;
    BOOL OnInitDialog() override;

private:
    CProgressBar m_bar;
    CString m_status;
    CString m_percent;
    CString m_appName;
    const Language& m_language;
};
