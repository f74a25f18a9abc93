// Watches the dialogs of the programs running in the same Wine prefix, writes what they show to a
// transcript and answers them from a rules file, until a stop file appears or time runs out.
#include "answers.h"
#include "dialog_snapshot.h"
#include "driver_log.h"
#include "process_watch.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 20;
constexpr int kExitTimeout = 3;
constexpr int kExitUsage = 2;
constexpr int kBarId = 1000;
constexpr int kStatusId = 1001;
constexpr WPARAM kSysCommandAbout = 0x0010;

struct Options {
    std::string log;
    std::string answers;
    std::string stop;
    DWORD timeoutMs = 120000;
};

struct Tracked {
    DialogSnapshot shown;
    bool wasEnabled = false;
    std::string status;
    std::string percent;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--log")
            options.log = value;
        else if (name == "--answers")
            options.answers = value;
        else if (name == "--stop")
            options.stop = value;
        else if (name == "--timeout")
            options.timeoutMs = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
        else
            return false;
    }
    return argc % 2 == 1 && !options.log.empty() && !options.answers.empty() && !options.stop.empty();
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM param)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::vector<HWND> VisibleDialogs()
{
    std::vector<HWND> dialogs;
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

void LogWindow(DriverLog& log, const DialogSnapshot& dialog)
{
    log.Line("WINDOW", dialog.caption);
    for (const ControlSnapshot& control : dialog.controls) {
        if (control.kind == ControlKind::Button)
            log.Line("BUTTON", std::to_string(control.id) + " " + control.text);
        else if (!control.text.empty())
            log.Line("TEXT", std::to_string(control.id) + " " + control.text);
    }
}

void FollowProgress(DriverLog& log, HWND window, Tracked& tracked)
{
    const std::string status = ReadWindowText(GetDlgItem(window, kStatusId));
    const std::string percent = ReadWindowText(GetDlgItem(window, kBarId));
    if (status != tracked.status) {
        tracked.status = status;
        log.Line("STATUS", status);
    }
    if (percent != tracked.percent) {
        tracked.percent = percent;
        log.Line("PERCENT", percent);
    }
}

void ClickButton(DriverLog& log, HWND window, int id)
{
    const HWND button = GetDlgItem(window, id);
    if (!button) {
        log.Line("NOBUTTON", std::to_string(id));
        return;
    }
    log.Line("CLICK", std::to_string(id));
    // Posted, not sent: a click that opens a modal box would otherwise hold the driver until
    // that box is answered, which only the driver can do.
    PostMessageA(button, BM_CLICK, 0, 0);
}

// Called when a dialog is first seen enabled, and again whenever it is enabled after a modal
// window above it has gone: the confirmation dialog is answered again after its about box.
void Answer(DriverLog& log, Answers& answers, HWND window, const DialogSnapshot& dialog)
{
    if (const ShotRule* shot = answers.MatchShot(dialog)) {
        log.Line("SHOT", std::to_string(shot->pauseMs));
        Sleep(static_cast<DWORD>(shot->pauseMs));
    }
    if (const Rule* rule = answers.Match(dialog)) {
        if (rule->action == ActionKind::About) {
            log.Line("ABOUT", "");
            PostMessageA(window, WM_SYSCOMMAND, kSysCommandAbout, 0);
        } else {
            ClickButton(log, window, rule->buttonId);
        }
    } else if (const auto button = answers.DefaultButton(dialog)) {
        ClickButton(log, window, *button);
    }
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: driver --log FILE --answers FILE --stop FILE [--timeout MS]\n");
        return kExitUsage;
    }
    std::string error;
    auto answers = Answers::Load(options.answers, error);
    DriverLog log(options.log);
    if (!answers || !log.IsOpen()) {
        std::fprintf(stderr, "driver: %s\n", answers ? "cannot open the log" : error.c_str());
        return kExitUsage;
    }
    log.Line("DRIVER", "started");

    std::map<HWND, Tracked> known;
    ProcessWatch processes;
    const DWORD start = GetTickCount();
    while (!FileExists(options.stop)) {
        if (GetTickCount() - start > options.timeoutMs) {
            log.Line("TIMEOUT", std::to_string(options.timeoutMs));
            return kExitTimeout;
        }
        processes.Poll(log);
        const std::vector<HWND> dialogs = VisibleDialogs();
        for (auto it = known.begin(); it != known.end();) {
            if (IsWindow(it->first) && IsWindowVisible(it->first)) {
                ++it;
            } else {
                log.Line("GONE", it->second.shown.caption);
                it = known.erase(it);
            }
        }
        for (HWND window : dialogs) {
            auto [entry, isNew] = known.try_emplace(window);
            Tracked& tracked = entry->second;
            if (isNew) {
                tracked.shown = TakeSnapshot(window);
                LogWindow(log, tracked.shown);
            }
            if (tracked.shown.IsProgressWindow())
                FollowProgress(log, window, tracked);
            const bool enabled = IsWindowEnabled(window) != FALSE;
            if (enabled && !tracked.wasEnabled)
                Answer(log, *answers, window, TakeSnapshot(window));
            tracked.wasEnabled = enabled;
        }
        Sleep(kPollMs);
    }
    log.Line("DRIVER", "stopped");
    return 0;
}
