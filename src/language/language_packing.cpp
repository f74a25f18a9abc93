#include "language/language_packing.h"

namespace {

// Must match make_catalogue.py: a flag byte before every eight items, a set bit for a literal,
// a clear one for a copy of two bytes (length in the top three bits, distance below).
constexpr unsigned kMinimumCopy = 3;
constexpr unsigned kDistanceBits = 13;
constexpr unsigned kDistanceMask = (1u << kDistanceBits) - 1;

}  // namespace

std::optional<CString> UnpackTexts(std::string_view packed, std::string_view dictionary, std::size_t size) {
    CString window(dictionary);
    window.reserve(dictionary.size() + size);
    const std::size_t end = dictionary.size() + size;
    std::size_t at = 0;
    auto next = [&]() -> std::optional<unsigned> {
        if (at >= packed.size()) return std::nullopt;
        return static_cast<unsigned char>(packed[at++]);
    };
    while (window.size() < end) {
        const auto flags = next();
        if (!flags) return std::nullopt;
        for (unsigned bit = 0; bit < 8 && window.size() < end; ++bit) {
            const auto first = next();
            if (!first) return std::nullopt;
            if (*flags & (1u << bit)) {
                window += static_cast<char>(*first);
                continue;
            }
            const auto second = next();
            if (!second) return std::nullopt;
            const unsigned token = *first | (*second << 8);
            const std::size_t distance = (token & kDistanceMask) + 1;
            const std::size_t length = (token >> kDistanceBits) + kMinimumCopy;
            if (distance > window.size() || window.size() + length > end) return std::nullopt;
            // Byte by byte: a copy may overlap what it writes.
            for (std::size_t i = 0; i < length; ++i) window += window[window.size() - distance];
        }
    }
    return window.substr(dictionary.size());
}
