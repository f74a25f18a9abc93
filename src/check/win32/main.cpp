// uninst-check.exe: the checker's console over the Windows file and console calls of Windows 95
// and NT 4, with start-up code of our own.

#include <windows.h>

#include "check/argument_words.h"
#include "check/check_command.h"
#include "platform/win32/startup.h"

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() {
        if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

void WriteAll(DWORD which, std::string_view text) {
    const HANDLE output = GetStdHandle(which);
    if (output == INVALID_HANDLE_VALUE || output == nullptr) return;
    while (!text.empty()) {
        DWORD written = 0;
        const DWORD chunk = text.size() > 65536 ? 65536 : static_cast<DWORD>(text.size());
        if (!WriteFile(output, text.data(), chunk, &written, nullptr) || written == 0) return;
        text.remove_prefix(written);
    }
}

class Win32Console : public ICheckConsole {
public:
    ReadOutcome ReadWholeFile(const CString& path, std::uint32_t limit, CString& text) override {
        const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) return ReadOutcome::Unreadable;
        DWORD high = 0;
        const DWORD size = GetFileSize(file.get(), &high);
        if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return ReadOutcome::Unreadable;
        if (high != 0 || size > limit) return ReadOutcome::TooLarge;
        text.assign(size, '\0');
        DWORD read = 0;
        if (size != 0 && (!::ReadFile(file.get(), &text[0], size, &read, nullptr) || read != size)) {
            return ReadOutcome::Unreadable;
        }
        return ReadOutcome::Read;
    }
    void Write(std::string_view text) override { WriteAll(STD_OUTPUT_HANDLE, text); }
    void WriteError(std::string_view text) override { WriteAll(STD_ERROR_HANDLE, text); }
    std::uint32_t SystemCodePage() override { return GetACP(); }
};

int RunProgram() {
    Win32Console console;
    const CodePage codePage = CodePage::Known(GetACP()).value_or(CodePage());
    return RunCheckCommand(SplitArgumentWords(GetCommandLineA(), codePage), console);
}

}  // namespace

// Only the linker names the entry: "used" keeps link-time optimisation from dropping it.
extern "C" __attribute__((used)) void mainCRTStartup() {
    RunConstructors();
    ExitProcess(static_cast<UINT>(RunProgram()));
}
