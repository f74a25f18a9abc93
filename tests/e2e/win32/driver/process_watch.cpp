#include "process_watch.h"

#include <tlhelp32.h>

#include <string>

namespace {

std::string ImagePath(HANDLE process)
{
    std::string path(32768, '\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameA(process, 0, path.data(), &size))
        return {};
    path.resize(size);
    return path;
}

}  // namespace

ProcessWatch::~ProcessWatch()
{
    for (auto& [pid, process] : m_running)
        CloseHandle(process.handle);
}

// A process that has only just been created has no image name yet: it is logged once it has
// one, or when it ends.
void ProcessWatch::LogStart(DriverLog& log, DWORD pid, Watched& process)
{
    const std::string image = ImagePath(process.handle);
    if (process.logged || image.empty())
        return;
    log.Line("PROCESS", std::to_string(pid) + " " + image);
    process.logged = true;
}

void ProcessWatch::Poll(DriverLog& log)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            const DWORD pid = entry.th32ProcessID;
            if (pid == GetCurrentProcessId() || m_seen.count(pid))
                continue;
            m_seen[pid] = true;
            const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid);
            if (!process)
                continue;
            m_running[pid] = Watched{process, false};
        }
        CloseHandle(snapshot);
    } else if (!m_snapshotFailed) {
        m_snapshotFailed = true;
        log.Line("NOSNAPSHOT", std::to_string(GetLastError()));
    }
    for (auto it = m_running.begin(); it != m_running.end();) {
        LogStart(log, it->first, it->second);
        DWORD code = 0;
        if (WaitForSingleObject(it->second.handle, 0) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(it->second.handle, &code)) {
            if (!it->second.logged)
                log.Line("PROCESS", std::to_string(it->first) + " ");
            log.Line("EXIT", std::to_string(it->first) + " " + std::to_string(code));
            CloseHandle(it->second.handle);
            it = m_running.erase(it);
        } else {
            ++it;
        }
    }
}
