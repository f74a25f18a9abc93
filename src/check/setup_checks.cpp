#include "check/setup_checks.h"

#include <unordered_map>
#include <unordered_set>

#include "check/check_paths.h"
#include "phases/registry_entries.h"
#include "phases/shared_registry_keys.h"
#include "setupinfo/setup_text.h"
#include "text/text.h"

namespace {

constexpr char kNulByte[] = "NUL byte: the uninstaller reads nothing from here on";
constexpr char kLostBytes[] = "begins with bytes 128-255, which the uninstaller skips as blanks; it reads '";
constexpr char kNoAppName[] = "no AppName in [SetupOptions]: the uninstaller finds no record and removes no registry entry";
constexpr char kEmptyAppName[] = "AppName is empty: the uninstaller finds no record and removes no registry entry";
constexpr char kBackslashAppName[] = "AppName is only backslashes: the uninstaller treats the record as missing";
constexpr char kNoUninstallFlag[] = "NoUninstall is on: the uninstaller warns that it may not function properly";
constexpr char kNoUninstallLines[] = "no [UnInstall] lines: the uninstaller stops without removing anything";
constexpr char kUnclosedReference[] = "a '%' opens a reference that never closes (write %% for a percent sign)";
constexpr char kNotVariable[] = "' is not a variable: the uninstaller skips the line";
constexpr char kNoDrive[] = "' has no drive with these folders: the uninstaller skips the line";
constexpr char kRelativePath[] = "relative path or bare name: it lies in the application folder only while the "
                                 "installation record exists; write %apppath%\\";
constexpr char kOutsidePrefix[] = "resolves to '";
constexpr char kOutsideSuffix[] = "', outside the application, common and start-menu folders";
constexpr char kSharedOutsideSuffix[] = "', outside the application, common, start-menu, Windows and system folders";
constexpr char kLongPath[] = "the path has 260 characters or more: Windows 95, 98 and NT 4 cannot delete it";
constexpr std::size_t kMaxPath = 260;
constexpr char kCaseTwinPrefix[] = "the same path as line ";
constexpr char kCaseTwinSuffix[] = " in another letter case: the uninstaller deletes it once";
constexpr char kAlsoSharedPrefix[] = "also listed in [UnInstall.Shared] (line ";
constexpr char kAlsoSharedSuffix[] = "): deleted even when other programs still count on it";
constexpr char kSharedSwitchedOff[] = "[UnInstall.Shared] lists files but [SharedComponents] is empty: no count is "
                                      "lowered and no shared file is removed";
constexpr char kNoProgram[] = "no program before the comma: the uninstaller skips the line";
constexpr char kUnclosedProgramQuote[] = "the program's opening quote never closes before the first comma, which "
                                         "always cuts: the uninstaller runs '";
constexpr char kBareProgram[] = "bare name: it is taken from the application folder, and only while the installation "
                                "record exists";
constexpr char kNoEquals[] = "no '=' after the key path: the uninstaller skips it as an invalid registry entry";
constexpr char kLeadingEquals[] = "begins with '=': the uninstaller skips it as an invalid registry entry";
constexpr char kUnclosedName[] = "the quoted value name never closes: name and data run to the end of the line";
constexpr char kNoEqualsAfterName[] = "no '=' right after the quoted value name: the data is dropped";
constexpr char kUnknownRootPrefix[] = "no root the uninstaller knows (HKLM\\, HKCU\\, HKU\\, HKCR\\ or their long "
                                      "forms): it takes '";
constexpr char kUnknownRootSuffix[] = "' under HKEY_CLASSES_ROOT, with a warning";
constexpr char kRootKey[] = "the key is a root: only the value this line names is deleted";
constexpr char kSharedKeyPrefix[] = "the key '";
constexpr char kSharedKeySuffix[] = "' is shared by the system and other software: only the value this line names is "
                                    "deleted, the key stays";
constexpr char kUnclosedFieldQuote[] = "a quoted field never closes: it runs to the end of the line, commas included";
constexpr char kFewFileFields[] = "fewer than 3 fields: the uninstaller ignores this file line";
constexpr char kNoDestination[] = "no destination (field 4): the uninstaller cannot tell where this file lies";
constexpr char kFewOptionFields[] = "fewer than 3 fields: the uninstaller ignores this option";
constexpr char kFewShortcutFields[] = "fewer than 3 fields: no shortcut is deleted for this line";
constexpr char kNoOwnCopy[] = "no file line installs SETUPPEL\\uninst.exe: the uninstaller deletes "
                              "%apppath%\\UNINST\\uninst.exe and the SETUP.INF beside it instead";
constexpr char kOwnCopyUnresolved[] = "this line for SETUPPEL\\uninst.exe names no path: the uninstaller deletes "
                                      "%apppath%\\UNINST\\uninst.exe and the SETUP.INF beside it instead";

constexpr std::string_view kDriveVariables[] = {"appdrive", "windrive", "sysdrive", "bootdrive", "tmpdrive"};

class LineChecks {
public:
    explicit LineChecks(CheckProbe& probe) : m_probe(probe), m_app(probe.App()) {}

    Findings Run();

private:
    void Add(FindingKind kind, const NumberedLine& line, const CString& message) {
        m_findings.push_back({kind, line.number, line.text, message});
    }
    void AddAtHeader(FindingKind kind, std::string_view section, const CString& message) {
        const int header = m_probe.Text().HeaderLine(section);
        m_findings.push_back({kind, header, header == 0 ? CString() : "[" + CString(section) + "]", message});
    }
    // Reports the lines of a section that lose leading bytes, and gives the section.
    NumberedLines Section(std::string_view name) {
        NumberedLines lines = m_probe.Text().Section(name);
        for (const NumberedLine& line : lines) {
            if (line.lostBytes) Add(FindingKind::Error, line, kLostBytes + line.text + "'");
        }
        return lines;
    }
    // False, with an error, when a reference in text does not expand.
    bool CheckReferences(const NumberedLine& line, std::string_view text);
    void CheckSetupOptions();
    void CheckUninstallFiles();
    void CheckSharedFiles();
    void CheckPrograms();
    void CheckModules();
    void CheckRegistryLines();
    void CheckRegistryLine(const NumberedLine& line);
    void CheckFileLists();
    void CheckOwnCopy();
    void CheckFieldLines(std::string_view section, const char* fewFieldsMessage);
    // A hazard when path lies in none of the folders; the folders of the picture by default.
    void CheckScope(const NumberedLine& line, const CString& path, const CStringArray& folders, const char* suffix);

    CheckProbe& m_probe;
    CUninstApp& m_app;
    Findings m_findings;
    std::unordered_map<CString, NumberedLine> m_uninstallPaths;  // by folded full path
};

bool HasUnclosedFieldQuote(std::string_view line) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < line.size() && IsBlankByte(line[i])) ++i;
    };
    skipBlanks();
    while (i < line.size()) {
        if (line[i] == '"' || line[i] == '\'') {
            const auto close = line.find(line[i], i + 1);
            if (close == std::string_view::npos) return true;
            i = line.find(',', close + 1);
        } else {
            i = line.find(',', i);
        }
        if (i == std::string_view::npos) return false;
        ++i;
        skipBlanks();
    }
    return false;
}

bool IsDriveVariable(std::string_view name) {
    for (std::string_view variable : kDriveVariables) {
        if (EqualsAsciiNoCase(name, variable)) return true;
    }
    return false;
}

}  // namespace

bool LineChecks::CheckReferences(const NumberedLine& line, std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto percent = text.find('%', i);
        if (percent == std::string_view::npos || percent + 1 == text.size()) return true;
        if (text[percent + 1] == '%') {
            i = percent + 2;
            continue;
        }
        const auto close = text.find('%', percent + 1);
        if (close == std::string_view::npos) {
            Add(FindingKind::Error, line, kUnclosedReference);
            return false;
        }
        const CString reference(text.substr(percent, close - percent + 1));
        if (!m_probe.Expand(reference)) {
            const bool drive = IsDriveVariable(std::string_view(reference).substr(1, reference.size() - 2));
            Add(FindingKind::Error, line, "'" + reference + (drive ? kNoDrive : kNotVariable));
            return false;
        }
        i = close + 1;
    }
    return true;
}

void LineChecks::CheckScope(const NumberedLine& line, const CString& path, const CStringArray& folders,
                            const char* suffix) {
    if (path.size() >= kMaxPath) Add(FindingKind::Hazard, line, kLongPath);
    for (const CString& folder : folders) {
        if (IsInside(path, folder, m_app.m_codePage)) return;
    }
    Add(FindingKind::Hazard, line, kOutsidePrefix + path + suffix);
}

void LineChecks::CheckSetupOptions() {
    const NumberedLines options = Section("SetupOptions");
    const NumberedLine* appNameLine = nullptr;
    const NumberedLine* noUninstallLine = nullptr;
    for (const NumberedLine& line : options) {
        if (!appNameLine && StartsWithAsciiNoCase(line.text, "AppName=")) appNameLine = &line;
        if (!noUninstallLine && StartsWithAsciiNoCase(line.text, "NoUninstall=")) noUninstallLine = &line;
    }
    if (!appNameLine) {
        AddAtHeader(FindingKind::Error, "SetupOptions", kNoAppName);
    } else if (m_app.m_appName.empty()) {
        Add(FindingKind::Error, *appNameLine, kEmptyAppName);
    } else if (!NamesAnApplication(m_app.m_appName)) {
        Add(FindingKind::Error, *appNameLine, kBackslashAppName);
    }
    if (noUninstallLine && m_app.GetSetupValue("SetupOptions", "NoUninstall") == "1") {
        Add(FindingKind::Hazard, *noUninstallLine, kNoUninstallFlag);
    }
}

void LineChecks::CheckUninstallFiles() {
    const NumberedLines lines = Section("UnInstall");
    if (lines.empty()) AddAtHeader(FindingKind::Error, "UnInstall", kNoUninstallLines);
    const CStringArray folders = {m_app.m_appPath, m_app.m_appCommon, m_app.m_startMenuFolder};
    for (const NumberedLine& line : lines) {
        if (!CheckReferences(line, line.text)) continue;
        const CString expanded = *m_probe.Expand(line.text);
        if (!IsAbsolutePath(expanded)) Add(FindingKind::Hazard, line, kRelativePath);
        const CString path = *m_probe.ResolvePath(line.text);
        CheckScope(line, path, folders, kOutsideSuffix);
        const auto [known, added] = m_uninstallPaths.emplace(FoldAscii(path, m_app.m_codePage), line);
        if (!added && *m_probe.ResolvePath(known->second.text) != path) {
            Add(FindingKind::Hazard, line, kCaseTwinPrefix + std::to_string(known->second.number) + kCaseTwinSuffix);
        }
    }
}

void LineChecks::CheckSharedFiles() {
    const NumberedLines lines = Section("UnInstall.Shared");
    if (!lines.empty() && m_app.m_sharedComponents.empty()) {
        AddAtHeader(FindingKind::Hazard, "UnInstall.Shared", kSharedSwitchedOff);
    }
    const CStringArray folders = {m_app.m_appPath, m_app.m_appCommon, m_app.m_startMenuFolder, m_app.m_winDir,
                                  m_app.m_sysDir};
    std::unordered_map<CString, std::pair<int, CString>> seen;
    for (const NumberedLine& line : lines) {
        if (!CheckReferences(line, line.text)) continue;
        if (!IsAbsolutePath(*m_probe.Expand(line.text))) Add(FindingKind::Hazard, line, kRelativePath);
        const CString path = *m_probe.ResolvePath(line.text);
        CheckScope(line, path, folders, kSharedOutsideSuffix);
        const auto [known, added] = seen.emplace(FoldAscii(path, m_app.m_codePage), std::make_pair(line.number, path));
        if (!added && known->second.second != path) {
            Add(FindingKind::Hazard, line, kCaseTwinPrefix + std::to_string(known->second.first) + kCaseTwinSuffix);
        }
        const auto twin = m_uninstallPaths.find(FoldAscii(path, m_app.m_codePage));
        if (twin != m_uninstallPaths.end()) {
            Add(FindingKind::Hazard, twin->second,
                kAlsoSharedPrefix + std::to_string(line.number) + kAlsoSharedSuffix);
        }
    }
}

void LineChecks::CheckPrograms() {
    std::unordered_set<CString> skipped;
    for (const NumberedLine& line : Section("AutoDelete")) skipped.insert(FoldAscii(line.text, m_app.m_codePage));
    for (const NumberedLine& line : Section("ExecuteOnUninstall")) {
        if (skipped.count(FoldAscii(line.text, m_app.m_codePage)) != 0) continue;
        const RunLine run = SplitRunLine(line.text);
        const std::string_view written = TrimRightWhiteSpace(std::string_view(line.text).substr(0, line.text.find(',')));
        if (NamesNoProgram(run)) {
            Add(FindingKind::Error, line, kNoProgram);
        } else if (written.size() > 2 && written.front() == '"' && written.back() != '"') {
            Add(FindingKind::Error, line, kUnclosedProgramQuote + run.program + "'");
        } else if (!HasBackslash(run.program, m_app.m_codePage)) {
            Add(FindingKind::Hazard, line, kBareProgram);
        } else {
            CheckReferences(line, run.program);
        }
    }
}

void LineChecks::CheckModules() {
    for (const NumberedLine& line : Section("RegisterControl")) {
        if (!HasBackslash(line.text, m_app.m_codePage)) {
            Add(FindingKind::Hazard, line, kBareProgram);
        } else {
            CheckReferences(line, line.text);
        }
    }
}

void LineChecks::CheckRegistryLine(const NumberedLine& line) {
    const std::optional<RegistryLine> entry = ParseRegistryLine(line.text);
    if (!entry) {
        Add(FindingKind::Error, line, line.text.front() == '=' ? kLeadingEquals : kNoEquals);
        return;
    }
    const std::string_view rest = std::string_view(line.text).substr(line.text.find('=') + 1);
    if (!rest.empty() && rest.front() == '"') {
        std::size_t position = 1;
        for (;;) {
            const auto quote = rest.find('"', position);
            if (quote == std::string_view::npos) {
                Add(FindingKind::Error, line, kUnclosedName);
                return;
            }
            if (quote + 1 < rest.size() && rest[quote + 1] == '"') {
                position = quote + 2;
                continue;
            }
            if (quote + 1 >= rest.size() || rest[quote + 1] != '=') Add(FindingKind::Error, line, kNoEqualsAfterName);
            break;
        }
    }
    if (!CheckReferences(line, entry->keyPath) || !CheckReferences(line, entry->data) ||
        !CheckReferences(line, entry->valueName)) {
        return;
    }
    const CString keyPath = *m_probe.Expand(entry->keyPath);
    const std::optional<RegKey> root = RecogniseRoot(keyPath);
    if (!root) {
        Add(FindingKind::Error, line, kUnknownRootPrefix + keyPath + kUnknownRootSuffix);
        return;
    }
    const CString subKey = KeyPathUnderRoot(keyPath);
    if (!IsSharedRegistryKey(*root, subKey, m_app.m_codePage)) return;
    if (subKey.find_first_not_of('\\') == CString::npos) {
        Add(FindingKind::Hazard, line, kRootKey);
    } else {
        Add(FindingKind::Hazard, line, kSharedKeyPrefix + keyPath + kSharedKeySuffix);
    }
}

void LineChecks::CheckRegistryLines() {
    for (const NumberedLine& line : Section("RegistryKeys")) CheckRegistryLine(line);
}

void LineChecks::CheckFileLists() {
    CStringArray fields;
    for (const InstalledFile& file : m_probe.InstalledFiles()) {
        const NumberedLine& line = file.line;
        if (line.lostBytes) Add(FindingKind::Error, line, kLostBytes + line.text + "'");
        if (HasUnclosedFieldQuote(line.text)) Add(FindingKind::Error, line, kUnclosedFieldQuote);
        SplitFields(line.text, fields, m_app.m_codePage);
        if (fields.size() < 3) {
            Add(FindingKind::Error, line, kFewFileFields);
        } else if (fields.size() < 4) {
            Add(FindingKind::Error, line, kNoDestination);
        } else if (!fields[3].empty()) {
            CheckReferences(line, fields[3]);
        }
    }
}

void LineChecks::CheckOwnCopy() {
    CStringArray fields;
    for (const InstalledFile& file : m_probe.InstalledFiles()) {
        SplitFields(file.line.text, fields, m_app.m_codePage);
        if (fields.size() < 3 || !EqualsNoCase(fields[2], "SETUPPEL\\uninst.exe", m_app.m_codePage)) continue;
        if (file.path.empty()) Add(FindingKind::Error, file.line, kOwnCopyUnresolved);
        return;
    }
    AddAtHeader(FindingKind::Error, "Files", kNoOwnCopy);
}

void LineChecks::CheckFieldLines(std::string_view section, const char* fewFieldsMessage) {
    CStringArray fields;
    for (const NumberedLine& line : Section(section)) {
        if (HasUnclosedFieldQuote(line.text)) Add(FindingKind::Error, line, kUnclosedFieldQuote);
        SplitFields(line.text, fields, m_app.m_codePage);
        if (fields.size() < 3) Add(FindingKind::Error, line, fewFieldsMessage);
    }
}

Findings LineChecks::Run() {
    CheckSetupOptions();
    CheckFileLists();
    CheckOwnCopy();
    CheckFieldLines("Options", kFewOptionFields);
    CheckUninstallFiles();
    CheckSharedFiles();
    CheckPrograms();
    CheckModules();
    CheckRegistryLines();
    CheckFieldLines("AddShortcut", kFewShortcutFields);
    return std::move(m_findings);
}

Findings CheckSetupLines(CheckProbe& probe) {
    Findings findings;
    const CString& text = probe.App().m_setupText;
    if (const int nulLine = LineOfFirstNul(text)) {
        std::size_t start = 0;
        for (int number = 1; number < nulLine; ++number) start = text.find('\n', start) + 1;
        findings.push_back({FindingKind::Error, nulLine, text.substr(start, text.find('\n', start) - start), kNulByte});
    }
    Findings lines = LineChecks(probe).Run();
    findings.insert(findings.end(), lines.begin(), lines.end());
    return findings;
}
