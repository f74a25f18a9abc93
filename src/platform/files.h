#pragma once
// File and folder services, shaped after kernel32.

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/types.h"

// A file opened for reading; closed when the object goes.
class IOpenFile {
public:
    virtual ~IOpenFile() = default;
    virtual std::uint32_t GetSize() = 0;
    // ReadFile of buffer.size() bytes into buffer; bytesRead says how many arrived.
    virtual bool Read(std::string& buffer, std::uint32_t& bytesRead) = 0;
};

// A file opened for appending, shared with other writers; closed when the object goes. Each
// Append is one write at the end of the file, so lines of two processes never interleave.
class IAppendFile {
public:
    virtual ~IAppendFile() = default;
    virtual bool Append(const CString& text) = 0;
};

constexpr std::uint32_t kAttributeDirectory = 0x10;  // FILE_ATTRIBUTE_DIRECTORY

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // CreateFileA with GENERIC_READ, no sharing, OPEN_EXISTING: null when it cannot be opened,
    // including when another process holds the file open.
    virtual std::unique_ptr<IOpenFile> OpenForReading(const CString& path) = 0;
    // GetFullPathNameA, GetShortPathNameA, GetTempPathA: empty on failure, never truncated.
    virtual CString FullPathName(const CString& path) = 0;
    virtual CString ShortPathName(const CString& path) = 0;
    virtual CString TempPath() = 0;
    // GetFileAttributesA: nullopt when the path names nothing.
    virtual std::optional<std::uint32_t> GetAttributes(const CString& path) = 0;
    // FindFirstFileA and FindNextFileA over the folder: the names in it without "." and "..";
    // nullopt when it cannot be listed.
    virtual std::optional<CStringArray> ListFolder(const CString& path) = 0;
    virtual bool CreateFolder(const CString& path) = 0;
    // CreateDirectoryA of a new folder in parent, named prefix and four hexadecimal digits; a name
    // already taken is passed over, never reused, so nothing planted beforehand can lie in the
    // folder. Its path without a trailing backslash, or nullopt.
    virtual std::optional<CString> CreateUniqueFolder(const CString& parent, const CString& prefix) = 0;
    // GetTempFileNameA with unique number 0: creates the empty file; nullopt on failure.
    virtual std::optional<CString> CreateTempFileName(const CString& folder, const CString& prefix) = 0;
    // CopyFileA with overwriting allowed.
    virtual bool Copy(const CString& from, const CString& to) = 0;
    virtual bool SetAttributes(const CString& path, std::uint32_t attributes) = 0;
    virtual bool Delete(const CString& path) = 0;
    // CreateFileA with DELETE access and full sharing: true when it opens, which the right to
    // delete the file allows even while a program runs from it or holds it open.
    virtual bool OpensForDeletion(const CString& path) = 0;
    // RemoveDirectoryA: only an empty folder goes.
    virtual bool RemoveFolder(const CString& path) = 0;
    // MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT).
    virtual bool DeleteAtRestart(const CString& path) = 0;
    // MoveFileA: renames a file, never onto one that exists. The NT family renames a running
    // program's file and one held open with delete sharing; a file held open without it, and on
    // the 9x family any file in use, keeps its name.
    virtual bool Move(const CString& from, const CString& to) = 0;
    // CreateFileA with FILE_APPEND_DATA, sharing read and write, OPEN_ALWAYS: null on failure.
    virtual std::unique_ptr<IAppendFile> OpenForAppending(const CString& path) = 0;
    // Reads a whole file that others may hold open too; nullopt when it cannot be read.
    virtual std::optional<CString> ReadSharedFile(const CString& path) = 0;
    // Replaces a file's content (creating it); false on failure.
    virtual bool WriteWholeFile(const CString& path, const CString& content) = 0;
    // The same, with FlushFileBuffers before the file is closed: the content is on the disk when
    // it returns, where otherwise it waits in the cache and a power cut loses it.
    virtual bool WriteWholeFileToDisk(const CString& path, const CString& content) = 0;
    // GetLastError after the last call of this interface that failed.
    virtual std::uint32_t LastError() = 0;
};
