#pragma once
// Switches for unattended removal by deployment tools. Without any of them the program behaves
// exactly as it does for a person at the screen.

#include <optional>
#include <string_view>

#include "platform/types.h"

enum class Quietness {
    Normal,      // every window and message box
    Silent,      // the progress window only
    VerySilent,  // no window at all
};

struct UnattendedOptions {
    Quietness quietness = Quietness::Normal;
    std::optional<CString> logPath;  // present (possibly empty) when "/LOG=" was given
    bool wait = false;               // the first instance stays until the working copy ends
    bool plan = false;               // only tell what a run would do
    std::optional<CString> languageTag;  // the text after "/LANG=", when given
};

// Reads "/SILENT", "/VERYSILENT", "/S", "/LOG=path", "/WAIT", "/PLAN" and "/LANG=tag", without regard to
// case, anywhere in the argument text; quoted words are never switches, unknown words are ignored.
UnattendedOptions ParseUnattendedSwitches(std::string_view argumentText);

// The argument text without the words that ParseUnattendedSwitches reads.
CString WithoutUnattendedSwitches(std::string_view argumentText);
