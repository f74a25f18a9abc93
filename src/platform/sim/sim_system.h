#pragma once
// The in-memory machine's process-wide services: a scripted operating-system version, folders,
// the command line, and pauses and priority changes recorded in the transcript.

#include "platform/sim/transcript.h"
#include "platform/system.h"

class SimSystem : public ISystem {
public:
    explicit SimSystem(SimTranscript& transcript);

    std::optional<OsVersion> VersionEx() override { return m_version; }
    std::uint32_t PackedVersion() override { return m_packedVersion; }
    CString ArgumentText() override { return m_argumentText; }
    CString WindowsFolder() override { return m_windowsFolder; }
    CString SystemFolder() override { return m_systemFolder; }
    CString Wow64SystemFolder() override { return m_wow64SystemFolder; }
    CString ModuleFileName() override { return m_moduleFileName; }
    void Sleep(std::uint32_t milliseconds) override;
    void RaisePriority() override;
    LocalTime Now() override { return m_now; }
    CodePage AnsiCodePage() override { return m_codePage; }
    std::optional<std::uint16_t> UserInterfaceLanguage() override { return m_uiLanguage; }
    bool SetDefaultDllDirectories(std::uint32_t flags) override;
    bool SetDllSearchFolder(const CString& path) override;

    // Test API. The machine starts as Windows 98 (4.10) with C:\WINDOWS and C:\WINDOWS\SYSTEM,
    // running C:\App\UNINST.EXE without arguments.
    SimSystem& UseWindows95();
    SimSystem& UseWindows98();
    SimSystem& UseWindowsNt4();
    SimSystem& UseWindows2000();
    // The extended record fails, or gives this record; the packed word is set on its own.
    SimSystem& SetVersionEx(std::optional<OsVersion> version);
    SimSystem& SetPackedVersion(std::uint32_t packed);
    SimSystem& SetArgumentText(const CString& text);
    SimSystem& SetWindowsFolder(const CString& folder);
    SimSystem& SetSystemFolder(const CString& folder);
    // 64-bit Windows running this 32-bit program: the folder that its system folder stands for.
    SimSystem& SetWow64SystemFolder(const CString& folder);
    SimSystem& SetModuleFileName(const CString& path);
    SimSystem& SetNow(const LocalTime& now);
    // The ANSI code page, 1252 at first: one of those that CodePage::Known names. Set it before
    // the machine holds anything, since file and key names are filed by its characters.
    SimSystem& SetCodePage(std::uint32_t number);
    // The system's UI language, US English (0x0409) at first; nullopt for a system that cannot tell.
    SimSystem& SetUiLanguage(std::optional<std::uint16_t> langId);
    // Which of SetDefaultDllDirectories and SetDllDirectoryA the system has; none at first, as
    // on Windows 95 and 98.
    SimSystem& OfferDllSearchFunctions(bool defaultDirectories, bool dllDirectory);

    const CString& WindowsFolderSetting() const { return m_windowsFolder; }
    // The family that the packed version word tells, as the file system's locking follows it.
    bool IsWindowsNt() const;
    const CodePage& CodePageSetting() const { return m_codePage; }

private:
    SimSystem& UseVersion(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor);

    SimTranscript& m_transcript;
    std::optional<OsVersion> m_version;
    std::uint32_t m_packedVersion = 0;
    CString m_argumentText;
    CString m_windowsFolder = "C:\\WINDOWS";
    CString m_systemFolder = "C:\\WINDOWS\\SYSTEM";
    CString m_wow64SystemFolder;
    CString m_moduleFileName = "C:\\App\\UNINST.EXE";
    LocalTime m_now{2001, 5, 17, 10, 30, 0, 0};
    CodePage m_codePage;
    std::optional<std::uint16_t> m_uiLanguage = 0x0409;
    bool m_hasDefaultDllDirectories = false;
    bool m_hasDllDirectory = false;
};
