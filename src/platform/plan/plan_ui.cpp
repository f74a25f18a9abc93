#include "platform/plan/plan_ui.h"

#include "dialog/dialog_logic.h"

namespace {

constexpr char kCompleteSuffix[] = " COMPLETE!";
constexpr char kPersonReason[] = "the default button, which a person at the screen takes with Enter";
constexpr char kSilentReason[] = "the answer of the silent modes, which keeps data";
constexpr char kPersonConfirmation[] = "why the uninstaller was started";
constexpr char kSilentConfirmation[] = "the silent modes go on without asking";
constexpr std::uint32_t kDefaultButtonMask = 0xF00;

class PlanProgress : public IProgressWindow {
public:
    explicit PlanProgress(PlanRecorder& recorder) : m_recorder(recorder) {}

    // A phase shows its title first, then titles with an item below, then its completion: the
    // title alone makes the heading.
    void SetStatus(const CString& text) override {
        CString title = text.substr(0, text.find('\n'));
        if (title.size() > sizeof kCompleteSuffix - 1 &&
            title.compare(title.size() - (sizeof kCompleteSuffix - 1), CString::npos, kCompleteSuffix) == 0) {
            return;
        }
        if (text.find("\nCOMPLETE!") != CString::npos || title == m_title) return;
        m_title = title;
        m_recorder.Add(PlanVerb::Heading, title, CString(), false);
    }
    void SetPercent(int) override {}

private:
    PlanRecorder& m_recorder;
    CString m_title;
};

CString AnswerText(const char* answer, const char* reason) {
    return CString("-> ") + answer + " (" + reason + ")";
}

}  // namespace

int PlanUi::ShowMessageBox(const CString& text, const CString&, std::uint32_t style) {
    if ((style & mb::kButtonsMask) != mb::kYesNo) {
        m_recorder.Add(PlanVerb::Message, text, CString(), false);
        return mb::kIdOk;
    }
    const bool silent = m_recorder.Answers() == PlanAnswers::Silent;
    const bool defaultIsYes = (style & kDefaultButtonMask) == mb::kDefaultButton1;
    const bool preferYes = !silent && defaultIsYes;
    const bool yes = m_recorder.TakesPreferredAnswer() ? preferYes : !preferYes;
    m_recorder.Add(PlanVerb::Question, text, "Yes / No", false,
                   AnswerText(yes ? "Yes" : "No", silent ? kSilentReason : kPersonReason));
    return yes ? mb::kIdYes : mb::kIdNo;
}

int PlanUi::RunConfirmationDialog(const CString& appName, const Language&) {
    m_recorder.MarkConfirmationReached();
    const bool silent = m_recorder.Answers() == PlanAnswers::Silent;
    const bool proceed = m_recorder.TakesPreferredAnswer();
    // The silent modes show no confirmation and go on as if Un-Install had been chosen; a
    // person who started the uninstaller most likely chooses it too.
    const char* reason = silent ? kSilentConfirmation : kPersonConfirmation;
    m_recorder.Add(PlanVerb::Question, ConfirmationMessage(Language::English(), appName), "Un-Install / Exit", false,
                   AnswerText(proceed ? "Un-Install" : "Exit", reason));
    return proceed ? mb::kIdOk : mb::kIdCancel;
}

std::unique_ptr<IProgressWindow> PlanUi::CreateProgressWindow(const CString&, const Language&) {
    return std::make_unique<PlanProgress>(m_recorder);
}
