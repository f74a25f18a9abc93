// The program's entry: the one application object over the real machine runs the whole program,
// and the process ends with the run's exit code.

#include <windows.h>

#include "app/uninst_app.h"
#include "platform/win32/startup.h"
#include "ui/win32/win32_platform.h"

namespace {

int RunProgram() {
    Win32Platform machine;
    CUninstApp app(machine.Get());
    app.InitInstance();
    return app.ExitInstance();
}

}  // namespace

// Only the linker names the entry: "used" keeps link-time optimisation from dropping it.
extern "C" __attribute__((used)) void WinMainCRTStartup() {
    RunConstructors();
    ExitProcess(static_cast<UINT>(RunProgram()));
}
