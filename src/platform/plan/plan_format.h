#pragma once
// The text of a plan: one line per action, message or question, and the names under which a
// plan shows registry roots and values. Kept apart so that every tool printing a plan prints it
// the same way.

#include <vector>

#include "platform/plan/plan_record.h"
#include "platform/registry.h"

// "HKLM", "HKCU", "HKU", "HKCR"; empty for any other key.
CString PlanRootName(RegKey root);
// A value as a person reads it: a number, a quoted text, or its type and size.
CString DescribeRegistryValue(const RegValue& value);
// The line of one action, without a line end, and its notes, each on a line of its own.
CStringArray FormatPlanAction(const PlanAction& action);
// The whole plan: a heading, the lines of every action, and the ending.
CString FormatPlan(const CString& title, const std::vector<PlanAction>& actions, const CStringArray& ending);
