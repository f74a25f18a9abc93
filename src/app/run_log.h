#pragma once
// The plain-text log of an unattended run: one line per event, each with a local time stamp and
// the instance that wrote it.

#include <string_view>

#include "platform/system.h"
#include "platform/types.h"

// "2026-12-07 13:20:01.123 [copy] text\r\n", with line breaks inside text written as \r and \n
// so that every event stays on one line.
CString FormatLogLine(const LocalTime& time, std::string_view instance, std::string_view text);
