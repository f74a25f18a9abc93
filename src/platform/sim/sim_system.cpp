#include "platform/sim/sim_system.h"

#include "platform/sim/sim_fault.h"

namespace {
constexpr std::uint32_t kPlatformWindows = 1;
constexpr std::uint32_t kPlatformNt = 2;
constexpr std::uint32_t kNotNtBit = 0x80000000u;
}  // namespace

SimSystem::SimSystem(SimTranscript& transcript) : m_transcript(transcript) { UseWindows98(); }

void SimSystem::Sleep(std::uint32_t milliseconds) {
    m_transcript.Record({SimEventKind::Pause, {}, {}, milliseconds, 0});
}

void SimSystem::RaisePriority() { m_transcript.Record({SimEventKind::RaisePriority, {}, {}, 0, 0}); }

bool SimSystem::SetDefaultDllDirectories(std::uint32_t flags) {
    if (!m_hasDefaultDllDirectories) return false;
    m_transcript.Record({SimEventKind::DllSearchSet, "SetDefaultDllDirectories", {}, flags, 0});
    return true;
}

bool SimSystem::SetDllSearchFolder(const CString& path) {
    if (!m_hasDllDirectory) return false;
    m_transcript.Record({SimEventKind::DllSearchSet, "SetDllDirectoryA", path, 0, 0});
    return true;
}

SimSystem& SimSystem::UseVersion(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor) {
    m_version = OsVersion{platformId, major, minor};
    m_packedVersion = major | (minor << 8) | (platformId == kPlatformNt ? 0 : kNotNtBit);
    return *this;
}

bool SimSystem::IsWindowsNt() const { return (m_packedVersion & kNotNtBit) == 0; }

SimSystem& SimSystem::UseWindows95() { return UseVersion(kPlatformWindows, 4, 0); }
SimSystem& SimSystem::UseWindows98() { return UseVersion(kPlatformWindows, 4, 10); }
SimSystem& SimSystem::UseWindowsNt4() { return UseVersion(kPlatformNt, 4, 0); }
SimSystem& SimSystem::UseWindows2000() { return UseVersion(kPlatformNt, 5, 0); }

SimSystem& SimSystem::SetVersionEx(std::optional<OsVersion> version) {
    m_version = version;
    return *this;
}

SimSystem& SimSystem::SetPackedVersion(std::uint32_t packed) {
    m_packedVersion = packed;
    return *this;
}

SimSystem& SimSystem::SetArgumentText(const CString& text) {
    m_argumentText = text;
    return *this;
}

SimSystem& SimSystem::SetWindowsFolder(const CString& folder) {
    m_windowsFolder = folder;
    return *this;
}

SimSystem& SimSystem::SetWow64SystemFolder(const CString& folder) {
    m_wow64SystemFolder = folder;
    return *this;
}

SimSystem& SimSystem::SetSystemFolder(const CString& folder) {
    m_systemFolder = folder;
    return *this;
}

SimSystem& SimSystem::SetModuleFileName(const CString& path) {
    m_moduleFileName = path;
    return *this;
}

SimSystem& SimSystem::SetNow(const LocalTime& now) {
    m_now = now;
    return *this;
}

SimSystem& SimSystem::OfferDllSearchFunctions(bool defaultDirectories, bool dllDirectory) {
    m_hasDefaultDllDirectories = defaultDirectories;
    m_hasDllDirectory = dllDirectory;
    return *this;
}

SimSystem& SimSystem::SetCodePage(std::uint32_t number) {
    const std::optional<CodePage> codePage = CodePage::Known(number);
    if (!codePage) SimFault("no such code page in the machine: " + std::to_string(number));
    m_codePage = *codePage;
    return *this;
}

SimSystem& SimSystem::SetUiLanguage(std::optional<std::uint16_t> langId) {
    m_uiLanguage = langId;
    return *this;
}
