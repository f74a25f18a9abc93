#include "platform/win32/startup.h"

#include <cstddef>

// The linker's table of constructors: a count or -1 first, then the functions, then a null.
extern "C" void (*__CTOR_LIST__[])();

void RunConstructors() {
    std::size_t count = 0;
    while (__CTOR_LIST__[count + 1] != nullptr) ++count;
    // Last first, as the compiler's own start-up code runs them.
    for (std::size_t i = count; i > 0; --i) __CTOR_LIST__[i]();
}
