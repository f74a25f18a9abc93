#pragma once
// The uninstaller's own reader and expansion, set up with the folders the checker pictures, to
// answer what a line of the file means: the path it names, the program it runs.

#include <optional>

#include "app/uninst_app.h"
#include "check/check_options.h"
#include "check/numbered_sections.h"
#include "platform/sim/sim_machine.h"

// A line of the file list and the file it installs; an empty path when it names none.
struct InstalledFile {
    NumberedLine line;
    CString path;
};

// Windows 98 for the 9x family, Windows 2000 for the NT family, with their system folders, in
// the code page of the options; before any program object is made on the machine, since that
// takes the code page when it starts.
Platform& PictureMachine(SimMachine& machine, const CheckOptions& options);

class CheckProbe {
public:
    CheckProbe(const CString& text, const CheckOptions& options);
    CheckProbe(const CheckProbe&) = delete;
    CheckProbe& operator=(const CheckProbe&) = delete;

    CUninstApp& App() { return m_app; }
    const NumberedText& Text() const { return m_numbered; }
    const CheckOptions& Options() const { return m_options; }

    // The text with its references expanded, or nullopt when the uninstaller's expansion fails.
    std::optional<CString> Expand(const CString& text);
    // A path line of [UnInstall] or [UnInstall.Shared] as the phases resolve it: expanded, and
    // joined to the application folder when relative.
    std::optional<CString> ResolvePath(const CString& line);
    // A program of [ExecuteOnUninstall] or a module of [RegisterControl]: a bare name lies in the
    // application folder and is not expanded.
    std::optional<CString> ResolveProgram(const CString& program);
    // Where the installed uninstaller lies: its file-list line resolved, or the fallback.
    std::optional<CString> OwnCopyPath();
    // The file-list lines in the uninstaller's order, each with the file it installs.
    std::vector<InstalledFile> InstalledFiles();

private:
    SimMachine m_machine;
    CUninstApp m_app;
    CString m_text;
    NumberedText m_numbered;
    CheckOptions m_options;
};
