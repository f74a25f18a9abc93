#pragma once
// What a dry run collects: one entry per action a real run would take, per message it would show
// and per question it would ask, in the order of the run. The decorators of the platform fill it.

#include <cstdint>
#include <vector>

#include "platform/types.h"

enum class PlanVerb {
    Heading,  // a phase's status text
    Message,
    Question,
    CreateTempFile,
    CopyFile,
    StartWorkingCopy,
    ReleaseFirstInstance,
    StartProgram,
    UnregisterModule,
    CreateKey,
    SetValue,
    DeleteValue,
    DeleteKey,
    ClearAttributes,
    DeleteFile,
    CreateFolder,
    RemoveFolder,
    DeleteAtRestart,
    MoveFile,
    WriteFile,
    AppendToFile,
    OpenDocument,
    WaitForOtherRun,
};

struct PlanAction {
    PlanVerb verb = PlanVerb::Message;
    CString item;         // what the action works on; a message's or question's text
    CString state;        // the item's state now, as the run would find it
    CString detail;       // what the action would make of it; a question's answers
    bool changes = false;  // the real call would change the machine
    CStringArray notes;   // further lines: what each answer of a question leads to
};

// The states that several kinds of item share in a plan's lines.
namespace planstate {
constexpr char kExists[] = "exists";
constexpr char kMissing[] = "missing";
constexpr char kReadOnlyRefused[] = "read-only: refused";
constexpr char kKeyOpenForReading[] = "the key is open for reading only: refused";
}  // namespace planstate

// How the dry run answers the questions that a real run asks.
enum class PlanAnswers {
    Person,  // the default button, which a person at the screen takes by pressing Enter
    Silent,  // the answers of the silent modes, which keep data
};

class PlanRecorder {
public:
    explicit PlanRecorder(PlanAnswers answers) : m_answers(answers) {}

    // The action's line, for notes to be added below it.
    PlanAction& Add(PlanVerb verb, const CString& item, const CString& state, bool changes,
                    const CString& detail = CString());
    const std::vector<PlanAction>& Actions() const { return m_actions; }
    std::vector<PlanAction>& Actions() { return m_actions; }

    PlanAnswers Answers() const { return m_answers; }
    // Questions are counted from 0 in the order they are asked; a question listed here gets
    // the answer the plan does not follow, to learn where that answer leads.
    void TakeOtherAnswerAt(int question) { m_otherAnswerAt = question; }
    // The answer to the next question: preferred unless this is the question to turn around.
    bool TakesPreferredAnswer() { return m_questionsAsked++ != m_otherAnswerAt; }
    int QuestionsAsked() const { return m_questionsAsked; }

    // Set once the confirmation is reached: a dry run that gets there ends with 0.
    void MarkConfirmationReached() { m_confirmationReached = true; }
    bool ConfirmationReached() const { return m_confirmationReached; }

private:
    PlanAnswers m_answers;
    std::vector<PlanAction> m_actions;
    int m_otherAnswerAt = -1;
    int m_questionsAsked = 0;
    bool m_confirmationReached = false;
};
