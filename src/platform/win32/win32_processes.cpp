#include "platform/win32/win32_processes.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/handles.h"

namespace {

class Win32Process : public IProcess {
public:
    Win32Process(HANDLE process, HANDLE thread) : m_process(process), m_thread(thread) {}

    void WaitForExit() override { WaitForSingleObject(m_process.get(), INFINITE); }

    std::optional<std::uint32_t> ExitCode() override {
        DWORD code = 0;
        if (!GetExitCodeProcess(m_process.get(), &code)) return std::nullopt;
        return code;
    }

    HANDLE Handle() const { return m_process.get(); }

private:
    UniqueHandle m_process;
    UniqueHandle m_thread;
};

}  // namespace

std::unique_ptr<IProcess> Win32Processes::StartProcess(const CString& commandLine, const CString& currentFolder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68, "the 32-bit start-up record is 68 bytes");
    PROCESS_INFORMATION started{};
    CString mutableLine = commandLine;  // CreateProcessA may write into its command line
    if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE,
                        CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS, nullptr,
                        currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &started)) {
        return nullptr;
    }
    return std::make_unique<Win32Process>(started.hProcess, started.hThread);
}

ShellStart Win32Processes::ShellExecuteProgram(const CString& file, const CString& parameters) {
    SHELLEXECUTEINFOA execution{};
    execution.cbSize = sizeof(execution);
    static_assert(sizeof(void*) != 4 || sizeof(SHELLEXECUTEINFOA) == 60, "the 32-bit execution record is 60 bytes");
    execution.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    execution.hwnd = nullptr;
    execution.lpVerb = nullptr;
    execution.lpFile = file.c_str();
    execution.lpParameters = parameters.c_str();
    execution.lpDirectory = nullptr;
    execution.nShow = SW_SHOWNORMAL;
    ShellStart result;
    result.started = ShellExecuteExA(&execution) != FALSE;
    if (result.started && execution.hProcess != nullptr) {
        result.process = std::make_unique<Win32Process>(execution.hProcess, nullptr);
    }
    return result;
}

bool Win32Processes::OpenDocument(const CString& path) {
    // Values above 32 mean success; the result is a number in a handle's clothes.
    const auto result = reinterpret_cast<std::uintptr_t>(
        ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

std::uint32_t Win32Processes::CurrentThreadId() { return GetCurrentThreadId(); }

void Win32Processes::PostToThread(std::uint32_t threadId, const ThreadMessage& message) {
    PostThreadMessageA(threadId, message.message, message.wParam, message.lParam);
}

void Win32Processes::TouchMessageQueue() {
    MSG message{};
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
}

bool Win32Processes::WaitForProcessOrInput(IProcess& process, std::uint32_t milliseconds) {
    // Every process handed out here is a Win32Process.
    HANDLE handle = static_cast<Win32Process&>(process).Handle();
    return MsgWaitForMultipleObjects(1, &handle, FALSE, milliseconds, QS_ALLINPUT) == WAIT_OBJECT_0;
}

std::optional<ThreadMessage> Win32Processes::TakeMessage() {
    MSG message{};
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return std::nullopt;
    return ThreadMessage{message.message, message.wParam, message.lParam};
}
