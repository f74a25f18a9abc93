#include "check/check_probe.h"

#include <unordered_set>

#include "setupinfo/setup_text.h"
#include "text/text.h"

namespace {

constexpr char kProbeFile[] = "C:\\SETUP.INF";
constexpr char kOwnCopyName[] = "SETUPPEL\\uninst.exe";
constexpr char kOwnCopyFallback[] = "%apppath%\\UNINST\\uninst.exe";
constexpr char kNtSystemFolder[] = "C:\\WINDOWS\\SYSTEM32";
constexpr std::uint32_t kWesternCodePage = 1252;

}  // namespace

Platform& PictureMachine(SimMachine& machine, const CheckOptions& options) {
    machine.system().SetCodePage(options.codePage.value_or(kWesternCodePage));
    if (options.family == Family::WinNt) {
        machine.system().UseWindows2000().SetSystemFolder(kNtSystemFolder);
        machine.files().AddFolder(kNtSystemFolder);
    } else {
        machine.system().UseWindows98();
    }
    return machine.platform();
}

CheckProbe::CheckProbe(const CString& text, const CheckOptions& options)
    : m_app(PictureMachine(m_machine, options)), m_text(text), m_numbered(m_text, m_app.m_codePage), m_options(options) {
    m_app.m_winDir = WithTrailingBackslash(m_machine.system().WindowsFolder(), m_app.m_codePage);
    m_app.m_sysDir = WithTrailingBackslash(m_machine.system().SystemFolder(), m_app.m_codePage);
    m_app.m_appPath = options.appPath;
    m_app.m_appCommon = options.appCommon;
    m_app.m_startMenuFolder = WithTrailingBackslash(options.startMenu, m_app.m_codePage);
    m_machine.files().AddFile(kProbeFile, m_text);
    // The verdict on an empty [UnInstall] is the checker's to give; the lists are built either way.
    m_app.LoadSetupInfo(m_machine.files().OpenForReading(kProbeFile));
}

std::optional<CString> CheckProbe::Expand(const CString& text) {
    CString expanded = text;
    if (!m_app.ExpandVariables(expanded)) return std::nullopt;
    return expanded;
}

std::optional<CString> CheckProbe::ResolvePath(const CString& line) {
    std::optional<CString> path = Expand(line);
    if (path && !IsAbsolutePath(*path)) *path = m_app.m_appPath + *path;
    return path;
}

std::optional<CString> CheckProbe::ResolveProgram(const CString& program) {
    if (!HasBackslash(program, m_app.m_codePage)) return m_app.m_appPath + program;
    return Expand(program);
}

std::optional<CString> CheckProbe::OwnCopyPath() {
    const CString line = m_app.FindFileLine(kOwnCopyName);
    CString path = line.empty() ? CString() : m_app.ResolveFileLine(line);
    if (path.empty()) return Expand(kOwnCopyFallback);
    return path;
}

std::vector<InstalledFile> CheckProbe::InstalledFiles() {
    CStringArray sections = {"Files", "Files." + m_app.m_osName};
    CStringArray fields;
    std::unordered_set<CString> seen;
    for (const NumberedLine& option : m_numbered.Section("Options")) {
        SplitFields(option.text, fields, m_app.m_codePage);
        if (fields.size() < 3 || !seen.insert(FoldAscii(fields[0], m_app.m_codePage)).second) continue;
        sections.push_back("Option." + fields[0]);
        sections.push_back("Option." + fields[0] + "." + m_app.m_osName);
    }
    std::vector<InstalledFile> files;
    for (const CString& section : sections) {
        for (NumberedLine& line : m_numbered.Section(section)) {
            CString path = m_app.ResolveFileLine(line.text);
            files.push_back({std::move(line), std::move(path)});
        }
    }
    return files;
}
