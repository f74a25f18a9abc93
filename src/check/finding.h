#pragma once
// What the checker found in a setup information file, tied to the line that causes it.

#include <vector>

#include "platform/types.h"

enum class FindingKind {
    Error,     // the uninstaller would refuse or misread the file
    Hazard,    // the uninstaller would do what the author may not expect
    Leftover,  // something the setup installs that no line removes
};

struct Finding {
    FindingKind kind = FindingKind::Error;
    int lineNumber = 0;  // 0: the file as a whole
    CString line;        // the line as it stands in the file
    CString message;
};

using Findings = std::vector<Finding>;
