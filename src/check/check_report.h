#pragma once
// The checker's output: plain text for a person, JSON for a build pipeline.

#include "check/check_options.h"
#include "check/checker.h"
#include "text/code_page.h"

CString FormatTextReport(const CheckResult& result, const CheckOptions& options);
CString FormatJsonReport(const CheckResult& result, const CheckOptions& options);
// A line made safe to show: control bytes as \xNN, cut after at most limit bytes, between characters.
CString ShownLine(const CString& line, std::size_t limit, const CodePage& codePage);
