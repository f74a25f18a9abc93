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

int ScaledShare(int scale, int part, int whole) {
    return static_cast<int>(static_cast<std::int64_t>(scale) * part / whole);
}

CUninstApp::CUninstApp(Platform& platform) : m_codePage(platform.system.AnsiCodePage()), m_platform(platform) {
    DetectOperatingSystem();
    m_title = ProgramTitle(m_platform.system.ModuleFileName(), m_codePage);
}

CUninstApp::~CUninstApp() { CloseRecordKey(); }

int CUninstApp::ShowMessage(const CString& text, std::uint32_t style) {
    if (IsQuiet()) {
        const int answer = (style & mb::kButtonsMask) == mb::kYesNo ? mb::kIdNo : mb::kIdOk;
        Log("message: " + text + " -> " + AnswerName(answer) + " (silent)");
        return answer;
    }
    const int answer = m_platform.ui.ShowMessageBox(text, m_title, style);
    Log("message: " + text + " -> " + AnswerName(answer));
    return answer;
}

void CUninstApp::Log(const CString& event) {
    if (m_log) m_log->Append(FormatLogLine(m_platform.system.Now(), m_instanceName, event));
}

bool CUninstApp::AskYesNo(const CString& text, std::uint32_t icon) {
    return ShowMessage(text, mb::kYesNo | icon | mb::kDefaultButton1) == mb::kIdYes;
}

void CUninstApp::SetStatus(const CString& text) {
    if (m_progress) m_progress->SetStatus(text);
}

void CUninstApp::SetPercent(int percent) {
    if (m_progress) m_progress->SetPercent(percent);
}

void CUninstApp::Pause(std::uint32_t milliseconds) { m_platform.system.Sleep(milliseconds); }

void CUninstApp::FinishPhase(const CString& completionText) {
    SetStatus(completionText);
    SetPercent(100);
    Pause(250);
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
