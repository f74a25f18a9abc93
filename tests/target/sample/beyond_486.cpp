// A program that the target check must refuse on both counts: it is compiled for the Pentium Pro
// (PickLarger becomes a CMOV) and imports a function that only Windows Vista and later export.

#define _WIN32_WINNT 0x0600
#include <windows.h>

extern "C" __attribute__((noinline)) int PickLarger(int first, int second) {
    return first > second ? first : second;
}

int main() {
    return PickLarger(static_cast<int>(GetTickCount64() & 0xFF), 3);
}
