#pragma once
// The in-memory file system: case-insensitive paths, files with contents and attributes, folders
// that go only when empty, files that refuse opening or deletion, and injected failures.

#include <memory>
#include <vector>

#include "platform/files.h"
#include "platform/sim/sim_power.h"
#include "platform/sim/sorted_lookup.h"
#include "platform/sim/transcript.h"
#include "text/code_page.h"

class SimSystem;

namespace fileerror {
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kReadFault = 30;
constexpr std::uint32_t kDirNotEmpty = 145;
constexpr std::uint32_t kAlreadyExists = 183;
constexpr std::uint32_t kNotSameDevice = 17;
constexpr std::uint32_t kDirectory = 267;
}  // namespace fileerror

constexpr std::uint32_t kAttributeReadOnly = 0x01;

enum class SimReadFault { None, ReadFails, SizeFails };

// One file's state, shared with the handles open on it.
struct SimFileEntry {
    CString path;
    CString content;
    std::uint32_t attributes = 0;
    bool inUse = false;     // a running program's image: no deletion, no writing
    bool deletionDenied = false;  // the user lacks the right to delete it or change it
    bool heldOpen = false;  // another process holds it open without sharing
    bool heldSharingDeletion = false;  // another process holds it open with FILE_SHARE_DELETE
    SimReadFault readFault = SimReadFault::None;
    std::optional<std::uint32_t> readLimit;  // bytes that reads deliver in all
    int exclusiveOpens = 0;
    int sharedOpens = 0;
    // The content at the last flush, while writes since then wait in the cache.
    std::optional<CString> flushedContent;
};

class SimFiles : public IFileSystem {
public:
    SimFiles(SimTranscript& transcript, const SimSystem& system, SimPower& power);

    std::unique_ptr<IOpenFile> OpenForReading(const CString& path) override;
    CString FullPathName(const CString& path) override;
    CString ShortPathName(const CString& path) override;
    CString TempPath() override;
    std::optional<std::uint32_t> GetAttributes(const CString& path) override;
    std::optional<CStringArray> ListFolder(const CString& path) override;
    bool CreateFolder(const CString& path) override;
    std::optional<CString> CreateUniqueFolder(const CString& parent, const CString& prefix) override;
    std::optional<CString> CreateTempFileName(const CString& folder, const CString& prefix) override;
    bool Copy(const CString& from, const CString& to) override;
    bool SetAttributes(const CString& path, std::uint32_t attributes) override;
    bool Delete(const CString& path) override;
    bool OpensForDeletion(const CString& path) override;
    bool RemoveFolder(const CString& path) override;
    bool DeleteAtRestart(const CString& path) override;
    bool Move(const CString& from, const CString& to) override;
    std::unique_ptr<IAppendFile> OpenForAppending(const CString& path) override;
    std::optional<CString> ReadSharedFile(const CString& path) override;
    bool WriteWholeFile(const CString& path, const CString& content) override;
    bool WriteWholeFileToDisk(const CString& path, const CString& content) override;
    std::uint32_t LastError() override { return m_lastError; }

    // Test API. Relative paths resolve against the current folder, as in the calls above; a
    // trailing backslash names the same folder. Parent folders are created as needed.
    SimFiles& AddFile(const CString& path, const CString& content = {}, std::uint32_t attributes = 0);
    SimFiles& AddFolder(const CString& path);
    bool FileExists(const CString& path) const;
    bool FolderExists(const CString& path) const;
    std::optional<CString> FileContent(const CString& path) const;
    std::optional<std::uint32_t> Attributes(const CString& path) const;
    // Every file and every folder, in case-insensitive order.
    CStringArray FilePaths() const;
    CStringArray FolderPaths() const;

    // A file: deletion and writing are refused, as for a running program. A folder: removal is
    // refused, as for some process's current folder.
    SimFiles& MarkInUse(const CString& path);
    // Another process holds the file open without sharing: every open and the deletion fail.
    SimFiles& MarkHeldOpen(const CString& path);
    // Another process holds the file open with delete sharing: opens for deletion and, on the NT
    // family, renames go through; the deletion fails, as under Wine.
    SimFiles& MarkHeldOpenSharingDelete(const CString& path);
    // The user has no right to delete or change the file: both fail with access denied.
    SimFiles& DenyDeletion(const CString& path);
    SimFiles& FailReads(const CString& path);
    SimFiles& FailSize(const CString& path);
    // Reads deliver at most this many bytes of the file in all, then nothing.
    SimFiles& ShortenReads(const CString& path, std::uint32_t bytes);
    // Writing the file (whole, appending, or as a copy's target) fails.
    SimFiles& FailWrites(const CString& path);

    SimFiles& SetCurrentFolder(const CString& folder);
    SimFiles& SetTempPath(const CString& path);
    SimFiles& SetShortPath(const CString& path, const CString& shortPath);
    // ShortPathName gives empty for every path.
    SimFiles& FailShortPaths(bool on = true);
    SimFiles& FailTempFileNames(bool on = true);
    // The number that CreateUniqueFolder tries first; it counts up from there.
    SimFiles& SetNextFolderNumber(std::uint16_t number);
    SimFiles& FailUniqueFolders(bool on = true);
    SimFiles& SetNextTempNumber(std::uint16_t number);
    SimFiles& FailCopies(bool on = true);
    SimFiles& FailRestartDeletions(bool on = true);

    const CStringArray& PendingRestartDeletions() const { return m_restartDeletions; }
    // What a restart does to the files: every program ends and lets go of its files, then the
    // queued deletions are carried out in their order (a folder only when empty), and the NUL=
    // lines of WININIT.INI's [Rename] section, after which the file becomes WININIT.BAK. A queued
    // name that names nothing is passed over.
    SimFiles& Restart();
    // The first value of key in section of the profile file; nullopt when absent.
    std::optional<CString> ProfileEntry(const CString& file, const CString& section, const CString& key) const;
    CStringArray ProfileValues(const CString& file, const CString& section, const CString& key) const;
    // What a power cut does to the files. Each file written since its last flush holds what it
    // held then (a file created since then holds nothing); deletions, renames and folders stay as
    // they are: FAT writes a directory entry at once, and NTFS journals these changes in order
    // and commits its journal with every flush of a hive on the volume, so what a cut takes of
    // them is a stop at an earlier point.
    SimFiles& LoseUnflushedWrites();
    // The queue of DeleteAtRestart lies in HKLM's hive (PendingFileRenameOperations): a cut that
    // loses the hive's unflushed changes loses the entries queued since its last flush.
    SimFiles& LoseUnflushedRestartQueue();
    SimFiles& KeepRestartQueue();
    // Handles of OpenForReading and OpenForAppending still open.
    int OpenFileCount() const;

private:
    const CodePage& CurrentCodePage() const;
    struct Folder {
        CString path;
        std::uint32_t attributes = 0;
        bool inUse = false;
    };

    CString Resolve(const CString& path) const;
    CString ProfilePath(const CString& file) const;
    // The path with a configured short form at its start written long again.
    CString LongFormOf(const CString& path) const;
    std::shared_ptr<SimFileEntry> FindFile(const CString& path) const;
    SimFileEntry& ExistingFile(const CString& path) const;
    bool HasChildren(const CString& key) const;
    bool ParentExists(const CString& key) const;
    void AddParents(const CString& full);
    // Creates or replaces a file's content after the checks a writer meets; false with the error.
    bool Write(const CString& full, const CString& content, std::uint32_t attributes);
    bool Fail(std::uint32_t error);

    SimTranscript& m_transcript;
    const SimSystem& m_system;
    SimPower& m_power;
    SortedPairs<CString, std::shared_ptr<SimFileEntry>> m_files;  // by key: folded full path
    SortedPairs<CString, Folder> m_folders;
    std::vector<CString> m_failWrites;  // sorted
    SortedPairs<CString, CString> m_shortPaths;
    CString m_currentFolder = "C:\\";
    CString m_tempPath = "C:\\WINDOWS\\TEMP\\";
    std::uint16_t m_nextTempNumber = 0x3A1F;
    std::uint16_t m_nextFolderNumber = 0x5B20;
    bool m_failUniqueFolders = false;
    bool m_failShortPaths = false;
    bool m_failTempFileNames = false;
    bool m_failCopies = false;
    bool m_failRestartDeletions = false;
    CStringArray m_restartDeletions;
    std::optional<CStringArray> m_flushedRestartDeletions;
    std::uint32_t m_lastError = 0;
};
