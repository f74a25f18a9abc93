#include "check/plan_lines.h"

#include <string>

#include "app/uninst_app.h"

namespace {

constexpr char kCompleteMark[] = "COMPLETE!";

// A message's line breaks shown as " / ", so that each step stays on one line.
CString OneLine(const CString& text) {
    CString line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        line += text[i] == '\n' ? CString(" / ") : CString(1, text[i]);
    }
    return line;
}

CString Outcome(bool succeeded, const char* failure) { return succeeded ? CString() : CString(" (") + failure + ")"; }

CString ResultCode(std::int64_t code) { return code == 0 ? CString() : " (fails, error " + std::to_string(code) + ")"; }

}  // namespace

CStringArray PlanLines(const std::vector<SimEvent>& events) {
    CStringArray lines;
    CString phase;
    bool released = false;
    for (const SimEvent& event : events) {
        switch (event.kind) {
            case SimEventKind::Status: {
                const CString title = event.text.substr(0, event.text.find('\n'));
                if (title.find(kCompleteMark) != CString::npos || event.text.find(kCompleteMark) != CString::npos ||
                    title == phase) {
                    break;
                }
                phase = title;
                lines.push_back(title);
                break;
            }
            case SimEventKind::MessageBox:
                lines.push_back("  message: " + OneLine(event.text) + " -> " + AnswerName(static_cast<int>(event.extra)));
                break;
            case SimEventKind::ConfirmationDialog:
                lines.push_back("  confirmation for '" + event.text + "' -> " +
                                (event.number == mb::kIdOk ? CString("Un-Install") : CString("Exit")));
                break;
            case SimEventKind::ShellExecuted:
                lines.push_back("  run " + event.text + (event.detail.empty() ? CString() : " " + event.detail) +
                                Outcome(event.number != 0, "cannot start"));
                break;
            case SimEventKind::ModuleLoaded:
                lines.push_back("  load module " + event.text + Outcome(event.number != 0, "cannot load"));
                break;
            case SimEventKind::UnregisterCalled:
                lines.push_back("  DllUnregisterServer of " + event.text + " returns " + std::to_string(event.number));
                break;
            case SimEventKind::MessagePosted:
                if (!released) lines.push_back("  release the first instance");
                released = true;
                break;
            case SimEventKind::FileDeleted:
                lines.push_back("  delete file " + event.text + Outcome(event.number != 0, "not there, or refused"));
                break;
            case SimEventKind::FolderRemoved:
                lines.push_back("  remove folder " + event.text + Outcome(event.number != 0, "stays: not empty or not there"));
                break;
            case SimEventKind::KeyDeleted:
                lines.push_back("  delete key " + event.text + ResultCode(event.number));
                break;
            case SimEventKind::ValueSet:
                lines.push_back("  set value '" + event.detail + "' of " + event.text + ResultCode(event.number));
                break;
            case SimEventKind::ValueDeleted:
                lines.push_back("  delete value '" + event.detail + "' of " + event.text + ResultCode(event.number));
                break;
            case SimEventKind::FileWritten:
                lines.push_back("  write file " + event.text + Outcome(event.number != 0, "fails"));
                break;
            case SimEventKind::RestartDeletion:
                lines.push_back("  delete at the next restart: " + event.text);
                break;
            default:
                break;
        }
    }
    return lines;
}
