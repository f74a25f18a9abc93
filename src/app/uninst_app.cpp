#include "app/uninst_app.h"

#include "app/command_line.h"
#include "app/run_log.h"

CString AnswerName(int answer) {
    switch (answer) {
        case mb::kIdOk: return "OK";
        case mb::kIdCancel: return "Cancel";
        case mb::kIdYes: return "Yes";
        case mb::kIdNo: return "No";
        default: return std::to_string(answer);
    }
}

namespace {

constexpr std::uint32_t kPhaseEndPauseMilliseconds = 250;

}  // namespace

int ScaledShare(int scale, int part, int whole) {
    // scale * part / whole without a 64-bit product, whose division would come from the runtime
    // library: whole parts first, then the rest carried one scale step at a time (scale is a
    // percentage, so at most 100 steps).
    const auto count = static_cast<std::uint32_t>(part);
    const auto total = static_cast<std::uint32_t>(whole);
    auto share = count / total * static_cast<std::uint32_t>(scale);
    const std::uint32_t rest = count % total;
    std::uint32_t carried = 0;
    for (int step = 0; step < scale; ++step) {
        carried += rest;
        if (carried >= total) {
            carried -= total;
            ++share;
        }
    }
    return static_cast<int>(share);
}

CUninstApp::CUninstApp(Platform& platform) : m_codePage(platform.system.AnsiCodePage()), m_platform(platform) {
    DetectOperatingSystem();
    m_title = ProgramTitle(m_platform.system.ModuleFileName(), m_codePage);
}

CUninstApp::~CUninstApp() { CloseRecordKey(); }

int CUninstApp::ShowMessage(const Message& message, std::uint32_t style) {
    CString event = "message: " + Language::English().Format(message);
    const bool quiet = IsQuiet();
    const std::uint32_t shownStyle = m_language.RightToLeft() ? style | mb::kRightToLeft : style;
    const int answer = quiet ? ((style & mb::kButtonsMask) == mb::kYesNo ? mb::kIdNo : mb::kIdOk)
                             : m_platform.ui.ShowMessageBox(m_language.Format(message), m_title, shownStyle);
    event += " -> ";
    event += AnswerName(answer);
    if (quiet) event += " (silent)";
    Log(event);
    return answer;
}

void CUninstApp::Log(const CString& event) {
    if (m_log) m_log->Append(FormatLogLine(m_platform.system.Now(), m_instanceName, event));
}

void CUninstApp::LogFailure(CString event, std::uint32_t error, std::string_view after) {
    event += " (error ";
    event += std::to_string(error);
    event += ')';
    event += after;
    Log(event);
}

bool CUninstApp::AskYesNo(const Message& question, std::uint32_t icon) {
    return ShowMessage(question, mb::kYesNo | icon | mb::kDefaultButton1) == mb::kIdYes;
}

void CUninstApp::SetStatus(const Message& status) {
    if (m_progress) m_progress->SetStatus(m_language.Format(status));
}

void CUninstApp::SetPercent(int percent) {
    if (m_progress) m_progress->SetPercent(percent);
}

void CUninstApp::Pause(std::uint32_t milliseconds) { m_platform.system.Sleep(milliseconds); }

void CUninstApp::PauseForReader(std::uint32_t milliseconds) {
    // These pauses give a person time to read the progress window; where none is shown, a
    // deployment tool would only wait for nothing.
    if (m_unattended.quietness != Quietness::VerySilent) m_platform.system.Sleep(milliseconds);
}

void CUninstApp::FinishPhase(TextId completionText) {
    SetStatus(completionText);
    SetPercent(100);
    PauseForReader(kPhaseEndPauseMilliseconds);
}

CString CUninstApp::InAppFolder(const CString& name) const { return m_appPath + name; }

void CUninstApp::CloseRecordKey() {
    if (m_recordKey) {
        m_platform.registry.CloseKey(*m_recordKey);
        m_recordKey.reset();
    }
}

void CUninstApp::EndWithCode(int code) { m_msgCur = ThreadMessage{wm::kQuit, static_cast<std::uintptr_t>(code), 0}; }

void CUninstApp::EndWith(RunEnding ending) {
    switch (ending) {
        case RunEnding::Completed: EndWithCode(exitcode::kCompleted); break;
        case RunEnding::Cancelled: EndWithCode(exitcode::kCancelled); break;
        case RunEnding::Stopped:
        case RunEnding::CutShort: EndWithCode(exitcode::kFailed); break;
    }
}
