#pragma once
// The about box, reached from the confirmation dialog's system menu; all its text is in its template.

#include "platform/win32/dialog.h"
#include "ui/win32/resource_ids.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};
