#pragma once
// The about box, reached from the confirmation dialog's system menu, in the run's language.

#include "language/language.h"
#include "platform/win32/dialog.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(const Language& language);

protected:
    BOOL OnInitDialog() override;

private:
    const Language& m_language;
};
