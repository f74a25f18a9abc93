// Start-up of both instances: the checks every instance makes, then either the relaunch or the
// working copy's search for the setup information.

#include "app/command_line.h"
#include "app/uninst_app.h"
#include "app/version.h"
#include "language/language_choice.h"
#include "text/text.h"

namespace {

// By its full path: found by name, it would be taken from the program's own folder first.
constexpr char kCtl3dModule[] = "CTL3D32.DLL";

// Places where the setup information is looked for, relative to the setup folder, in order.
constexpr const char* kSetupInfPlaces[] = {"SETUP.INF", "DISK1\\SETUP.INF", "SETUP\\SETUP.INF"};

// The busy cursor for as long as the instance works, released on every path.
class WaitCursor {
public:
    explicit WaitCursor(IUserInterface& ui) : m_ui(ui) { m_ui.BeginWaitCursor(); }
    ~WaitCursor() { m_ui.EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    IUserInterface& m_ui;
};

}  // namespace

bool CUninstApp::InitInstance() {
    m_winDir = WithTrailingBackslash(m_platform.system.WindowsFolder(), m_codePage);
    m_sysDir = WithTrailingBackslash(m_platform.system.SystemFolder(), m_codePage);
    const CString dllSearch = LimitDllSearch();
    const CString arguments = m_platform.system.ArgumentText();
    const bool workingCopy = IsWorkingCopySwitch(arguments);
    if (workingCopy) m_instanceName = "copy";
    m_unattended = ParseUnattendedSwitches(arguments);
    const CString languageReason = ChooseWindowsLanguage();
    if (!OpenLog()) {
        EndWith(RunEnding::Stopped);
        return false;
    }
    Log("start: uninst " + CString(kProgramVersion) + " on the " + (m_isWinNT ? "NT" : "9x") + " family, version " +
        std::to_string(m_majorVersion) + "." + std::to_string(m_minorVersion) + " (" +
        (m_osName.empty() ? CString("unsupported") : m_osName) + "), arguments: " + arguments);
    Log("DLL search: " + dllSearch);
    Log("language: " + CString(m_language.Tag()) + " (" + languageReason + ")");
    if (m_unattended.plan) {
        RunDryRun(arguments);
        Log("exit code " + std::to_string(ExitCode()));
        return false;
    }

    if (m_osName.empty()) ShowMessage(TextId::UnsupportedSystem);
    const WaitCursor busy(m_platform.ui);
    m_platform.ui.Enable3dControls(m_sysDir + kCtl3dModule);

    if (workingCopy) {
        ParseUninstSwitch(arguments);
        if (auto setupFile = OpenSetupInf()) {
            RunUninstall(std::move(setupFile));
        } else {
            EndWith(RunEnding::Stopped);
        }
    } else {
        RelaunchFromTemp(arguments);
    }
    Log("exit code " + std::to_string(ExitCode()));
    return false;
}

bool CUninstApp::OpenLog() {
    if (!m_unattended.logPath) return true;
    if (!m_unattended.logPath->empty()) m_log = m_platform.files.OpenForAppending(*m_unattended.logPath);
    if (m_log) return true;
    ShowMessage({TextId::LogNotOpened, {{Piece::Path, *m_unattended.logPath}}});
    return false;
}

CString CUninstApp::ChooseWindowsLanguage() {
    std::optional<std::string_view> requested;
    if (m_unattended.languageTag) requested = *m_unattended.languageTag;
    LanguageChoice choice = ChooseLanguage(requested, m_platform.system.UserInterfaceLanguage(), m_codePage.Number());
    m_language = std::move(choice.language);
    return choice.reason;
}

void CUninstApp::ParseUninstSwitch(const CString& argumentText) {
    const UninstSwitch parsed = ParseUninstArguments(argumentText);
    m_waitingThreadId = parsed.waitingThreadId;
    m_setupDir.clear();
    if (parsed.programPath) m_setupDir = m_platform.files.FullPathName(*parsed.programPath);
    m_waitingProgramPath = m_setupDir;
    if (m_setupDir.empty()) m_setupDir = m_platform.system.ModuleFileName();
    m_setupDir = FolderOf(m_setupDir, m_codePage);
}

std::unique_ptr<IOpenFile> CUninstApp::OpenSetupInf() {
    for (const char* place : kSetupInfPlaces) {
        if (auto file = m_platform.files.OpenForReading(m_setupDir + place)) {
            Log("SETUP.INF found: " + m_setupDir + place);
            return file;
        }
    }
    ShowMessage(TextId::SetupInfNotFound);
    return nullptr;
}
