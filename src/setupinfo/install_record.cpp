// The record that setup left in the registry: where this installation's folders are.

#include "app/uninst_app.h"
#include "text/text.h"

namespace {

constexpr char kRecordKeyPrefix[] = "SOFTWARE\\Tallowmere\\UNINST\\";
constexpr std::size_t kRecordValueLimit = 4096;

}  // namespace

bool NamesAnApplication(const CString& appName) { return appName.find_first_not_of('\\') != CString::npos; }

std::optional<CString> CUninstApp::ReadRecordValue(RegKey key, const CString& name) {
    RegValue value;
    if (m_platform.registry.QueryValue(key, name, kRecordValueLimit, value) != reg::kSuccess) return std::nullopt;
    return value.data.substr(0, value.data.find('\0'));
}

bool CUninstApp::ReadInstallRecord() {
    IRegistry& registry = m_platform.registry;
    m_startMenuFolder.clear();
    // Without a name the path would be the parent of every application's record, which no
    // later step may read or delete.
    if (!NamesAnApplication(m_appName)) {
        m_recordKeyPath.clear();
        ShowMessage(TextId::RecordMissing);
        return true;
    }
    m_recordKeyPath = kRecordKeyPrefix + m_appName;

    RegKey recordKey = 0;
    const long opened = registry.OpenKey(kLocalMachine, m_recordKeyPath, reg::kAllAccess, recordKey);
    if (opened == reg::kAccessDenied) {
        ReportRecordRefused();
        return false;
    }
    if (opened != reg::kSuccess) {
        m_recordAbsent = opened == reg::kFileNotFound;
        ShowMessage(TextId::RecordMissing);
        return true;
    }
    m_recordKey = recordKey;

    m_appPath = ReadRecordValue(recordKey, "").value_or(CString());
    m_startMenuFolder = WithTrailingBackslash(ReadRecordValue(recordKey, "StartMenuFolderName").value_or(CString()), m_codePage);

    RegKey commonKey = 0;
    if (registry.OpenKey(recordKey, "AppCommon", reg::kAllAccess, commonKey) == reg::kSuccess) {
        m_appCommon = ReadRecordValue(commonKey, "").value_or(CString());
        registry.CloseKey(commonKey);
    }
    Log("installation record read: folder '" + m_appPath + "', common folder '" + m_appCommon +
        "', start-menu folder '" + m_startMenuFolder + "'");
    return true;
}

void CUninstApp::ReportRecordRefused() {
    // A user without the rights would lose only what is theirs, under HKEY_CURRENT_USER, while
    // the application stays installed; the log tells an administrator how far the refusal goes.
    RegKey readable = 0;
    const long read = m_platform.registry.OpenKey(kLocalMachine, m_recordKeyPath, reg::kRead, readable);
    if (read == reg::kSuccess) m_platform.registry.CloseKey(readable);
    Log("installation record refused: HKEY_LOCAL_MACHINE\\" + m_recordKeyPath +
        " cannot be opened with KEY_ALL_ACCESS (error 5, access denied); opening it with KEY_READ " +
        (read == reg::kSuccess ? CString("succeeds") : "fails with error " + std::to_string(read)) +
        "; nothing was changed");
    ShowMessage({TextId::RecordNeedsRights, {{Piece::App, m_appName}}});
}
