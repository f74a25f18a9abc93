#pragma once
// The calls that fill a caller's buffer and report the size they needed: the buffer grows until
// the whole text fits, so nothing is ever cut short.

#include <cstdint>
#include <string>

#include "platform/types.h"

// fill(buffer, size) returns what the API returns: the length written when it fitted (below
// size), the size it needs (terminator included) when it did not, 0 on failure.
template <typename Fill>
CString ReadGrowingText(Fill fill) {
    std::string buffer(260, '\0');
    for (;;) {
        const std::uint32_t result = fill(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
        if (result == 0) return {};
        if (result < buffer.size()) {
            buffer.resize(result);
            return buffer;
        }
        buffer.resize(result > buffer.size() ? result : buffer.size() * 2);
    }
}
