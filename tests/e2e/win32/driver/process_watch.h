#pragma once
#include "driver_log.h"

#include <windows.h>

#include <map>

// Follows the processes of the prefix: logs each new one with its program file and, when it
// ends, its full 32-bit exit code, which a Unix exit status would cut to 8 bits.
class ProcessWatch {
public:
    ProcessWatch() = default;
    ~ProcessWatch();
    ProcessWatch(const ProcessWatch&) = delete;
    ProcessWatch& operator=(const ProcessWatch&) = delete;

    void Poll(DriverLog& log);

private:
    struct Watched {
        HANDLE handle;
        bool logged;
    };
    void LogStart(DriverLog& log, DWORD pid, Watched& process);

    std::map<DWORD, Watched> m_running;
    std::map<DWORD, bool> m_seen;
    bool m_snapshotFailed = false;
};
