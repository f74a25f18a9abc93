#include "platform/sim/sim_text.h"

namespace {

bool StartsDoubleByte(std::string_view text, std::size_t i, const CodePage& codePage) {
    return codePage.IsLeadByte(text[i]) && i + 1 < text.size();
}

}  // namespace

CString SimFold(std::string_view text, const CodePage& codePage) {
    CString folded(text);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (StartsDoubleByte(folded, i, codePage)) {
            ++i;
        } else if (folded[i] >= 'A' && folded[i] <= 'Z') {
            folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
        }
    }
    return folded;
}

bool SimEqualsNoCase(std::string_view a, std::string_view b, const CodePage& codePage) {
    return SimFold(a, codePage) == SimFold(b, codePage);
}

std::size_t SimFindSeparator(std::string_view path, std::size_t from, const CodePage& codePage) {
    for (std::size_t i = from; i < path.size(); ++i) {
        if (StartsDoubleByte(path, i, codePage)) {
            ++i;
        } else if (path[i] == '\\') {
            return i;
        }
    }
    return std::string_view::npos;
}

std::size_t SimLastSeparator(std::string_view path, const CodePage& codePage) {
    std::size_t last = std::string_view::npos;
    for (std::size_t i = SimFindSeparator(path, 0, codePage); i != std::string_view::npos; i = SimFindSeparator(path, i + 1, codePage)) {
        last = i;
    }
    return last;
}

std::size_t SimSeparatorCount(std::string_view path, const CodePage& codePage) {
    std::size_t count = 0;
    for (std::size_t i = SimFindSeparator(path, 0, codePage); i != std::string_view::npos; i = SimFindSeparator(path, i + 1, codePage)) {
        ++count;
    }
    return count;
}

std::vector<std::size_t> SimSeparators(std::string_view path, const CodePage& codePage) {
    std::vector<std::size_t> separators;
    for (std::size_t i = SimFindSeparator(path, 0, codePage); i != std::string_view::npos; i = SimFindSeparator(path, i + 1, codePage)) {
        separators.push_back(i);
    }
    return separators;
}

CStringArray SimSplitPath(std::string_view path, const CodePage& codePage) {
    CStringArray parts;
    std::size_t start = 0;
    for (std::size_t i = SimFindSeparator(path, 0, codePage); i != std::string_view::npos; i = SimFindSeparator(path, i + 1, codePage)) {
        parts.emplace_back(path.substr(start, i - start));
        start = i + 1;
    }
    parts.emplace_back(path.substr(start));
    return parts;
}
