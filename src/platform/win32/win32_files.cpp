#include "platform/win32/win32_files.h"

#include <windows.h>

#include "platform/win32/ansi_code_page.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_function.h"
#include "platform/win32/text_buffer.h"

namespace {

constexpr std::uint32_t kReadChunk = 64 * 1024;
constexpr std::uint32_t kFolderNumbers = 0x10000;

// Four upper-case hexadecimal digits, as the temporary names of the system have them.
CString HexDigits(std::uint32_t number) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    CString text(4, '0');
    for (int i = 3; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[number & 0xF];
        number >>= 4;
    }
    return text;
}

bool WriteAll(HANDLE file, const CString& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(content.size() - done);
        if (!WriteFile(file, content.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

class Win32OpenFile : public IOpenFile {
public:
    explicit Win32OpenFile(UniqueHandle file) : m_file(std::move(file)) {}

    std::uint32_t GetSize() override { return GetFileSize(m_file.get(), nullptr); }

    bool Read(std::string& buffer, std::uint32_t& bytesRead) override {
        DWORD got = 0;
        const bool ok = ReadFile(m_file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr);
        bytesRead = got;
        return ok;
    }

private:
    UniqueHandle m_file;
};

class Win32AppendFile : public IAppendFile {
public:
    explicit Win32AppendFile(UniqueHandle file) : m_file(std::move(file)) {}

    // One WriteFile per line: with FILE_APPEND_DATA the system places each write at the end.
    bool Append(const CString& text) override {
        DWORD written = 0;
        return WriteFile(m_file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
               written == text.size();
    }

private:
    UniqueHandle m_file;
};

}  // namespace

bool Win32Files::Succeeded(bool success) {
    if (!success) m_lastError = GetLastError();
    return success;
}

CString Win32Files::Text(CString text) {
    if (text.empty()) m_lastError = GetLastError();
    return text;
}

std::unique_ptr<IOpenFile> Win32Files::OpenForReading(const CString& path) {
    UniqueHandle file = OwnFileHandle(
        CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!Succeeded(file != nullptr)) return nullptr;
    return std::make_unique<Win32OpenFile>(std::move(file));
}

CString Win32Files::FullPathName(const CString& path) {
    return Text(ReadGrowingText([&](char* buffer, std::uint32_t size) {
        return GetFullPathNameA(path.c_str(), size, buffer, nullptr);
    }));
}

CString Win32Files::ShortPathName(const CString& path) {
    return Text(ReadGrowingText(
        [&](char* buffer, std::uint32_t size) { return GetShortPathNameA(path.c_str(), buffer, size); }));
}

CString Win32Files::TempPath() {
    return Text(ReadGrowingText([](char* buffer, std::uint32_t size) { return GetTempPathA(size, buffer); }));
}

std::optional<std::uint32_t> Win32Files::GetAttributes(const CString& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (!Succeeded(attributes != INVALID_FILE_ATTRIBUTES)) return std::nullopt;
    return attributes;
}

std::optional<CStringArray> Win32Files::ListFolder(const CString& path) {
    CString pattern = path;
    if (!pattern.empty() && !SystemAnsiCodePage().EndsWith(pattern, '\\')) pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (!Succeeded(search != INVALID_HANDLE_VALUE)) return std::nullopt;
    CStringArray names;
    do {
        const CString name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

bool Win32Files::CreateFolder(const CString& path) { return Succeeded(CreateDirectoryA(path.c_str(), nullptr)); }

std::optional<CString> Win32Files::CreateUniqueFolder(const CString& parent, const CString& prefix) {
    const CString base = parent + (SystemAnsiCodePage().EndsWith(parent, '\\') ? "" : "\\") + prefix;
    // The start varies from run to run so that a few planted folders cost a few tries, not many.
    const std::uint32_t start = GetTickCount() ^ GetCurrentProcessId();
    for (std::uint32_t i = 0; i < kFolderNumbers; ++i) {
        const CString path = base + HexDigits(start + i);
        if (CreateDirectoryA(path.c_str(), nullptr)) return path;
        m_lastError = GetLastError();
        if (m_lastError != ERROR_ALREADY_EXISTS) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<CString> Win32Files::CreateTempFileName(const CString& folder, const CString& prefix) {
    // The call writes at most MAX_PATH characters and fails, rather than truncates, beyond.
    char name[MAX_PATH + 1] = {};
    if (!Succeeded(GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, name) != 0)) return std::nullopt;
    return CString(name);
}

bool Win32Files::Copy(const CString& from, const CString& to) {
    return Succeeded(CopyFileA(from.c_str(), to.c_str(), FALSE));
}

bool Win32Files::SetAttributes(const CString& path, std::uint32_t attributes) {
    return Succeeded(SetFileAttributesA(path.c_str(), attributes));
}

bool Win32Files::Delete(const CString& path) { return Succeeded(DeleteFileA(path.c_str())); }

bool Win32Files::OpensForDeletion(const CString& path) {
    // FILE_SHARE_DELETE would make the 9x family refuse every call.
    const UniqueHandle file = OwnFileHandle(CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return Succeeded(file != nullptr);
}

bool Win32Files::RemoveFolder(const CString& path) { return Succeeded(RemoveDirectoryA(path.c_str())); }

bool Win32Files::DeleteAtRestart(const CString& path) {
    // The NT family's way; Windows 95 exports no working MoveFileExA.
    using MoveFileExFunction = BOOL WINAPI(LPCSTR, LPCSTR, DWORD);
    auto* const moveFileEx = FindSystemFunction<MoveFileExFunction>("KERNEL32.DLL", "MoveFileExA");
    if (moveFileEx == nullptr) {
        m_lastError = ERROR_CALL_NOT_IMPLEMENTED;
        return false;
    }
    return Succeeded(moveFileEx(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
}

bool Win32Files::Move(const CString& from, const CString& to) {
    return Succeeded(MoveFileA(from.c_str(), to.c_str()));
}

std::unique_ptr<IAppendFile> Win32Files::OpenForAppending(const CString& path) {
    UniqueHandle file = OwnFileHandle(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!Succeeded(file != nullptr)) return nullptr;
    return std::make_unique<Win32AppendFile>(std::move(file));
}

std::optional<CString> Win32Files::ReadSharedFile(const CString& path) {
    const UniqueHandle file = OwnFileHandle(CreateFileA(path.c_str(), GENERIC_READ,
                                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!Succeeded(file != nullptr)) return std::nullopt;
    CString content;
    std::string chunk(kReadChunk, '\0');
    for (;;) {
        DWORD got = 0;
        if (!Succeeded(ReadFile(file.get(), chunk.data(), kReadChunk, &got, nullptr))) return std::nullopt;
        if (got == 0) return content;
        content.append(chunk, 0, got);
    }
}

bool Win32Files::WriteWholeFile(const CString& path, const CString& content) {
    return Write(path, content, false);
}

bool Win32Files::WriteWholeFileToDisk(const CString& path, const CString& content) {
    return Write(path, content, true);
}

bool Win32Files::Write(const CString& path, const CString& content, bool toDisk) {
    // OPEN_ALWAYS and a cut at the end keep the attributes of a file that exists.
    const UniqueHandle file = OwnFileHandle(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!Succeeded(file != nullptr)) return false;
    // Flushed through the handle that wrote, before it closes, so no family's cache can hold it back.
    return Succeeded(WriteAll(file.get(), content) && SetEndOfFile(file.get()) &&
                     (!toDisk || FlushFileBuffers(file.get())));
}
