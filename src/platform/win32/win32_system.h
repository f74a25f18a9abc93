#pragma once
// Versions, folders, the command line, pauses and priorities of the running process.

#include "platform/system.h"

class Win32System : public ISystem {
public:
    std::optional<OsVersion> VersionEx() override;
    std::uint32_t PackedVersion() override;
    CString ArgumentText() override;
    CString WindowsFolder() override;
    CString SystemFolder() override;
    CString Wow64SystemFolder() override;
    CString ModuleFileName() override;
    void Sleep(std::uint32_t milliseconds) override;
    void RaisePriority() override;
    LocalTime Now() override;
    CodePage AnsiCodePage() override;
    std::optional<std::uint16_t> UserInterfaceLanguage() override;
    bool SetDefaultDllDirectories(std::uint32_t flags) override;
    bool SetDllSearchFolder(const CString& path) override;
};
