// "/PLAN": a run that reads the machine and changes nothing, and the plan it writes.

#include "app/dry_run.h"

#include <algorithm>

#include "app/uninst_app.h"
#include "platform/plan/plan_format.h"
#include "platform/plan/plan_platform.h"
#include "text/text.h"

namespace {

constexpr char kPlanTitle[] = "UNINSTALL PLAN - what a run would do on this machine; nothing was changed to find out.";
constexpr char kPersonAnswers[] =
    "Questions are answered with their default button, as a person at the screen pressing Enter would.";
constexpr char kSilentAnswers[] =
    "Questions are answered as the silent modes answer them, with No, which keeps data.";
constexpr char kPlanFileName[] = "UNINST PLAN.txt";
constexpr char kTempFallback[] = "TEMP\\";
// Each question is explored by one more dry run with the other answer; beyond this many the
// plan only names the answer it follows.
constexpr int kQuestionsExplored = 50;
constexpr std::size_t kItemsNamed = 3;

struct Pass {
    std::vector<PlanAction> actions;
    bool reachesConfirmation = false;
    int questions = 0;
    int exitCode = 0;
};

// The program and the arguments of a command line that begins with a quoted program path.
void SplitCommandLine(const CString& commandLine, CString& program, CString& arguments) {
    const bool quoted = commandLine.size() > 1 && commandLine[0] == '"';
    const std::size_t close = quoted ? commandLine.find('"', 1) : CString::npos;
    const std::size_t programEnd = close == CString::npos ? commandLine.find(' ') : close + 1;
    program = commandLine.substr(0, programEnd);
    if (!program.empty() && program.front() == '"') program = program.substr(1, program.size() - 2);
    arguments = programEnd == CString::npos ? CString() : CString(TrimLeftWhiteSpace(commandLine.substr(programEnd)));
}

// One instance over the plan's platform, from start to end; its exit code.
int RunInstance(Platform& plan) {
    CUninstApp instance(plan);
    instance.InitInstance();
    return instance.ExitCode();
}

Pass RunPass(Platform& machine, const CString& argumentText, PlanAnswers answers, int otherAnswerAt) {
    PlanRecorder recorder(answers);
    recorder.TakeOtherAnswerAt(otherAnswerAt);
    PlanPlatform plan(machine, recorder);
    Pass pass;
    plan.System().PlanInstance(argumentText, std::nullopt);
    pass.exitCode = RunInstance(plan.Get());
    // The working copy runs on the machine as the first instance left it, from its temporary file.
    const CString workingCopy = plan.Processes().WorkingCopyCommandLine();
    if (!workingCopy.empty()) {
        CString program;
        CString arguments;
        SplitCommandLine(workingCopy, program, arguments);
        plan.System().PlanInstance(arguments, program);
        pass.exitCode = RunInstance(plan.Get());
    }
    pass.actions = std::move(recorder.Actions());
    pass.reachesConfirmation = recorder.ConfirmationReached();
    pass.questions = recorder.QuestionsAsked();
    return pass;
}

std::size_t QuestionPosition(const std::vector<PlanAction>& actions, int question) {
    int seen = 0;
    for (std::size_t i = 0; i < actions.size(); ++i) {
        if (actions[i].verb == PlanVerb::Question && seen++ == question) return i;
    }
    return actions.size();
}

// The changes after a question, as lines, to compare two runs' continuations.
CStringArray ChangesAfter(const std::vector<PlanAction>& actions, std::size_t position) {
    CStringArray lines;
    for (std::size_t i = position + 1; i < actions.size(); ++i) {
        if (actions[i].changes) lines.push_back(FormatPlanAction(actions[i]).front().substr(2));
    }
    return lines;
}

// The lines of one list that the other lacks, counted with their repetitions.
CStringArray Missing(const CStringArray& from, CStringArray others) {
    CStringArray missing;
    for (const CString& line : from) {
        const auto found = std::find(others.begin(), others.end(), line);
        if (found == others.end()) {
            missing.push_back(line);
        } else {
            others.erase(found);
        }
    }
    return missing;
}

CString Named(const CStringArray& lines) {
    CString text;
    for (std::size_t i = 0; i < lines.size() && i < kItemsNamed; ++i) text += (i == 0 ? " (" : "; ") + lines[i];
    if (!lines.empty()) text += lines.size() > kItemsNamed ? "; ...)" : ")";
    return text;
}

CString AnswerOf(const PlanAction& question) {
    const CString& detail = question.detail;
    const std::size_t start = detail.find("-> ");
    const std::size_t end = detail.find(" (");
    return start == CString::npos || end == CString::npos ? detail : detail.substr(start + 3, end - start - 3);
}

// Where the answer the plan does not follow leads, learnt from a dry run that takes it.
CString OtherAnswerOutcome(const Pass& main, const Pass& other, int question) {
    const std::size_t mainAt = QuestionPosition(main.actions, question);
    const std::size_t otherAt = QuestionPosition(other.actions, question);
    if (otherAt >= other.actions.size()) return "the other answer could not be followed";
    const CStringArray mainChanges = ChangesAfter(main.actions, mainAt);
    const CStringArray otherChanges = ChangesAfter(other.actions, otherAt);
    const CStringArray dropped = Missing(mainChanges, otherChanges);
    const CStringArray added = Missing(otherChanges, mainChanges);
    CString outcome = AnswerOf(other.actions[otherAt]) + " instead: ";
    if (dropped.empty() && added.empty()) {
        outcome += "the same changes";
    } else {
        if (!dropped.empty()) {
            outcome += std::to_string(dropped.size()) + " of the changes below not made" + Named(dropped);
        }
        if (!added.empty()) {
            outcome += CString(dropped.empty() ? "" : "; ") + std::to_string(added.size()) + " other changes made" +
                       Named(added);
        }
    }
    if (other.exitCode != main.exitCode) outcome += "; the run ends with exit code " + std::to_string(other.exitCode);
    return outcome;
}

}  // namespace

DryRun PlanRun(Platform& machine, const CString& argumentText, PlanAnswers answers) {
    Pass main = RunPass(machine, argumentText, answers, -1);
    for (int question = 0; question < main.questions; ++question) {
        PlanAction& asked = main.actions[QuestionPosition(main.actions, question)];
        if (question >= kQuestionsExplored) {
            asked.notes.push_back("the other answer was not explored");
            continue;
        }
        const Pass other = RunPass(machine, argumentText, answers, question);
        asked.notes.push_back(OtherAnswerOutcome(main, other, question));
    }

    DryRun result;
    result.reachesConfirmation = main.reachesConfirmation;
    result.runExitCode = main.exitCode;
    CStringArray ending;
    ending.push_back("A run answered as above would end with exit code " + std::to_string(main.exitCode) + ".");
    ending.push_back(main.reachesConfirmation
                         ? "Exit code of this plan: 0 (a run would reach the confirmation)."
                         : "Exit code of this plan: 1603 (a run would stop before the confirmation; the messages "
                           "above say why).");
    const CString answerLine = answers == PlanAnswers::Silent ? kSilentAnswers : kPersonAnswers;
    result.text = FormatPlan(CString(kPlanTitle) + "\r\n" + answerLine, main.actions, ending);
    result.actions = std::move(main.actions);
    return result;
}

void CUninstApp::RunDryRun(const CString& argumentText) {
    const DryRun plan = PlanRun(m_platform, WithoutUnattendedSwitches(argumentText),
                                IsQuiet() ? PlanAnswers::Silent : PlanAnswers::Person);
    Log("plan made: " + std::to_string(plan.actions.size()) + " lines");
    if (m_log) {
        m_log->Append(plan.text);
    } else {
        CString folder = m_platform.files.TempPath();
        if (folder.empty()) folder = WithTrailingBackslash(m_platform.system.WindowsFolder(), m_codePage) + kTempFallback;
        const CString path = WithTrailingBackslash(folder, m_codePage) + kPlanFileName;
        if (!m_platform.files.WriteWholeFile(path, plan.text)) {
            ShowMessage({TextId::PlanNotWritten, {{Piece::Path, path}}});
            EndWith(RunEnding::Stopped);
            return;
        }
        if (!IsQuiet()) m_platform.processes.OpenDocument(path);
    }
    EndWithCode(plan.reachesConfirmation ? exitcode::kCompleted : exitcode::kFailed);
}
