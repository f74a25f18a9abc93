#pragma once
// One installation with something of every kind the uninstaller removes, laid on an in-memory
// machine, and the machine's whole state for comparing two runs' ends.

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "app/uninst_app.h"
#include "platform/sim/sim_machine.h"

namespace full_installation {

constexpr char kRecordPath[] = "SOFTWARE\\Tallowmere\\UNINST\\Demo";
constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kUninstallEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo";
constexpr char kAppFolder[] = "C:\\DEMO";
constexpr char kSetupInf[] = "C:\\DEMO\\UNINST\\SETUP.INF";
constexpr char kInstalledCopy[] = "C:\\DEMO\\UNINST\\uninst.exe";
constexpr char kWorkingCopy[] = "C:\\WINDOWS\\TEMP\\~UN3A1F.tmp";
constexpr char kSharedOnce[] = "C:\\WINDOWS\\SYSTEM\\DEMOONE.DLL";   // count 1: this installation only
constexpr char kSharedTwice[] = "C:\\WINDOWS\\SYSTEM\\DEMOTWO.DLL";  // count 2: another application too
constexpr char kSwitch[] = "/UNINST=77,C:\\DEMO\\UNINST\\uninst.exe";

constexpr char kSetupText[] =
    "[SetupOptions]\r\nAppName=Demo\r\n"
    "[UnInstall]\r\n%apppath%\\demo.exe\r\n%apppath%\\demo.ocx\r\n%apppath%\\cleanup.exe\r\n"
    "%apppath%\\HELP\\demo.hlp\r\n%apppath%\\DATA\\CACHE\\cache.dat\r\n%appcommon%\\LIB\\core.dll\r\n"
    "[ExecuteOnUninstall]\r\n%apppath%\\cleanup.exe,/quiet\r\n"
    "[RegisterControl]\r\n%apppath%\\demo.ocx\r\n"
    "[SharedComponents]\r\non\r\n"
    "[UnInstall.Shared]\r\n%sysdir%\\DEMOONE.DLL\r\n%sysdir%\\DEMOTWO.DLL\r\n"
    "[RegistryKeys]\r\nHKLM\\SOFTWARE\\Demo Corp\\Demo=Version=1\r\nHKLM\\SOFTWARE\\Demo Corp=x=1\r\n"
    "HKCU\\Software\\Demo Corp\\Demo\\Settings=Size=2\r\nHKCU\\Software\\Demo Corp\\Demo=a=b\r\n"
    "HKCR\\Demo.Document=x=y\r\n"
    "[AddShortcut]\r\nx,y,Demo.lnk\r\nx,y,Demo Help.lnk\r\n";

// A program run at uninstall removes the user's session data; the module takes its class
// registration with it. Both act through the machine's interfaces, so a power cut stops them too.
inline void Lay(SimMachine& machine, bool windowsNt) {
    if (windowsNt) {
        machine.system().UseWindowsNt4();
    } else {
        machine.registry().DeleteWholeTrees();
    }
    machine.system().SetArgumentText(kSwitch).SetModuleFileName(kWorkingCopy);
    SimFiles& files = machine.files();
    files.AddFile(kWorkingCopy, "program").AddFile(kInstalledCopy, "program").AddFile(kSetupInf, kSetupText);
    for (const char* path : {"C:\\DEMO\\demo.exe", "C:\\DEMO\\demo.ocx", "C:\\DEMO\\cleanup.exe",
                             "C:\\DEMO\\HELP\\demo.hlp", "C:\\DEMO\\HELP\\demo.GID", "C:\\DEMO\\DATA\\CACHE\\cache.dat",
                             "C:\\COMMON\\DEMO\\LIB\\core.dll", "C:\\WINDOWS\\START MENU\\DEMO\\Demo.lnk",
                             "C:\\WINDOWS\\START MENU\\DEMO\\Demo Help.lnk",
                             "C:\\WINDOWS\\START MENU\\DEMO\\Un-Install.LNK", kSharedOnce, kSharedTwice,
                             "C:\\WINDOWS\\Profiles\\demo.session", "C:\\WINDOWS\\SYSTEM\\KEEP.DLL"}) {
        files.AddFile(path, "bytes");
    }
    files.AddFolder("C:\\COMMON\\OTHER");

    SimRegistry& registry = machine.registry();
    registry.SetString(kLocalMachine, kRecordPath, "", "C:\\DEMO\\")
        .SetString(kLocalMachine, kRecordPath, "StartMenuFolderName", "C:\\WINDOWS\\START MENU\\DEMO")
        .SetString(kLocalMachine, CString(kRecordPath) + "\\AppCommon", "", "C:\\COMMON\\DEMO");
    registry.SetString(kLocalMachine, kUninstallEntry, "DisplayName", "Demo")
        .SetString(kLocalMachine, CString(kUninstallEntry) + "\\Extra", "", "x");
    registry.SetDword(kLocalMachine, kSharedDlls, kSharedOnce, 1).SetDword(kLocalMachine, kSharedDlls, kSharedTwice, 2);
    registry.SetString(kLocalMachine, "SOFTWARE\\Demo Corp\\Demo", "Version", "1")
        .SetString(kCurrentUser, "Software\\Demo Corp\\Demo\\Settings", "Size", "2")
        .SetString(kClassesRoot, "Demo.Document", "", "Demo document")
        .SetString(kClassesRoot, "Demo.Control\\CLSID", "", "{D}")
        .SetString(kLocalMachine, "SOFTWARE\\Other", "Kept", "yes");

    Platform& platform = machine.platform();
    machine.processes().RegisterProgram(
        "C:\\DEMO\\cleanup.exe",
        SimProgram::ExitingWith(0).OnStart([&platform] { platform.files.Delete("C:\\WINDOWS\\Profiles\\demo.session"); }));
    machine.modules().Register("C:\\DEMO\\demo.ocx", SimModule::Returning(0).OnUnregister([&platform] {
        platform.registry.DeleteKey(kClassesRoot, "Demo.Control\\CLSID");
        platform.registry.DeleteKey(kClassesRoot, "Demo.Control");
    }));
}

// Everything a later observer of the machine could find: keys and values, files with their
// contents, folders, and the files queued for deletion at the next restart (a file queued twice
// is deleted once).
struct MachineState {
    CStringArray registry;
    CStringArray files;
    CStringArray folders;
    std::set<CString> restartDeletions;

    bool operator==(const MachineState& other) const {
        return registry == other.registry && files == other.files && folders == other.folders &&
               restartDeletions == other.restartDeletions;
    }
};

inline MachineState StateOf(SimMachine& machine) {
    MachineState state;
    state.registry = machine.registry().Contents();
    for (const CString& path : machine.files().FilePaths()) {
        state.files.push_back(path + " = " + machine.files().FileContent(path).value_or(""));
    }
    state.folders = machine.files().FolderPaths();
    for (const CString& path : machine.files().PendingRestartDeletions()) state.restartDeletions.insert(path);
    return state;
}

inline std::ostream& operator<<(std::ostream& out, const MachineState& state) {
    for (const CString& line : state.registry) out << "  " << line << "\n";
    for (const CString& line : state.files) out << "  file " << line << "\n";
    for (const CString& line : state.folders) out << "  folder " << line << "\n";
    for (const CString& line : state.restartDeletions) out << "  at restart " << line << "\n";
    return out;
}

// One working copy run to its end on the machine; the exit code.
inline int RunWorkingCopy(SimMachine& machine) {
    CUninstApp app(machine.platform());
    EXPECT_FALSE(app.InitInstance());
    return app.ExitCode();
}

}  // namespace full_installation
