#pragma once
// Process-wide services in a dry run: the real machine's versions, folders and clock, with the
// command line and program file of the instance being planned, and no pauses.

#include <optional>

#include "platform/system.h"

class PlanSystem : public ISystem {
public:
    explicit PlanSystem(ISystem& real) : m_real(real) {}

    std::optional<OsVersion> VersionEx() override { return m_real.VersionEx(); }
    std::uint32_t PackedVersion() override { return m_real.PackedVersion(); }
    CString ArgumentText() override { return m_argumentText; }
    CString WindowsFolder() override { return m_real.WindowsFolder(); }
    CString SystemFolder() override { return m_real.SystemFolder(); }
    CString Wow64SystemFolder() override { return m_real.Wow64SystemFolder(); }
    CString ModuleFileName() override { return m_moduleFileName ? *m_moduleFileName : m_real.ModuleFileName(); }
    void Sleep(std::uint32_t) override {}
    void RaisePriority() override {}
    LocalTime Now() override { return m_real.Now(); }
    CodePage AnsiCodePage() override { return m_real.AnsiCodePage(); }
    // A plan is compared across machines by administrators: it stays English.
    std::optional<std::uint16_t> UserInterfaceLanguage() override { return std::nullopt; }
    // The planning process's own DLL search, not the machine: limited as in a real run.
    bool SetDefaultDllDirectories(std::uint32_t flags) override { return m_real.SetDefaultDllDirectories(flags); }
    bool SetDllSearchFolder(const CString& path) override { return m_real.SetDllSearchFolder(path); }

    // The instance being planned: its arguments, and the program file it would run from.
    void PlanInstance(const CString& argumentText, std::optional<CString> moduleFileName) {
        m_argumentText = argumentText;
        m_moduleFileName = std::move(moduleFileName);
    }

private:
    ISystem& m_real;
    CString m_argumentText;
    std::optional<CString> m_moduleFileName;
};
