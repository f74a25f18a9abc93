#include "platform/sim/sim_fault.h"

#if defined(__cpp_exceptions)
#include <stdexcept>
#endif

void SimFault(const CString& what) {
#if defined(__cpp_exceptions)
    throw std::logic_error(what);
#else
    static_cast<void>(what);
    __builtin_trap();
#endif
}
