#pragma once
// The file system of a dry run: every read goes to the real file system, every change is
// recorded instead of made and kept in an overlay, so that a deleted file no longer exists and
// a folder emptied by the run reads empty.

#include "platform/files.h"
#include "platform/plan/plan_record.h"
#include "text/code_page.h"
#include "text/string_index.h"

class PlanFiles : public IFileSystem {
public:
    PlanFiles(IFileSystem& real, PlanRecorder& recorder, const CodePage& codePage)
        : m_real(real), m_recorder(recorder), m_codePage(codePage) {}

    std::unique_ptr<IOpenFile> OpenForReading(const CString& path) override;
    CString FullPathName(const CString& path) override { return Forwarded(m_real.FullPathName(path)); }
    CString ShortPathName(const CString& path) override;
    CString TempPath() override { return Forwarded(m_real.TempPath()); }
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
    // The plan names the same change; that it would reach the disk at once is no change of its own.
    bool WriteWholeFileToDisk(const CString& path, const CString& content) override { return WriteWholeFile(path, content); }
    std::uint32_t LastError() override { return m_lastError; }

    // A file (not a folder) that the run would find.
    bool FileExists(const CString& path);

private:
    // What the run would have done to a file or folder.
    enum class Change { Gone, Made, Attributes };
    struct Overlay {
        Change change = Change::Gone;
        CString path;                  // made: as spelt when made
        std::uint32_t attributes = 0;  // made or attributes changed
        CString content;               // made
    };

    // The overlay's name for a path: full, folded, without trailing backslashes.
    CString KeyOf(const CString& path);
    bool IsGone(const CString& key) const;
    // The overlay's entry for a file or folder the run would have made or written; null if none.
    const Overlay* Made(const CString& key) const;
    void Remove(const CString& key) { m_overlay[key] = Overlay{}; }
    // Makes a file in the overlay, keeping what is known of one that exists.
    void Make(const CString& path, std::uint32_t attributes, const CString& content);
    CString StateOfTarget(const CString& path);
    bool Fail(std::uint32_t error);
    CString Forwarded(CString text);

    IFileSystem& m_real;
    PlanRecorder& m_recorder;
    const CodePage m_codePage;
    StringMap<Overlay> m_overlay;
    std::uint32_t m_lastError = 0;
};
