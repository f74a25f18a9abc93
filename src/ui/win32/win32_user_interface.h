#pragma once
// The windows of the run. It keeps the application's main window of the moment, which owns the
// message boxes: the confirmation dialog while it runs, then the progress window, then none.

#include "platform/user_interface.h"
#include "platform/win32/handles.h"
#include "platform/win32/wnd.h"

class Win32UserInterface : public IUserInterface {
public:
    Win32UserInterface() = default;
    ~Win32UserInterface() override;
    Win32UserInterface(const Win32UserInterface&) = delete;
    Win32UserInterface& operator=(const Win32UserInterface&) = delete;

    int ShowMessageBox(const CString& text, const CString& caption, std::uint32_t style) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void Enable3dControls(const CString& modulePath) override;
    int RunConfirmationDialog(const CString& appName, const Language& language) override;
    std::unique_ptr<IProgressWindow> CreateProgressWindow(const CString& appName, const Language& language) override;

    void SetMainWindow(const CWnd* window) { m_mainWindow = window; }

private:
    const CWnd* m_mainWindow = nullptr;
    // The parent object of windows that must have no owner: it never holds a window.
    CWnd m_noOwner;
    UniqueModule m_ctl3d;
    bool m_ctl3dRegistered = false;
};
