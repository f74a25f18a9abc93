#pragma once
// The run's journal: the steps that must not happen twice, kept as values of the installation
// record, so that a run stopped from outside and started again goes on where the first stopped.
// The journal lives and dies with the record: it is deleted with it at the end of a completed run.

#include <cstddef>
#include <optional>

#include "platform/types.h"

// Started: written before the step changes anything, so that a stop after it is known to have
// (perhaps) begun. Done: written once the step is over.
enum class JournalState { Started, Done };

struct JournalEntry {
    JournalState state = JournalState::Started;
    // Fields separated by '|' (a character no path holds): what a later run needs to finish the
    // step, and the item itself, for whoever reads the registry.
    CString detail;
};

namespace journal {
constexpr char kProgram[] = "Program";
constexpr char kModule[] = "Module";
constexpr char kShared[] = "Shared";
constexpr char kFieldSeparator = '|';
}  // namespace journal

// The value name of the step for line `index` (from 0) of its section.
CString JournalName(const char* kind, std::size_t index);
CString FormatJournalEntry(const JournalEntry& entry);
// nullopt for text that no run wrote.
std::optional<JournalEntry> ParseJournalEntry(const CString& text);
// A detail's fields; the last field takes the rest of the text.
CStringArray SplitJournalDetail(const CString& detail, std::size_t fieldCount);
