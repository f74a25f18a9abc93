#include "ui/win32/win32_user_interface.h"

#include "ui/win32/progress_dlg.h"
#include "ui/win32/uninst_dlg.h"

namespace {

constexpr char kCtl3dRegister[] = "Ctl3dRegister";
constexpr char kCtl3dAutoSubclass[] = "Ctl3dAutoSubclass";
constexpr char kCtl3dUnregister[] = "Ctl3dUnregister";
using Ctl3dCall = BOOL(WINAPI*)(HINSTANCE);

Ctl3dCall FindCtl3dCall(HMODULE module, const char* name) {
    const FARPROC address = GetProcAddress(module, name);
    return reinterpret_cast<Ctl3dCall>(reinterpret_cast<void (*)()>(address));
}

class Win32ProgressWindow : public IProgressWindow {
public:
    Win32ProgressWindow(Win32UserInterface& ui, const CString& appName, const Language& language)
        : m_ui(ui), m_dialog(appName, language) {}
    ~Win32ProgressWindow() override {
        m_dialog.DestroyWindow();
        m_ui.SetMainWindow(nullptr);
    }
    Win32ProgressWindow(const Win32ProgressWindow&) = delete;
    Win32ProgressWindow& operator=(const Win32ProgressWindow&) = delete;

    CProgressDlg& Dialog() { return m_dialog; }
    void SetStatus(const CString& text) override { m_dialog.SetStatus(text); }
    void SetPercent(int percent) override { m_dialog.SetPercent(percent); }

private:
    Win32UserInterface& m_ui;
    CProgressDlg m_dialog;
};

}  // namespace

Win32UserInterface::~Win32UserInterface() {
    if (m_ctl3dRegistered) {
        if (const Ctl3dCall unregister = FindCtl3dCall(m_ctl3d.get(), kCtl3dUnregister)) {
            unregister(GetModuleHandleA(nullptr));
        }
    }
}

int Win32UserInterface::ShowMessageBox(const CString& text, const CString& caption, std::uint32_t style) {
    const HWND owner = m_mainWindow != nullptr ? m_mainWindow->GetSafeHwnd() : nullptr;
    return MessageBoxA(owner, text.c_str(), caption.c_str(), style);
}

void Win32UserInterface::BeginWaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }

void Win32UserInterface::EndWaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); }

void Win32UserInterface::Enable3dControls(const CString& modulePath) {
    if (m_ctl3d) return;
    m_ctl3d.reset(LoadLibraryA(modulePath.c_str()));
    if (!m_ctl3d) return;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (const Ctl3dCall registerApp = FindCtl3dCall(m_ctl3d.get(), kCtl3dRegister)) {
        m_ctl3dRegistered = registerApp(instance) != FALSE;
    }
    if (const Ctl3dCall autoSubclass = FindCtl3dCall(m_ctl3d.get(), kCtl3dAutoSubclass)) autoSubclass(instance);
}

int Win32UserInterface::RunConfirmationDialog(const CString& appName, const Language& language) {
    CUninstDlg dialog(appName, language);
    SetMainWindow(&dialog);
    const INT_PTR result = dialog.DoModal();
    SetMainWindow(nullptr);
    return static_cast<int>(result);
}

std::unique_ptr<IProgressWindow> Win32UserInterface::CreateProgressWindow(const CString& appName,
                                                                          const Language& language) {
    auto window = std::make_unique<Win32ProgressWindow>(*this, appName, language);
    CProgressDlg& dialog = window->Dialog();
    dialog.Create(&m_noOwner);
    SetMainWindow(&dialog);
    ShowWindow(dialog.GetSafeHwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(dialog.GetSafeHwnd());
    return window;
}
