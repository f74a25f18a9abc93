#pragma once
// The findings that the file shows by itself: errors, where the uninstaller would refuse or
// misread it, and hazards, where it would do what the author may not expect.

#include "check/check_probe.h"
#include "check/finding.h"

Findings CheckSetupLines(CheckProbe& probe);
