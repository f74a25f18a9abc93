// A program that the target check must refuse on every count: it is compiled for the Pentium Pro
// (PickLarger becomes a CMOV), imports a function that only Windows Vista and later export, and
// one from MSVCRT.DLL, which the first Windows 95 does not have.

#define _WIN32_WINNT 0x0600
#include <windows.h>

#include <cstdlib>

extern "C" __attribute__((noinline)) int PickLarger(int first, int second) {
    return first > second ? first : second;
}

int main(int argc, char** argv) {
    return PickLarger(static_cast<int>(GetTickCount64() & 0xFF), std::atoi(argc > 1 ? argv[1] : "3"));
}
