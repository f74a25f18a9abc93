// Lowering the system's reference counts of the shared files this installation used.

#include "app/uninst_app.h"
#include "text/text.h"

namespace {

constexpr char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

constexpr std::size_t kCountBytes = 4;

std::uint32_t CountOf(const RegValue& value) {
    std::uint32_t count = 0;
    for (std::size_t i = 0; i < value.data.size() && i < kCountBytes; ++i) {
        count |= static_cast<std::uint32_t>(static_cast<unsigned char>(value.data[i])) << (8 * i);
    }
    return count;
}

RegValue CountValue(std::uint32_t count) {
    RegValue value;
    value.type = reg::kTypeDword;
    for (std::size_t i = 0; i < kCountBytes; ++i) value.data += static_cast<char>((count >> (8 * i)) & 0xFFu);
    return value;
}

constexpr char kRemoveDecision[] = "remove";
constexpr char kKeepDecision[] = "keep";
constexpr std::size_t kSharedDetailFields = 4;  // decision, count before, count after, path

CString SharedDetail(bool remove, std::uint32_t before, std::uint32_t after, const CString& path) {
    const CString separator(1, journal::kFieldSeparator);
    return (remove ? kRemoveDecision : kKeepDecision) + separator + std::to_string(before) + separator +
           std::to_string(after) + separator + path;
}

// Counts above 2^31 come back through the wrap of the signed parse.
std::uint32_t ParseCount(const CString& text) { return static_cast<std::uint32_t>(ParseSignedDecimal(text)); }

}  // namespace

void CUninstApp::FinishDereference(RegKey key, const CString& step, const JournalEntry& earlier) {
    IRegistry& registry = m_platform.registry;
    const CStringArray fields = SplitJournalDetail(earlier.detail, kSharedDetailFields);
    if (fields.size() != kSharedDetailFields) {
        // Not written by a run: doing nothing keeps the count from going down twice.
        Log("shared file left as it is, its journal entry unreadable: " + step);
        return;
    }
    const bool remove = fields[0] == kRemoveDecision;
    const CString& path = fields[3];
    if (earlier.state == JournalState::Started) {
        // Stopped around the write: the count still holding its old value is the one sign
        // that the write never happened; anything else is left as it is.
        const std::uint32_t before = ParseCount(fields[1]);
        const std::uint32_t after = ParseCount(fields[2]);
        RegValue value;
        if (before != after && registry.QueryValue(key, path, kCountBytes, value) == reg::kSuccess &&
            value.type == reg::kTypeDword && value.data.size() == kCountBytes && CountOf(value) == before) {
            registry.SetValue(key, path, CountValue(after));
            Log("shared file " + path + ": count " + fields[1] + " -> " + fields[2] + ", finishing a stopped run");
        }
        if (remove) registry.DeleteValue(key, path);
        WriteJournal(step, {JournalState::Done, earlier.detail});
    }
    Log("shared file already dereferenced: " + path + (remove ? ", file to be removed" : ", file kept"));
    if (remove) m_removalList.push_back(EscapePercent(path));
}

bool CUninstApp::DereferenceSharedComponents() {
    SetStatus(TextId::StatusShared);
    SetPercent(0);
    if (m_sharedComponents.empty()) {
        FinishPhase(TextId::StatusSharedComplete);
        return true;
    }
    if (!HasJournal()) {
        LogNotJournaled("lowering the shared files' reference counts");
        FinishPhase(TextId::StatusSharedComplete);
        return true;
    }

    IRegistry& registry = m_platform.registry;
    RegKey key = 0;
    if (registry.CreateKey(kLocalMachine, kSharedDllsKey, key) != reg::kSuccess) {
        ShowMessage({TextId::SharedKeyFailed, {{Piece::Key, kSharedDllsKey}}});
        return false;
    }
    for (std::size_t i = 0; i < m_uninstallShared.size(); ++i) {
        CString path = m_uninstallShared[i];
        if (!ExpandVariables(path)) continue;
        if (!IsAbsolutePath(path)) path = InAppFolder(path);
        const CString step = JournalName(journal::kShared, i);
        if (const std::optional<JournalEntry> earlier = ReadJournal(step)) {
            FinishDereference(key, step, *earlier);
            continue;
        }

        RegValue value;
        if (registry.QueryValue(key, path, kCountBytes, value) != reg::kSuccess) {
            ShowMessage({TextId::SharedNoCount, {{Piece::Path, path}}});
            continue;
        }
        if (value.type != reg::kTypeDword) {
            ShowMessage({TextId::SharedWrongType, {{Piece::Path, path}}});
            continue;
        }

        std::uint32_t count = CountOf(value);
        bool remove = false;
        if (count == 0) {
            remove = AskYesNo({TextId::SharedAlreadyZero, {{Piece::Path, path}}}, mb::kIconExclamation);
        } else if (--count == 0) {
            remove = AskYesNo({TextId::SharedZeroReached, {{Piece::Path, path}}}, mb::kIconStop);
        }
        // Journaled before the count is written: a later run never lowers it again, and knows
        // the answer already given.
        const bool released = count == 0 && remove;
        const JournalEntry entry{JournalState::Started, SharedDetail(released, CountOf(value), count, path)};
        if (!WriteJournal(step, entry)) {
            LogNotJournaled("lowering the reference count of " + path);
            continue;
        }
        if (registry.SetValue(key, path, CountValue(count)) != reg::kSuccess) {
            ShowMessage({TextId::SharedUpdateFailed, {{Piece::Path, path}}});
        }
        if (count == 0 && remove) {
            registry.DeleteValue(key, path);
            m_removalList.push_back(EscapePercent(path));
        }
        WriteJournal(step, {JournalState::Done, entry.detail});
        Log("shared file " + path + ": count " + std::to_string(CountOf(value)) + " -> " + std::to_string(count) +
            (count == 0 && remove ? ", value deleted, file to be removed" : ", file kept"));
    }
    registry.CloseKey(key);
    FinishPhase(TextId::StatusSharedComplete);
    return true;
}
