#pragma once
// One line of text for each step of a run as the in-memory machine recorded it: what was done,
// to which item, and how it ended; the phase titles between them.

#include <vector>

#include "platform/sim/transcript.h"

CStringArray PlanLines(const std::vector<SimEvent>& events);
