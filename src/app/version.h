#pragma once
// The program's version, as the version resource and the log show it.

constexpr char kProgramVersion[] = "1.0.0";
