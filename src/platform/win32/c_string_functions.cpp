// The C library's memory and string functions that the program and the compiler's own code call,
// so that nothing is imported from MSVCRT.DLL, which the first Windows 95 does not have. Plain
// loops, compiled for the 486; this file is built without built-ins and without loop-pattern
// recognition, which would turn these loops back into calls to themselves.

#include <cstddef>

extern "C" {

void* memcpy(void* target, const void* source, std::size_t count) {
    auto* to = static_cast<unsigned char*>(target);
    const auto* from = static_cast<const unsigned char*>(source);
    while (count-- != 0) *to++ = *from++;
    return target;
}

void* memmove(void* target, const void* source, std::size_t count) {
    auto* to = static_cast<unsigned char*>(target);
    const auto* from = static_cast<const unsigned char*>(source);
    if (to <= from || to >= from + count) return memcpy(target, source, count);
    // Overlapping with the source ahead: copy from the end so that nothing is overwritten unread.
    while (count-- != 0) to[count] = from[count];
    return target;
}

void* memset(void* target, int value, std::size_t count) {
    auto* to = static_cast<unsigned char*>(target);
    while (count-- != 0) *to++ = static_cast<unsigned char>(value);
    return target;
}

int memcmp(const void* left, const void* right, std::size_t count) {
    const auto* a = static_cast<const unsigned char*>(left);
    const auto* b = static_cast<const unsigned char*>(right);
    for (; count != 0; --count, ++a, ++b) {
        if (*a != *b) return *a < *b ? -1 : 1;
    }
    return 0;
}

void* memchr(const void* block, int value, std::size_t count) {
    const auto* at = static_cast<const unsigned char*>(block);
    const auto wanted = static_cast<unsigned char>(value);
    for (; count != 0; --count, ++at) {
        if (*at == wanted) return const_cast<unsigned char*>(at);
    }
    return nullptr;
}

std::size_t strlen(const char* text) {
    const char* end = text;
    while (*end != '\0') ++end;
    return static_cast<std::size_t>(end - text);
}

char* strcpy(char* target, const char* source) {
    char* to = target;
    while ((*to++ = *source++) != '\0') {
    }
    return target;
}

}  // extern "C"
