#pragma once
// A fault of the test that drives the in-memory machine, not of the code under test.

#include "platform/types.h"

// Throws std::logic_error where exceptions exist, so that a test can expect it; a build without
// exceptions (the checker for setup authors on Windows) traps instead, which needs nothing from
// the C runtime.
[[noreturn]] void SimFault(const CString& what);
