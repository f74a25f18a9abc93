#include "check/numbered_sections.h"

#include "setupinfo/setup_text.h"
#include "text/text.h"

std::size_t NumberedText::BlankPrefixLength(std::string_view line) const {
    return line.size() - SkipBlankBytes(line, m_codePage).size();
}

NumberedText::NumberedText(std::string_view text, const CodePage& codePage) : m_codePage(codePage) {
    text = VisibleText(text);
    while (!text.empty()) {
        const auto feed = text.find('\n');
        m_lines.push_back(text.substr(0, feed));
        if (feed == std::string_view::npos) break;
        text.remove_prefix(feed + 1);
    }
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const std::string_view rest = m_lines[i].substr(BlankPrefixLength(m_lines[i]));
        if (rest.empty() || rest.front() != '[') continue;
        const auto close = m_codePage.Find(rest, ']', 1);
        if (close == std::string_view::npos) continue;
        m_headers.emplace(FoldAscii(rest.substr(1, close - 1), m_codePage), static_cast<int>(i + 1));
    }
}

int NumberedText::HeaderLine(std::string_view name) const {
    const CString header = "[" + CString(name) + "]";
    // A name holding "]" cannot be found through the index, whose names end at the first "]".
    if (m_codePage.Find(name, ']') != std::string_view::npos) {
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
            if (StartsWithNoCase(m_lines[i].substr(BlankPrefixLength(m_lines[i])), header, m_codePage)) {
                return static_cast<int>(i + 1);
            }
        }
        return 0;
    }
    const auto found = m_headers.find(FoldAscii(name, m_codePage));
    return found == m_headers.end() ? 0 : found->second;
}

NumberedLines NumberedText::Section(std::string_view name) const {
    NumberedLines lines;
    const int header = HeaderLine(name);
    if (header == 0) return lines;
    for (std::size_t i = static_cast<std::size_t>(header); i < m_lines.size(); ++i) {
        const std::string_view line = m_lines[i];
        const std::size_t blanks = BlankPrefixLength(line);
        const std::string_view rest = line.substr(blanks);
        if (!rest.empty() && rest.front() == '[') break;
        if (!rest.empty() && rest.front() == ';') continue;
        const std::string_view trimmed = TrimWhiteSpace(rest);
        if (trimmed.empty()) continue;
        bool lostBytes = false;
        for (std::size_t j = 0; j < blanks; ++j) lostBytes = lostBytes || static_cast<unsigned char>(line[j]) >= 0x80;
        lines.push_back({static_cast<int>(i + 1), CString(trimmed), lostBytes});
    }
    return lines;
}

int LineOfFirstNul(std::string_view text) {
    const auto nul = text.find('\0');
    if (nul == std::string_view::npos) return 0;
    int number = 1;
    for (std::size_t i = 0; i < nul; ++i) number += text[i] == '\n' ? 1 : 0;
    return number;
}
