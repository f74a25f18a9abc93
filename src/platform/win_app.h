#pragma once
// The application framework's part that the core sees: the entry that does all the work, and
// the thread's current message whose wParam becomes the process exit code.

#include "platform/types.h"

class CWinApp {
public:
    virtual ~CWinApp() = default;
    // Runs the whole program; returning false means that no message loop follows.
    virtual bool InitInstance() = 0;
    virtual int ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

protected:
    ThreadMessage m_msgCur;
};
