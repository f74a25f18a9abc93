#pragma once
// The in-memory machine's record of everything a user or an observer of the machine would see,
// in the order it happened: windows, texts, pauses, started programs, posted messages, loaded
// modules and the deletions tried.

#include <cstdint>
#include <iosfwd>
#include <vector>

#include "platform/types.h"

enum class SimEventKind {
    MessageBox,           // text, detail = caption, number = style, extra = the answer
    ConfirmationDialog,   // text = application name, detail = the caption shown, number = the answer
    WaitCursorBegin,
    WaitCursorEnd,
    Enable3dControls,     // text = the service module's path
    DllSearchSet,         // text = the function called, detail = its folder, number = its flags
    ProgressCreated,      // text = application name, detail = the caption shown
    Status,               // text
    Percent,              // number
    ProgressDestroyed,
    Pause,                // number = milliseconds
    RaisePriority,
    ProcessStarted,       // text = command line, detail = current folder, number = 1 when started
    MessagePosted,        // number = thread id, extra = message code
    ShellExecuted,        // text = file, detail = parameters, number = 1 when started
    ModuleLoaded,         // text = path, number = 1 when loaded
    UnregisterCalled,     // text = path, number = the status returned
    ModuleFreed,          // text = path
    FileDeleted,          // text = path, number = 1 when the file went
    FolderRemoved,        // text = path, number = 1 when the folder went
    RestartDeletion,      // text = path
    FileMoved,            // text = old path, detail = new path, number = 1 when it moved
    KeyDeleted,           // text = root and path, number = the result code
    ValueSet,             // text = root and key path, detail = value name, number = the result code
    ValueDeleted,         // text = root and key path, detail = value name, number = the result code
    FileWritten,          // text = path, detail = "to disk" when flushed, number = 1 when the whole file was written
    KeyFlushed,           // text = root and key path, number = the result code
    MutexWaited,          // text = name: a wait that found another owner holding it
};

struct SimEvent {
    SimEventKind kind = SimEventKind::Status;
    CString text;
    CString detail;
    std::int64_t number = 0;
    std::int64_t extra = 0;

    // The two steps of a progress sequence, for comparing with ProgressEvents().
    static SimEvent Status(const CString& text);
    static SimEvent Percent(int percent);

    bool operator==(const SimEvent& other) const;
    bool operator!=(const SimEvent& other) const { return !(*this == other); }
};

// One line, as Dump shows it.
CString FormatSimEvent(const SimEvent& event);
// For test failure messages; kept apart (transcript_print.cpp) so that programs without streams
// can hold the machine.
std::ostream& operator<<(std::ostream& out, const SimEvent& event);

// A message box as shown: the style splits into buttons, icon and default button.
struct SimMessageBox {
    CString text;
    CString caption;
    std::uint32_t style = 0;
    int answer = 0;

    std::uint32_t Buttons() const;
    std::uint32_t Icon() const;
    std::uint32_t DefaultButton() const;  // the style's bits 8-11 (0 is the first button)
};

class SimTranscript {
public:
    void Record(SimEvent event);

    const std::vector<SimEvent>& Events() const { return m_events; }
    std::vector<SimEvent> EventsOf(SimEventKind kind) const;
    std::size_t Count(SimEventKind kind) const;

    std::vector<SimMessageBox> MessageBoxes() const;
    CStringArray MessageTexts() const;
    CStringArray Statuses() const;
    std::vector<int> Percents() const;
    // Status and Percent events interleaved as they happened.
    std::vector<SimEvent> ProgressEvents() const;
    std::vector<std::uint32_t> Pauses() const;

    // One line per event, for failure messages.
    CString Dump() const;

private:
    std::vector<SimEvent> m_events;
};
