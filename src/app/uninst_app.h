#pragma once
// The application object: its operations are the steps and phases of one uninstall run, and it
// owns everything that lives for the whole run.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "app/run_journal.h"
#include "app/unattended.h"
#include "language/language.h"
#include "platform/platform.h"
#include "platform/win_app.h"

// How the working copy's run ended; each ending has its own exit code.
enum class RunEnding { Completed, Cancelled, Stopped, CutShort };

// The first instance's private folder and the working copy's file in it begin with it.
constexpr char kTempPrefix[] = "~UN";

struct RegistryKeyRecord;

// False for a name that is empty or only backslashes: paths built from it would reach the
// parent key that every application's entries share.
bool NamesAnApplication(const CString& appName);

// The button a message box was answered with, as the log names it.
CString AnswerName(int answer);

// scale * part / whole, truncated, as a phase's progress, for counts (0 <= part, 0 < whole) and
// a percentage scale. Exact past the twenty million items where a 32-bit product overflows.
int ScaledShare(int scale, int part, int whole);

class CUninstApp : public CWinApp {
public:
    explicit CUninstApp(Platform& platform);
    ~CUninstApp() override;
    CUninstApp(const CUninstApp&) = delete;
    CUninstApp& operator=(const CUninstApp&) = delete;

    bool InitInstance() override;

    // Start-up and relaunch.
    void DetectOperatingSystem();
    // The language of the windows, from /LANG= or the system's UI language; why, for the log.
    CString ChooseWindowsLanguage();
    // Keeps DLLs out of the program's own and the current folder where the system allows it;
    // how far it went, for the log.
    CString LimitDllSearch();
    void ParseUninstSwitch(const CString& argumentText);
    void RelaunchFromTemp(const CString& argumentText);
    void ReleaseFirstInstance();
    std::unique_ptr<IOpenFile> OpenSetupInf();

    // The run sequence.
    void RunUninstall(std::unique_ptr<IOpenFile> setupFile);
    // Waits while another run of this installation works; held until the program object goes.
    void LockInstallation();
    // "/PLAN": the plan of a run, written to the log or to a file that is then opened.
    void RunDryRun(const CString& argumentText);

    // Setup information.
    bool LoadSetupInfo(std::unique_ptr<IOpenFile> setupFile);
    void ReadSection(const CString& name, CStringArray& lines) const;
    CString GetSetupValue(const CString& section, const CString& key) const;
    CString FindFileLine(const CString& name) const;
    CString ResolveFileLine(const CString& line);
    bool ExpandVariables(CString& text);
    CString GetDriveRoot(const CString& path) const;
    CString ReadRegistryString(RegKey root, const CString& keyPath, const CString& valueName);
    // False when the record exists but this user may not open it for the run: nothing may be
    // touched then.
    bool ReadInstallRecord();

    // The phases; the first three tell whether the run goes on.
    bool RunUninstallPrograms();
    bool UnregisterModules();
    bool DereferenceSharedComponents();
    void RemoveRegistryEntries();
    void RemoveFiles();
    void RemoveDirectories();
    void FinalCleanup();
    void ScheduleSelfDelete();

    // The journal of steps that must not happen twice, kept in the installation record; without
    // a record nothing can be read or written.
    bool HasJournal() const { return m_recordKey.has_value(); }
    std::optional<JournalEntry> ReadJournal(const CString& step);
    bool WriteJournal(const CString& step, const JournalEntry& entry);
    void WithdrawJournal(const CString& step);

    // Deletion at the next restart.
    // Deletes a file; one that is in use is queued for deletion at the next restart instead.
    void DeleteOrQueueFile(const CString& path);
    // The waiting first instance's file with /WAIT, then, on the NT family, each folder left
    // that holds a queued file.
    void QueueFilesLeftInUse();
    // On the NT family, each folder left that holds a queued file, after those files.
    void QueueFoldersOfQueuedFiles();

    // Registry key deletion.
    bool EnumSubkeyNames(RegKey root, const CString& keyPath, CStringArray& names);
    bool DeleteKeyIfLeaf(RegKey root, const CString& keyPath);
    bool DeleteKeyTree(RegKey root, const CString& keyPath);

    // A message box with the program's title as caption, in the chosen language; the log gets
    // the English. In the silent modes nothing is shown and the answer is the one that keeps
    // data: OK, or No to every question.
    int ShowMessage(const Message& message, std::uint32_t style = mb::kOk | mb::kIconExclamation);
    // One line in the log, when the run keeps one.
    void Log(const CString& event);

    int ExitCode() const { return static_cast<int>(m_msgCur.wParam); }

    // First of the members, so that it goes last: a run that waits for this one goes on only
    // when this one has written its last line.
    std::unique_ptr<INamedMutex> m_runLock;
    CodePage m_codePage;
    // The windows speak m_language; the log, the plan and the checker stay English.
    Language m_language = Language::English();
    bool m_isWinNT = false;
    std::uint32_t m_majorVersion = 0;
    std::uint32_t m_minorVersion = 0;
    CString m_osName;
    CString m_winDir;
    CString m_sysDir;
    CString m_setupDir;
    CString m_setupText;
    CString m_appPath;
    CString m_appCommon;
    CString m_appName;
    CString m_startMenuFolder;
    CStringArray m_fileLines;
    CStringArray m_sharedComponents;
    CStringArray m_uninstallFiles;
    CStringArray m_uninstallShared;

    // Run state.
    std::int32_t m_waitingThreadId = 0;
    std::optional<RegKey> m_recordKey;
    // No record at all, as after a completed run; not one that this user may not open.
    bool m_recordAbsent = false;
    CString m_recordKeyPath;
    CStringArray m_removalList;
    CStringArray m_folderList;
    std::unique_ptr<IProgressWindow> m_progress;

    // Unattended removal.
    UnattendedOptions m_unattended;
    std::unique_ptr<IAppendFile> m_log;
    CString m_waitingProgramPath;  // the first instance's program, which stays in use with /WAIT
    CStringArray m_foldersLeft;    // folders the directory phase could not remove, deepest first
    CStringArray m_queuedFiles;    // files in use queued for the next restart, and the names they left

    // The installed uninstaller and its SETUP.INF, deleted after everything else so that a run
    // stopped from outside leaves something to start again; full paths.
    CStringArray m_ownCopyFiles;
    // Without a record: the application folder as the installed uninstaller's own place gives it,
    // the bound of the folders removed around it; empty when that place says nothing.
    CString m_ownCopyAppFolder;

private:
    void WaitForWorkingCopy(IProcess& workingCopy);
    CString PassedOnArguments(const CString& argumentText);
    void BuildFileList();
    CString ProgramFilesFolder();
    std::optional<CString> VariableValue(const CString& name);
    std::optional<CString> ReadRecordValue(RegKey key, const CString& name);
    void ReportRecordRefused();
    void ReportExitCode(IProcess* process, const CString& programPath);
    void DeleteNamedValue(const RegistryKeyRecord& record);
    // A shared file that an earlier run journaled: its count written if the stop came before
    // that, and the answer then given carried out.
    void FinishDereference(RegKey key, const CString& step, const JournalEntry& earlier);
    void LogDeletion(const CString& path, bool deleted);
    void AddOwnCopy(const std::function<void(const CString&)>& addFile,
                    const std::function<void(const CString&)>& addFolder);
    // The record key closed and the key tree at its path under HKEY_CLASSES_ROOT deleted.
    void ReleaseRecord();
    // The record under HKEY_LOCAL_MACHINE with its journal, when this run opened it, then its
    // parent keys that nothing else holds.
    void DeleteInstallRecord(const CString& recordPath, bool recordWasOpen);
    // True when the key had no subkey and no value and is gone; nullopt when there was no key.
    std::optional<bool> DeleteKeyIfEmpty(RegKey root, const CString& keyPath);
    void RemoveOwnCopy();
    std::optional<CString> OwnCopyWithoutRecord(const CString& ownCopy);
    // The folders that removal may climb to: the application, common and start-menu folders.
    CStringArray FolderBounds() const;
    // The three steps that must happen once, when they cannot be journaled.
    void LogNotJournaled(const CString& what);
    // The closing steps of a completed or cancelled run.
    void CloseRun();
    void CloseRecordKey();
    bool OpenLog();
    bool IsQuiet() const { return m_unattended.quietness != Quietness::Normal; }
    // DeleteAtRestart on the NT family, a line of WININIT.INI on the 9x family; logged. On the
    // 9x family the line of a withdrawn name goes in the same write.
    bool QueueDeletionAtRestart(const CString& path, const CString* withdrawn = nullptr);
    // The durable points: RegFlushKey on the hive of root and keyPath (the root's own where the
    // key cannot be opened); the restart queue flushed; the user's hive and the restart queue
    // flushed before the record goes; the record's removal flushed before the uninstaller goes.
    void FlushHive(RegKey root, const CString& keyPath);
    void FlushRestartQueue();
    void FlushBeforeRecordRemoval();
    void FlushRecordRemoval();
    // The short form that WININIT.INI needs; the path itself where it has none.
    CString ShortFormOf(const CString& path);
    // A file in use moved to a new name of our own, which is queued; where it cannot be moved,
    // queued under its own name.
    void QueueFileInUse(const CString& path);
    // A name that holds nothing, on the file's volume: in the private folder, else beside the file.
    std::optional<CString> AsideNameFor(const CString& path);
    // A file that the deletion refused with this error: queued when in use, else left.
    void KeepOrQueueFile(const CString& path, std::uint32_t error);
    bool IsQueued(const CString& path);
    // Folded short form, or the folded path where it has none, for comparing two paths.
    CString ComparableForm(const CString& path);
    // The folder that holds the running program when it is a private folder of a first instance.
    std::optional<CString> PrivateFolderOf(const CString& programPath);

    CString InAppFolder(const CString& name) const;
    void SetStatus(const Message& status);
    void SetPercent(int percent);
    void Pause(std::uint32_t milliseconds);
    // A pause that only a person watching the progress window needs: none without a window.
    void PauseForReader(std::uint32_t milliseconds);
    // The completion text at 100 %, then the pause before the next phase.
    void FinishPhase(TextId completionText);
    // A Yes/No question with Yes as the default button; true for Yes.
    bool AskYesNo(const Message& question, std::uint32_t icon);
    void EndWith(RunEnding ending);
    void EndWithCode(int code);

    Platform& m_platform;
    CString m_title;
    CString m_instanceName = "first";
};
