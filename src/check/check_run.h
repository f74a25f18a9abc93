#pragma once
// The uninstaller's real run on the in-memory machine, laid from the file itself: everything the
// file installs exists, with the installation record of the pictured folders, a count of 1 for
// each shared file, every listed key and value, and programs and modules that succeed.

#include <vector>

#include "check/check_probe.h"
#include "check/finding.h"
#include "platform/sim/transcript.h"

struct CheckRun {
    std::vector<SimEvent> events;  // what the run did and showed, in order
    int exitCode = 0;
    Findings leftovers;  // installed files and the folders holding them that stay after the run
};

CheckRun RunOnPicture(CheckProbe& probe);
