// Programs and documents that the installation wants run before anything is removed.

#include "app/uninst_app.h"
#include "setupinfo/setup_text.h"
#include "text/string_index.h"
#include "text/text.h"

namespace {


constexpr std::uint32_t kStillActive = 259;

}  // namespace

void CUninstApp::ReportExitCode(IProcess* process, const CString& programPath) {
    if (!process) {
        ShowMessage({TextId::ProgramNoExitCode, {{Piece::Path, programPath}}});
        return;
    }
    process->WaitForExit();
    const auto code = process->ExitCode();
    Log("program " + programPath + ": exit code " +
        (code ? std::to_string(static_cast<std::int32_t>(*code)) : CString("unknown")));
    if (!code) {
        ShowMessage({TextId::ProgramNoExitCode, {{Piece::Path, programPath}}});
    } else if (*code == kStillActive) {
        ShowMessage({TextId::ProgramStillActive, {{Piece::Path, programPath}}});
    } else if (*code != 0) {
        ShowMessage({TextId::ProgramErrorCode,
                     {{Piece::Path, programPath}, {Piece::Code, std::to_string(static_cast<std::int32_t>(*code))}}});
    }
}

bool CUninstApp::RunUninstallPrograms() {
    CStringArray runLines;
    CStringArray skipLines;
    ReadSection("ExecuteOnUninstall", runLines);
    ReadSection("AutoDelete", skipLines);
    StringIndex skipped;
    for (const CString& line : skipLines) skipped.Insert(FoldAscii(line, m_codePage));

    const int count = static_cast<int>(runLines.size());
    for (int i = 0; i < count; ++i) {
        const CString& line = runLines[i];
        if (skipped.Contains(FoldAscii(line, m_codePage))) continue;
        const RunLine run = SplitRunLine(line);
        // Started, the application folder itself would open in a window that the wait below
        // never sees closed.
        if (NamesNoProgram(run)) {
            Log("program line without a program skipped: " + line);
            continue;
        }
        // A program is journaled once it has ended: one that a stop interrupted runs again,
        // which is what its author expects of a user who tries again, and one that ended is
        // never started again, so that a program that removed itself does not make the next
        // run ask whether to go on.
        const CString step = JournalName(journal::kProgram, static_cast<std::size_t>(i));
        const bool ranBefore = HasJournal() && ReadJournal(step);
        if (!HasJournal() || ranBefore) {
            if (ranBefore) {
                Log("program already run: " + line);
            } else {
                LogNotJournaled("program " + line);
            }
            SetPercent(ScaledShare(100, i + 1, count));
            continue;
        }

        SetStatus({TextId::StatusPrograms, {{Piece::Path, run.program}}});

        CString programPath;
        bool startable = true;
        if (!HasBackslash(run.program, m_codePage)) {
            programPath = InAppFolder(run.program);
            // Outside a known application folder the system's search path would pick the
            // program, which may belong to someone else.
            startable = IsAbsolutePath(programPath);
        } else {
            programPath = run.program;
            if (!ExpandVariables(programPath)) {
                ShowMessage({TextId::ProgramNotExpanded, {{Piece::Path, programPath}}});
                continue;
            }
        }

        ShellStart started;
        if (startable) started = m_platform.processes.ShellExecuteProgram(programPath, run.parameters);
        if (!started.started) {
            Log("program not started: " + programPath);
            if (!AskYesNo({TextId::ProgramStartFailed, {{Piece::Path, programPath}}}, mb::kIconStop)) return false;
        } else {
            ReportExitCode(started.process.get(), programPath);
        }
        WriteJournal(step, {JournalState::Done, programPath});
        SetPercent(ScaledShare(100, i + 1, count));
    }
    FinishPhase(TextId::StatusProgramsComplete);
    return true;
}
