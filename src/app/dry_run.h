#pragma once
// The dry run behind "/PLAN": the whole run, both instances, over a platform that reads the real
// machine and records every change instead of making it.

#include "platform/plan/plan_record.h"
#include "platform/platform.h"

struct DryRun {
    CString text;                      // the plan
    bool reachesConfirmation = false;  // a real run would get as far as asking for confirmation
    int runExitCode = 0;               // how a real run answered as in the plan would end
    std::vector<PlanAction> actions;
};

// What a run started with these arguments (without the unattended switches) would do. The
// machine is only read.
DryRun PlanRun(Platform& machine, const CString& argumentText, PlanAnswers answers);
