#pragma once
// Which folders the run tries to remove once their files are gone.

#include "platform/types.h"
#include "text/code_page.h"

// Every listed folder as it stands, and every folder between a listed folder and the outermost
// bound that holds it (the bound included) that is not listed already, in descending order of
// their case-folded paths, so that each subfolder comes before its parent. A folder under no
// bound is tried alone: nothing above it is ever added. Bounds that are not absolute or name a
// drive root are ignored. Added folders end with a backslash.
CStringArray FoldersToRemove(const CStringArray& listed, const CStringArray& bounds, const CodePage& codePage);
