#include "platform/sim/sim_ui.h"

#include <string>

#include "dialog/dialog_logic.h"
#include "platform/sim/sim_fault.h"

namespace {

constexpr std::uint32_t kDefaultButtonMask = 0xF00;

class SimProgressWindow : public IProgressWindow {
public:
    SimProgressWindow(SimTranscript& transcript, bool& open) : m_transcript(transcript), m_open(open) {
        m_open = true;
    }
    ~SimProgressWindow() override {
        m_open = false;
        m_transcript.Record({SimEventKind::ProgressDestroyed, {}, {}, 0, 0});
    }
    SimProgressWindow(const SimProgressWindow&) = delete;
    SimProgressWindow& operator=(const SimProgressWindow&) = delete;

    void SetStatus(const CString& text) override { m_transcript.Record(SimEvent::Status(text)); }
    void SetPercent(int percent) override { m_transcript.Record(SimEvent::Percent(percent)); }

private:
    SimTranscript& m_transcript;
    bool& m_open;
};

bool IsButtonOf(std::uint32_t style, int answer) {
    if ((style & mb::kButtonsMask) == mb::kYesNo) return answer == mb::kIdYes || answer == mb::kIdNo;
    return answer == mb::kIdOk;
}

int DefaultAnswer(std::uint32_t style) {
    if ((style & mb::kButtonsMask) != mb::kYesNo) return mb::kIdOk;
    return (style & kDefaultButtonMask) == mb::kDefaultButton1 ? mb::kIdYes : mb::kIdNo;
}

}  // namespace

SimUi::SimUi(SimTranscript& transcript) : m_transcript(transcript) {}

int SimUi::ShowMessageBox(const CString& text, const CString& caption, std::uint32_t style) {
    int answer = DefaultAnswer(style);
    if (!m_boxAnswers.empty()) {
        answer = m_boxAnswers.front();
        m_boxAnswers.pop_front();
    }
    m_transcript.Record({SimEventKind::MessageBox, text, caption, style, answer});
    if (!IsButtonOf(style, answer)) {
        SimFault("sim: scripted answer " + std::to_string(answer) + " is no button of the box \"" +
                               text + "\"");
    }
    return answer;
}

void SimUi::BeginWaitCursor() {
    ++m_waitCursorDepth;
    m_transcript.Record({SimEventKind::WaitCursorBegin, {}, {}, 0, 0});
}

void SimUi::EndWaitCursor() {
    --m_waitCursorDepth;
    m_transcript.Record({SimEventKind::WaitCursorEnd, {}, {}, 0, 0});
}

void SimUi::Enable3dControls(const CString& modulePath) {
    m_transcript.Record({SimEventKind::Enable3dControls, modulePath, {}, 0, 0});
}

int SimUi::RunConfirmationDialog(const CString& appName, const Language& language) {
    int answer = mb::kIdOk;
    if (!m_confirmationAnswers.empty()) {
        answer = m_confirmationAnswers.front();
        m_confirmationAnswers.pop_front();
    }
    m_transcript.Record({SimEventKind::ConfirmationDialog, appName, ConfirmationCaption(language, appName), answer, 0});
    return answer;
}

std::unique_ptr<IProgressWindow> SimUi::CreateProgressWindow(const CString& appName, const Language& language) {
    m_transcript.Record({SimEventKind::ProgressCreated, appName, ProgressCaption(language, appName), 0, 0});
    return std::make_unique<SimProgressWindow>(m_transcript, m_progressOpen);
}

SimUi& SimUi::AnswerMessageBoxes(std::initializer_list<int> answers) {
    m_boxAnswers.insert(m_boxAnswers.end(), answers);
    return *this;
}

SimUi& SimUi::AnswerConfirmation(int answer) {
    m_confirmationAnswers.push_back(answer);
    return *this;
}
