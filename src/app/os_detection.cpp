#include "app/os_detection.h"

#include "app/uninst_app.h"

CString OsNameFor(bool isWinNT, std::uint32_t majorVersion, std::uint32_t minorVersion) {
    if (isWinNT) {
        if (majorVersion == 4) return "WinNT4";
        if (majorVersion >= 5) return "WinNT5";
        return CString();
    }
    if (majorVersion < 4) return CString();
    return minorVersion < 10 ? "Win95" : "Win98";
}

void CUninstApp::DetectOperatingSystem() {
    if (const auto version = m_platform.system.VersionEx()) {
        m_isWinNT = version->platformId == kPlatformWin32Nt;
        m_majorVersion = version->majorVersion;
        m_minorVersion = version->minorVersion;
    } else {
        const std::uint32_t packed = m_platform.system.PackedVersion();
        m_isWinNT = (packed & 0x80000000u) == 0;
        m_majorVersion = packed & 0xFFu;
        m_minorVersion = (packed >> 8) & 0xFFu;
    }
    m_osName = OsNameFor(m_isWinNT, m_majorVersion, m_minorVersion);
}
