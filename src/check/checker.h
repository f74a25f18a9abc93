#pragma once
// The whole check of one setup information file: the findings, then the plan of the run.

#include "check/check_options.h"
#include "check/finding.h"

namespace checkexit {
constexpr int kClean = 0;
constexpr int kHazards = 1;  // hazards or leftovers, no error
constexpr int kErrors = 2;   // errors, or the file could not be checked at all
}  // namespace checkexit

struct CheckResult {
    Findings findings;    // errors and hazards in line order, then the leftovers
    CStringArray plan;    // what the uninstaller's run did, step by step
    int runExitCode = 0;  // the uninstaller's own exit code for that run
    bool ran = false;     // false when the file could not be read, and so nothing was run
};

CheckResult CheckSetupText(const CString& text, const CheckOptions& options);
// The same check on a probe already made of the file and its options.
class CheckProbe;
CheckResult CheckSetupText(CheckProbe& probe);
int CheckExitCode(const Findings& findings);
