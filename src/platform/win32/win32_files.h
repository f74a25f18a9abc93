#pragma once
// Files and folders through kernel32.

#include "platform/files.h"

class Win32Files : public IFileSystem {
public:
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

private:
    // Passes a call's success through, remembering the error of a failure.
    bool Succeeded(bool success);
    bool Write(const CString& path, const CString& content, bool toDisk);
    CString Text(CString text);

    std::uint32_t m_lastError = 0;
};
