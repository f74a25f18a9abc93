#include "app/run_journal.h"

#include "app/uninst_app.h"

namespace {

constexpr char kNamePrefix[] = "Uninstall.";
constexpr char kStartedState[] = "started";
constexpr char kDoneState[] = "done";
constexpr std::size_t kEntryLimit = 4096;

}  // namespace

CString JournalName(const char* kind, std::size_t index) {
    CString name = kNamePrefix;
    name += kind;
    name += '.';
    name += std::to_string(index + 1);
    return name;
}

CString FormatJournalEntry(const JournalEntry& entry) {
    return (entry.state == JournalState::Done ? kDoneState : kStartedState) + CString(1, journal::kFieldSeparator) +
           entry.detail;
}

std::optional<JournalEntry> ParseJournalEntry(const CString& text) {
    const std::size_t cut = text.find(journal::kFieldSeparator);
    if (cut == CString::npos) return std::nullopt;
    const CString state = text.substr(0, cut);
    JournalEntry entry;
    if (state == kDoneState) {
        entry.state = JournalState::Done;
    } else if (state != kStartedState) {
        return std::nullopt;
    }
    entry.detail = text.substr(cut + 1);
    return entry;
}

CStringArray SplitJournalDetail(const CString& detail, std::size_t fieldCount) {
    CStringArray fields;
    std::size_t start = 0;
    while (fields.size() + 1 < fieldCount) {
        const std::size_t cut = detail.find(journal::kFieldSeparator, start);
        if (cut == CString::npos) break;
        fields.push_back(detail.substr(start, cut - start));
        start = cut + 1;
    }
    fields.push_back(detail.substr(start));
    return fields;
}

std::optional<JournalEntry> CUninstApp::ReadJournal(const CString& step) {
    if (!m_recordKey) return std::nullopt;
    RegValue value;
    if (m_platform.registry.QueryValue(*m_recordKey, step, kEntryLimit, value) != reg::kSuccess) return std::nullopt;
    return ParseJournalEntry(value.data.substr(0, value.data.find('\0')));
}

bool CUninstApp::WriteJournal(const CString& step, const JournalEntry& entry) {
    if (!m_recordKey) return false;
    const RegValue value{reg::kTypeString, FormatJournalEntry(entry) + '\0'};
    return m_platform.registry.SetValue(*m_recordKey, step, value) == reg::kSuccess;
}

void CUninstApp::WithdrawJournal(const CString& step) {
    if (m_recordKey) m_platform.registry.DeleteValue(*m_recordKey, step);
}

void CUninstApp::LogNotJournaled(const CString& what) {
    Log(what + " skipped: it must not happen twice, and without the installation record's journal a later "
               "run could not tell that it happened");
}
