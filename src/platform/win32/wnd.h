#pragma once
// The window object of the framework: a C++ object that may hold a window handle. A window that
// is subclassed routes its messages through OnMessage; what that leaves unhandled goes on to
// the window procedure that the subclassing replaced.

#include <windows.h>

#include <optional>

#include "platform/types.h"

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // Takes over an existing window's messages until it is destroyed.
    bool SubclassWindow(HWND window);

    CString GetWindowText() const;
    void SetWindowText(const CString& text);

protected:
    // A message with its result, or nullopt to leave it to the default processing.
    virtual std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallOriginalProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Unsubclass();

    WNDPROC m_originalProc = nullptr;
};
