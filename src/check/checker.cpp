#include "check/checker.h"

#include <algorithm>
#include <memory>

#include "check/check_probe.h"
#include "check/check_run.h"
#include "check/plan_lines.h"
#include "check/setup_checks.h"

CheckResult CheckSetupText(const CString& text, const CheckOptions& options) {
    // On the heap: its machine and program object would take the frame past its limit.
    const auto probe = std::make_unique<CheckProbe>(text, options);
    return CheckSetupText(*probe);
}

CheckResult CheckSetupText(CheckProbe& probe) {
    CheckResult result;
    result.findings = CheckSetupLines(probe);
    std::stable_sort(result.findings.begin(), result.findings.end(),
                     [](const Finding& a, const Finding& b) { return a.lineNumber < b.lineNumber; });

    CheckRun run = RunOnPicture(probe);
    result.findings.insert(result.findings.end(), run.leftovers.begin(), run.leftovers.end());
    result.plan = PlanLines(run.events);
    result.runExitCode = run.exitCode;
    result.ran = true;
    return result;
}

int CheckExitCode(const Findings& findings) {
    int code = checkexit::kClean;
    for (const Finding& finding : findings) {
        code = std::max(code, finding.kind == FindingKind::Error ? checkexit::kErrors : checkexit::kHazards);
    }
    return code;
}
