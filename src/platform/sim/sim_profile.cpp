#include "platform/sim/sim_profile.h"

#include "platform/sim/sim_text.h"

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

CStringArray SplitLines(std::string_view text) {
    CStringArray lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.emplace_back(Trim(text.substr(0, end)));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::optional<std::string_view> SectionName(std::string_view line, const CodePage& codePage) {
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    std::size_t close = std::string_view::npos;
    for (std::size_t i = 1; i < line.size(); i += codePage.IsLeadByte(line[i]) && i + 1 < line.size() ? 2 : 1) {
        if (line[i] == ']') {
            close = i;
            break;
        }
    }
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

std::optional<std::string_view> KeyName(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || line.front() == ';') return std::nullopt;
    return Trim(line.substr(0, equals));
}

// The lines of the first section so named: [first, last) after its heading; nullopt when absent.
std::optional<std::pair<std::size_t, std::size_t>> FindSection(const CStringArray& lines, std::string_view section,
                                                               const CodePage& codePage) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i], codePage);
        if (!name || !SimEqualsNoCase(*name, section, codePage)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !SectionName(lines[end], codePage)) ++end;
        return std::make_pair(i + 1, end);
    }
    return std::nullopt;
}

}  // namespace

CStringArray ReadProfileValues(std::string_view text, std::string_view section, std::string_view key,
                               const CodePage& codePage) {
    const CStringArray lines = SplitLines(text);
    CStringArray values;
    const auto range = FindSection(lines, section, codePage);
    if (!range) return values;
    for (std::size_t i = range->first; i < range->second; ++i) {
        const auto name = KeyName(lines[i]);
        if (name && SimEqualsNoCase(*name, key, codePage)) {
            values.emplace_back(Trim(std::string_view(lines[i]).substr(lines[i].find('=') + 1)));
        }
    }
    return values;
}
