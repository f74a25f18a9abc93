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

void CUninstApp::ReadInstallRecord() {
    IRegistry& registry = m_platform.registry;
    m_startMenuFolder.clear();
    // Without a name the path would be the parent of every application's record, which no
    // later step may read or delete.
    if (!NamesAnApplication(m_appName)) {
        m_recordKeyPath.clear();
        ShowMessage(TextId::RecordMissing);
        return;
    }
    m_recordKeyPath = kRecordKeyPrefix + m_appName;

    RegKey recordKey = 0;
    const long opened = registry.OpenKey(kLocalMachine, m_recordKeyPath, reg::kAllAccess, recordKey);
    if (opened != reg::kSuccess) {
        m_recordAbsent = opened == reg::kFileNotFound;
        ShowMessage(TextId::RecordMissing);
        return;
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
}
