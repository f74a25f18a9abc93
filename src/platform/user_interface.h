#pragma once
// The windows the run shows. The implementation keeps the application's main window: the
// confirmation dialog while it runs, then the progress window; message boxes belong to it.

#include <cstdint>
#include <memory>

#include "language/language.h"
#include "platform/types.h"

class IProgressWindow {
public:
    virtual ~IProgressWindow() = default;  // destroys the window; the main window becomes none
    // Synchronous sends of the two private commands.
    virtual void SetStatus(const CString& text) = 0;
    virtual void SetPercent(int percent) = 0;
};

class IUserInterface {
public:
    virtual ~IUserInterface() = default;
    // MessageBoxA with the given style flags (mb::); returns the button pressed.
    virtual int ShowMessageBox(const CString& text, const CString& caption, std::uint32_t style) = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    // The three-dimensional control look from the service module at this full path; a missing
    // module or service is ignored.
    virtual void Enable3dControls(const CString& modulePath) = 0;
    // Runs the confirmation dialog modally as the main window, in the language given; IDOK or
    // IDCANCEL.
    virtual int RunConfirmationDialog(const CString& appName, const Language& language) = 0;
    // Creates the modeless progress window in the language given, shows it, brings it to the
    // front and makes it the main window.
    virtual std::unique_ptr<IProgressWindow> CreateProgressWindow(const CString& appName, const Language& language) = 0;
};
