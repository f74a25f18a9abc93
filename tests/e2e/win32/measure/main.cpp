// Shows the program's three dialogs in each of the given languages, built from the program's own
// sources and resources so that they have its fonts and sizes, and writes for every text that
// they show how much room it needs beside the room that its control has. The layout check
// compares the languages with English. One process measures every language of a code page, as
// starting a Wine process costs more than the measuring; the screen's DPI comes first in the
// report, because Wine reads it once per process and a setting that did not take would otherwise
// pass unseen.
#include "text_fit.h"

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "language/language.h"
#include "ui/win32/about_dlg.h"
#include "ui/win32/progress_dlg.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/uninst_dlg.h"

namespace {

constexpr int kExitUsage = 2;
constexpr char kAppName[] = "Tallowmere Sample Application";
constexpr char kSamplePath[] = "C:\\Program Files\\Tallowmere\\Sample\\SAMPLE32.DLL";

constexpr std::pair<TextId, const char*> kStatuses[] = {
    {TextId::StatusInitialization, "StatusInitialization"},
    {TextId::StatusInitializing, "StatusInitializing"},
    {TextId::StatusPrograms, "StatusPrograms"},
    {TextId::StatusProgramsComplete, "StatusProgramsComplete"},
    {TextId::StatusModules, "StatusModules"},
    {TextId::StatusModule, "StatusModule"},
    {TextId::StatusModulesComplete, "StatusModulesComplete"},
    {TextId::StatusShared, "StatusShared"},
    {TextId::StatusSharedComplete, "StatusSharedComplete"},
    {TextId::StatusRegistry, "StatusRegistry"},
    {TextId::StatusRegistryComplete, "StatusRegistryComplete"},
    {TextId::StatusFiles, "StatusFiles"},
    {TextId::StatusFilesComplete, "StatusFilesComplete"},
    {TextId::StatusDirectories, "StatusDirectories"},
    {TextId::StatusDirectoriesComplete, "StatusDirectoriesComplete"},
    {TextId::StatusFinalCleanup, "StatusFinalCleanup"},
};

std::optional<Language> FindLanguage(const std::string& tag)
{
    for (std::size_t index = 0;; ++index) {
        std::optional<Language> language = Language::At(index);
        if (!language)
            return std::nullopt;
        if (lstrcmpiA(std::string(language->Tag()).c_str(), tag.c_str()) == 0)
            return language;
    }
}

// One line a text: its language, where it is shown, its name, then needed width and height, the
// control's width and height, and the height of one line, in pixels.
void Report(std::FILE* out, const Language& language, const char* dialog, const char* name, HWND control)
{
    const TextFit fit = MeasureControlText(control);
    std::fprintf(out, "%s %s %s %d %d %d %d %d\n", std::string(language.Tag()).c_str(), dialog, name,
                 fit.neededWidth, fit.neededHeight, fit.width, fit.height, fit.lineHeight);
}

int ScreenDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

void MeasureConfirmation(std::FILE* out, const Language& language)
{
    CUninstDlg dialog(kAppName, language);
    dialog.Create();
    const HWND window = dialog.GetSafeHwnd();
    Report(out, language, "confirmation", "ConfirmTitle", GetDlgItem(window, IDC_TITLE));
    Report(out, language, "confirmation", "ConfirmSubtitle", GetDlgItem(window, IDC_SUBTITLE));
    Report(out, language, "confirmation", "ConfirmMessage", GetDlgItem(window, IDC_MESSAGE));
    Report(out, language, "confirmation", "ConfirmUninstallButton", GetDlgItem(window, IDOK));
    Report(out, language, "confirmation", "ConfirmExitButton", GetDlgItem(window, IDCANCEL));
    dialog.DestroyWindow();
}

void MeasureAbout(std::FILE* out, const Language& language)
{
    CAboutDlg dialog(language);
    dialog.Create();
    const HWND window = dialog.GetSafeHwnd();
    Report(out, language, "about", "AboutVersion", GetDlgItem(window, IDC_ABOUT_VERSION));
    Report(out, language, "about", "AboutCopyright", GetDlgItem(window, IDC_ABOUT_COPYRIGHT));
    Report(out, language, "about", "AboutOkButton", GetDlgItem(window, IDOK));
    dialog.DestroyWindow();
}

// The status texts come and go while the run works: each is set in turn, as the run sets it.
void MeasureProgress(std::FILE* out, const Language& language)
{
    CProgressDlg dialog(kAppName, language);
    dialog.Create();
    // The bar shows no text of the catalogue, but its room tells whether it grows with the font.
    Report(out, language, "progress", "ProgressBar", GetDlgItem(dialog.GetSafeHwnd(), IDC_PROGRESS_BAR));
    const HWND status = GetDlgItem(dialog.GetSafeHwnd(), IDC_PROGRESS_STATUS);
    for (const auto& [id, name] : kStatuses) {
        dialog.SetStatus(language.Format({id, {{Piece::Path, kSamplePath}}}));
        Report(out, language, "progress", name, status);
    }
    dialog.DestroyWindow();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: measure_texts REPORT TAG [TAG ...]\n");
        return kExitUsage;
    }
    std::vector<Language> languages;
    for (int index = 2; index < argc; ++index) {
        std::optional<Language> language = FindLanguage(argv[index]);
        if (!language) {
            std::fprintf(stderr, "measure_texts: no language %s\n", argv[index]);
            return kExitUsage;
        }
        // The texts are bytes of the language's code page: under another they would be other letters.
        if (language->CodePage() != GetACP()) {
            std::fprintf(stderr, "measure_texts: %s needs code page %u, the system has %u\n", argv[index],
                         static_cast<unsigned>(language->CodePage()), static_cast<unsigned>(GetACP()));
            return kExitUsage;
        }
        languages.push_back(std::move(*language));
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::fprintf(stderr, "measure_texts: cannot write %s\n", argv[1]);
        return kExitUsage;
    }
    std::fprintf(out, "dpi %d\n", ScreenDpi());
    for (const Language& language : languages) {
        MeasureConfirmation(out, language);
        MeasureAbout(out, language);
        MeasureProgress(out, language);
    }
    std::fclose(out);
    return 0;
}
