// The program's entry: the one application object over the real machine, and WinMain, which
// hands it the whole run.

#include <windows.h>

#include "app/uninst_app.h"
#include "platform/win32/win32_platform.h"

namespace {

// Made on first use, so it exists before the application object that needs it while it is
// constructed, and outlives it.
Platform& MachinePlatform() {
    static Win32Platform platform;
    return platform.Get();
}

}  // namespace

CUninstApp theApp(MachinePlatform());

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    theApp.InitInstance();
    return theApp.ExitInstance();
}
