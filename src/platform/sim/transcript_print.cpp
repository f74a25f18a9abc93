#include <ostream>

#include "platform/sim/transcript.h"

std::ostream& operator<<(std::ostream& out, const SimEvent& event) { return out << FormatSimEvent(event); }
