// %name% references in setup information, worked out afresh against the machine each time.

#include <optional>

#include "app/uninst_app.h"
#include "text/text.h"

namespace {

constexpr char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr std::size_t kRegistryStringLimit = 65535;

}  // namespace

CString CUninstApp::GetDriveRoot(const CString& path) const {
    if (path.size() < 3) return CString();
    if (path[1] == ':') return path.substr(0, 2);
    if (path[0] == '\\' && path[1] == '\\') {
        // A network path's root is the server and the share: "\\server\share".
        const auto serverEnd = m_codePage.Find(path, '\\', 2);
        if (serverEnd == CString::npos) return path;
        return path.substr(0, m_codePage.Find(path, '\\', serverEnd + 1));
    }
    return CString();
}

CString CUninstApp::ReadRegistryString(RegKey root, const CString& keyPath, const CString& valueName) {
    IRegistry& registry = m_platform.registry;
    RegKey key = 0;
    if (registry.OpenKey(root, keyPath, reg::kRead, key) != reg::kSuccess) return CString();
    RegValue value;
    CString text;
    if (registry.QueryValue(key, valueName, kRegistryStringLimit, value) == reg::kSuccess) {
        text = value.data.substr(0, value.data.find('\0'));
    }
    registry.CloseKey(key);
    return text;
}

CString CUninstApp::ProgramFilesFolder() {
    CString folder = ReadRegistryString(kLocalMachine, kCurrentVersionKey, "ProgramFilesDir");
    if (folder.empty()) folder = ReadRegistryString(kLocalMachine, kCurrentVersionKey, "ProgramFilesPath");
    return folder;
}

std::optional<CString> CUninstApp::VariableValue(const CString& name) {
    auto is = [&](const char* variable) { return EqualsAsciiNoCase(name, variable); };
    auto driveRoot = [&](const CString& path) -> std::optional<CString> {
        CString root = GetDriveRoot(path);
        if (root.empty()) return std::nullopt;
        return root;
    };
    auto tempOrWindows = [&] {
        CString temp = m_platform.files.TempPath();
        return temp.empty() ? m_winDir : temp;
    };

    if (is("apppath")) return m_appPath;
    if (is("appcommon")) return m_appCommon;
    if (is("windir")) return m_winDir;
    if (is("sysdir")) return m_sysDir;
    if (is("appname")) return m_appName;
    if (is("tmpdir")) {
        const CString temp = m_platform.files.TempPath();
        return temp.empty() ? m_winDir + "TEMP" : temp;
    }
    if (is("themedir")) {
        CString folder = ProgramFilesFolder();
        if (folder.empty()) folder = m_winDir;
        return WithTrailingBackslash(folder, m_codePage) + "Plus!\\Themes";
    }
    if (is("programfiles")) {
        CString folder = ProgramFilesFolder();
        if (folder.empty()) folder = WithTrailingBackslash(GetDriveRoot(m_winDir), m_codePage) + "Program Files";
        return folder;
    }
    if (is("appdrive")) return driveRoot(m_appPath);
    if (is("windrive") || is("bootdrive")) return driveRoot(m_winDir);
    if (is("sysdrive")) return driveRoot(m_sysDir);
    if (is("tmpdrive")) return driveRoot(tempOrWindows());
    return std::nullopt;
}

bool CUninstApp::ExpandVariables(CString& text) {
    // Built afresh instead of edited in place: each edit in place would move the whole rest of
    // the text, and a long line full of references would take quadratic time.
    CString result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto percent = text.find('%', i);
        if (percent == CString::npos || percent + 1 == text.size()) break;
        result.append(text, i, percent - i);
        if (text[percent + 1] == '%') {
            result += '%';
            i = percent + 2;
            continue;
        }
        // A reference that never closes cannot name a variable.
        const auto close = text.find('%', percent + 1);
        std::optional<CString> value;
        if (close != CString::npos) value = VariableValue(text.substr(percent + 1, close - percent - 1));
        if (!value) {
            text = result + text.substr(percent);
            return false;
        }
        // A value longer than a drive root loses its one trailing backslash.
        result += WithoutTrailingBackslashBeyondRoot(std::move(*value), m_codePage);
        i = close + 1;
    }
    if (i < text.size()) result.append(text, i, CString::npos);
    text = std::move(result);
    return true;
}
