#include "platform/sim/sim_text.h"

CString SimFold(std::string_view text) {
    CString folded(text);
    for (char& byte : folded) {
        if (byte >= 'A' && byte <= 'Z') byte = static_cast<char>(byte - 'A' + 'a');
    }
    return folded;
}

bool SimEqualsNoCase(std::string_view a, std::string_view b) {
    return SimFold(a) == SimFold(b);
}

CStringArray SimSplitPath(std::string_view path) {
    CStringArray parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('\\', start);
        parts.emplace_back(path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}
