#include "platform/sim/transcript.h"

#include <algorithm>
#include <string>

namespace {

const char* KindName(SimEventKind kind) {
    switch (kind) {
    case SimEventKind::MessageBox: return "MessageBox";
    case SimEventKind::ConfirmationDialog: return "ConfirmationDialog";
    case SimEventKind::WaitCursorBegin: return "WaitCursorBegin";
    case SimEventKind::WaitCursorEnd: return "WaitCursorEnd";
    case SimEventKind::Enable3dControls: return "Enable3dControls";
    case SimEventKind::DllSearchSet: return "DllSearchSet";
    case SimEventKind::ProgressCreated: return "ProgressCreated";
    case SimEventKind::Status: return "Status";
    case SimEventKind::Percent: return "Percent";
    case SimEventKind::ProgressDestroyed: return "ProgressDestroyed";
    case SimEventKind::Pause: return "Pause";
    case SimEventKind::RaisePriority: return "RaisePriority";
    case SimEventKind::ProcessStarted: return "ProcessStarted";
    case SimEventKind::MessagePosted: return "MessagePosted";
    case SimEventKind::ShellExecuted: return "ShellExecuted";
    case SimEventKind::ModuleLoaded: return "ModuleLoaded";
    case SimEventKind::UnregisterCalled: return "UnregisterCalled";
    case SimEventKind::ModuleFreed: return "ModuleFreed";
    case SimEventKind::FileDeleted: return "FileDeleted";
    case SimEventKind::FolderRemoved: return "FolderRemoved";
    case SimEventKind::RestartDeletion: return "RestartDeletion";
    case SimEventKind::FileMoved: return "FileMoved";
    case SimEventKind::KeyDeleted: return "KeyDeleted";
    case SimEventKind::ValueSet: return "ValueSet";
    case SimEventKind::ValueDeleted: return "ValueDeleted";
    case SimEventKind::FileWritten: return "FileWritten";
    case SimEventKind::MutexWaited: return "MutexWaited";
    case SimEventKind::KeyFlushed: return "KeyFlushed";
    }
    return "?";
}

// Control bytes made visible, so that "\r\n" inside a message shows where it stands.
CString Quoted(const CString& text) {
    CString out = "\"";
    for (const char byte : text) {
        if (byte == '\n') out += "\\n";
        else if (byte == '\r') out += "\\r";
        else if (byte == '"') out += "\\\"";
        else out += byte;
    }
    return out + '"';
}

}  // namespace

SimEvent SimEvent::Status(const CString& text) {
    return SimEvent{SimEventKind::Status, text, {}, 0, 0};
}

SimEvent SimEvent::Percent(int percent) {
    return SimEvent{SimEventKind::Percent, {}, {}, percent, 0};
}

bool SimEvent::operator==(const SimEvent& other) const {
    return kind == other.kind && text == other.text && detail == other.detail && number == other.number &&
           extra == other.extra;
}

CString FormatSimEvent(const SimEvent& event) {
    CString out = KindName(event.kind);
    if (!event.text.empty()) out += ' ' + Quoted(event.text);
    if (!event.detail.empty()) out += " / " + Quoted(event.detail);
    if (event.number != 0 || event.extra != 0 || event.kind == SimEventKind::Percent) {
        out += ' ' + std::to_string(event.number);
    }
    if (event.extra != 0) out += ' ' + std::to_string(event.extra);
    return out;
}

std::uint32_t SimMessageBox::Buttons() const { return style & mb::kButtonsMask; }
std::uint32_t SimMessageBox::Icon() const { return style & mb::kIconMask; }
std::uint32_t SimMessageBox::DefaultButton() const { return style & 0xF00u; }

void SimTranscript::Record(SimEvent event) { m_events.push_back(std::move(event)); }

std::vector<SimEvent> SimTranscript::EventsOf(SimEventKind kind) const {
    std::vector<SimEvent> found;
    std::copy_if(m_events.begin(), m_events.end(), std::back_inserter(found),
                 [kind](const SimEvent& event) { return event.kind == kind; });
    return found;
}

std::size_t SimTranscript::Count(SimEventKind kind) const {
    return static_cast<std::size_t>(std::count_if(m_events.begin(), m_events.end(),
                                                  [kind](const SimEvent& event) { return event.kind == kind; }));
}

std::vector<SimMessageBox> SimTranscript::MessageBoxes() const {
    std::vector<SimMessageBox> boxes;
    for (const SimEvent& event : EventsOf(SimEventKind::MessageBox)) {
        boxes.push_back({event.text, event.detail, static_cast<std::uint32_t>(event.number),
                         static_cast<int>(event.extra)});
    }
    return boxes;
}

CStringArray SimTranscript::MessageTexts() const {
    CStringArray texts;
    for (const SimEvent& event : EventsOf(SimEventKind::MessageBox)) texts.push_back(event.text);
    return texts;
}

CStringArray SimTranscript::Statuses() const {
    CStringArray texts;
    for (const SimEvent& event : EventsOf(SimEventKind::Status)) texts.push_back(event.text);
    return texts;
}

std::vector<int> SimTranscript::Percents() const {
    std::vector<int> percents;
    for (const SimEvent& event : EventsOf(SimEventKind::Percent)) percents.push_back(static_cast<int>(event.number));
    return percents;
}

std::vector<SimEvent> SimTranscript::ProgressEvents() const {
    std::vector<SimEvent> steps;
    std::copy_if(m_events.begin(), m_events.end(), std::back_inserter(steps), [](const SimEvent& event) {
        return event.kind == SimEventKind::Status || event.kind == SimEventKind::Percent;
    });
    return steps;
}

std::vector<std::uint32_t> SimTranscript::Pauses() const {
    std::vector<std::uint32_t> pauses;
    for (const SimEvent& event : EventsOf(SimEventKind::Pause)) {
        pauses.push_back(static_cast<std::uint32_t>(event.number));
    }
    return pauses;
}

CString SimTranscript::Dump() const {
    CString out;
    for (std::size_t i = 0; i < m_events.size(); ++i) out += std::to_string(i) + ": " + FormatSimEvent(m_events[i]) + '\n';
    return out;
}
