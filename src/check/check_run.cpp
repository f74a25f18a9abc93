#include "check/check_run.h"

#include <algorithm>
#include <unordered_set>

#include "check/check_paths.h"
#include "phases/registry_entries.h"
#include "setupinfo/setup_text.h"
#include "text/text.h"

namespace {

constexpr char kRecordKeyPrefix[] = "SOFTWARE\\Tallowmere\\UNINST\\";
constexpr char kUninstallEntryPrefix[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kWorkingCopy[] = "C:\\WINDOWS\\TEMP\\~UN3A1F.tmp";
constexpr char kFallbackOwnCopy[] = "UNINST\\uninst.exe";
constexpr char kUninstallShortcut[] = "Un-Install.LNK";
constexpr char kFirstInstanceThread[] = "468";
// Files beyond this are not laid: no file call of these systems takes such a path, and the
// in-memory machine keeps every folder's full path, so a deep chain would cost quadratic memory.
constexpr std::size_t kLongestLaidPath = 4096;
// The registry holds keys at most this deep.
constexpr std::size_t kDeepestKey = 512;
constexpr char kLeftoverFile[] = "installed here and still there after the run: ";
constexpr char kLeftoverFolder[] = "folder stays: ";

RegValue StringValue(const CString& text) { return RegValue{reg::kTypeString, text + '\0'}; }

RegValue CountValue(std::uint32_t count) {
    CString bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((count >> (8 * i)) & 0xFFu);
    return RegValue{reg::kTypeDword, bytes};
}

class PictureLayer {
public:
    PictureLayer(CheckProbe& probe, SimMachine& machine) : m_probe(probe), m_app(probe.App()), m_machine(machine) {}

    // Lays the file unless its path cannot name one; true when it is there.
    bool LayFile(const CString& path, const CString& content = {}) {
        if (!IsAbsolutePath(path) || path.size() > kLongestLaidPath || EndsWithBackslash(path, m_app.m_codePage) ||
            m_machine.files().FolderExists(path)) {
            return false;
        }
        if (m_machine.files().FullPathName(path).empty()) return false;
        m_machine.files().AddFile(path, content);
        return true;
    }

    void SetValue(RegKey root, const CString& keyPath, const CString& name, const RegValue& value) {
        if (static_cast<std::size_t>(std::count(keyPath.begin(), keyPath.end(), '\\')) >= kDeepestKey) return;
        IRegistry& registry = m_machine.registry();
        RegKey key = 0;
        if (registry.CreateKey(root, keyPath, key) != reg::kSuccess) return;
        registry.SetValue(key, name, value);
        registry.CloseKey(key);
    }

    void LayRecord() {
        if (!NamesAnApplication(m_app.m_appName)) return;
        const CString record = kRecordKeyPrefix + m_app.m_appName;
        SetValue(kLocalMachine, record, "", StringValue(m_probe.Options().appPath));
        SetValue(kLocalMachine, record, "StartMenuFolderName", StringValue(m_probe.Options().startMenu));
        SetValue(kLocalMachine, record + "\\AppCommon", "", StringValue(m_probe.Options().appCommon));
        SetValue(kLocalMachine, kUninstallEntryPrefix + m_app.m_appName, "DisplayName", StringValue(m_app.m_appName));
    }

    void LayRemovedFiles() {
        CStringArray lines;
        m_app.ReadSection("UnInstall", lines);
        for (const CString& line : lines) {
            if (const auto path = m_probe.ResolvePath(line)) LayFile(*path);
        }
        m_app.ReadSection("UnInstall.Shared", lines);
        for (const CString& line : lines) {
            const auto path = m_probe.ResolvePath(line);
            if (!path) continue;
            LayFile(*path);
            SetValue(kLocalMachine, kSharedDllsKey, *path, CountValue(1));
        }
    }

    void LayRegistryKeys() {
        CStringArray lines;
        m_app.ReadSection("RegistryKeys", lines);
        for (const CString& line : lines) {
            const std::optional<RegistryLine> entry = ParseRegistryLine(line);
            if (!entry) continue;
            const auto keyPath = m_probe.Expand(entry->keyPath);
            const auto name = m_probe.Expand(entry->valueName);
            const auto data = m_probe.Expand(entry->data);
            if (!keyPath || !name || !data) continue;
            if (const auto root = RecogniseRoot(*keyPath)) {
                SetValue(*root, KeyPathUnderRoot(*keyPath), *name, StringValue(*data));
            } else {
                SetValue(kClassesRoot, *keyPath, *name, StringValue(*data));
            }
        }
    }

    void LayProgramsAndModules() {
        CStringArray lines;
        CStringArray skipLines;
        m_app.ReadSection("ExecuteOnUninstall", lines);
        m_app.ReadSection("AutoDelete", skipLines);
        std::unordered_set<CString> skipped;
        for (const CString& line : skipLines) skipped.insert(FoldAscii(line, m_app.m_codePage));
        for (const CString& line : lines) {
            if (skipped.count(FoldAscii(line, m_app.m_codePage)) != 0) continue;
            if (const auto program = m_probe.ResolveProgram(SplitRunLine(line).program)) {
                m_machine.processes().RegisterProgram(*program, SimProgram::ExitingWith(0));
            }
        }
        m_app.ReadSection("RegisterControl", lines);
        for (const CString& line : lines) {
            if (const auto module = m_probe.ResolveProgram(line)) m_machine.modules().Register(*module, SimModule::Returning(0));
        }
    }

    void LayShortcuts() {
        const CString& menu = m_app.m_startMenuFolder;
        if (!IsAbsolutePath(menu)) return;
        CStringArray lines;
        CStringArray fields;
        m_app.ReadSection("AddShortcut", lines);
        for (const CString& line : lines) {
            SplitFields(line, fields, m_app.m_codePage);
            if (fields.size() >= 3) LayFile(menu + fields[2]);
        }
        LayFile(menu + kUninstallShortcut);
    }

    // The installed uninstaller with SETUP.INF beside it; the working copy is started for it.
    CString LayOwnCopy() {
        CString ownCopy = m_probe.OwnCopyPath().value_or(CString());
        if (!IsAbsolutePath(ownCopy)) ownCopy = m_app.m_appPath + kFallbackOwnCopy;
        LayFile(ownCopy);
        LayFile(FolderOf(ownCopy, m_app.m_codePage) + "SETUP.INF", m_app.m_setupText);
        LayFile(kWorkingCopy);
        return ownCopy;
    }

private:
    CheckProbe& m_probe;
    CUninstApp& m_app;
    SimMachine& m_machine;
};

}  // namespace

CheckRun RunOnPicture(CheckProbe& probe) {
    SimMachine machine;
    PictureMachine(machine, probe.Options());
    const CStringArray foldersBefore = machine.files().FolderPaths();
    PictureLayer layer(probe, machine);

    layer.LayRecord();
    std::vector<InstalledFile> installed;
    for (InstalledFile& file : probe.InstalledFiles()) {
        if (layer.LayFile(file.path)) installed.push_back(std::move(file));
    }
    layer.LayRemovedFiles();
    layer.LayRegistryKeys();
    layer.LayProgramsAndModules();
    layer.LayShortcuts();
    const CString ownCopy = layer.LayOwnCopy();

    machine.system().SetModuleFileName(kWorkingCopy);
    machine.system().SetArgumentText(CString("/UNINST=") + kFirstInstanceThread + ",\"" + ownCopy + "\"");
    const std::size_t start = machine.transcript().Events().size();
    CheckRun run;
    {
        CUninstApp app(machine.platform());
        app.InitInstance();
        run.exitCode = app.ExitCode();
    }
    const auto& events = machine.transcript().Events();
    run.events.assign(events.begin() + static_cast<std::ptrdiff_t>(start), events.end());

    std::unordered_set<CString> reported;
    for (const InstalledFile& file : installed) {
        if (!machine.files().FileExists(file.path) || !reported.insert(FoldAscii(file.path, probe.App().m_codePage)).second) continue;
        run.leftovers.push_back({FindingKind::Leftover, file.line.number, file.line.text, kLeftoverFile + file.path});
    }
    std::unordered_set<CString> existed;
    for (const CString& folder : foldersBefore) existed.insert(FoldAscii(folder, probe.App().m_codePage));
    const CodePage& codePage = probe.App().m_codePage;
    const FolderScope owned[] = {{probe.Options().appPath, codePage}, {probe.Options().appCommon, codePage}, {probe.Options().startMenu, codePage}};
    for (const CString& folder : machine.files().FolderPaths()) {
        if (existed.count(FoldAscii(folder, codePage)) != 0) continue;
        for (const FolderScope& root : owned) {
            if (!root.Holds(folder)) continue;
            run.leftovers.push_back({FindingKind::Leftover, 0, CString(), kLeftoverFolder + folder});
            break;
        }
    }
    return run;
}
