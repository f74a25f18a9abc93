#include "platform/sim/sim_fault.h"

#include <cstdlib>
#if defined(__cpp_exceptions)
#include <stdexcept>
#endif

void SimFault(const CString& what) {
#if defined(__cpp_exceptions)
    throw std::logic_error(what);
#else
    static_cast<void>(what);
    std::abort();
#endif
}
