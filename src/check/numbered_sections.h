#pragma once
// The section lines of a setup information file with the numbers of the lines they come from,
// so that a finding can name its line. Gives exactly the lines ReadSectionLines gives.

#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/types.h"
#include "text/code_page.h"

struct NumberedLine {
    int number = 0;          // counted from 1
    CString text;            // as ReadSectionLines gives it
    bool lostBytes = false;  // bytes 128-255 at its start were skipped as blanks
};
using NumberedLines = std::vector<NumberedLine>;

// Indexes the headers once, so that the sections of a long list of options are found without
// scanning the text once per option. The text must outlive the object.
class NumberedText {
public:
    NumberedText(std::string_view text, const CodePage& codePage);

    // The lines of the first section called name; empty when there is none.
    NumberedLines Section(std::string_view name) const;
    // The number of the first section's header line; 0 when there is none.
    int HeaderLine(std::string_view name) const;

private:
    std::size_t BlankPrefixLength(std::string_view line) const;

    CodePage m_codePage;
    std::vector<std::string_view> m_lines;        // the visible text's lines; line n at n - 1
    std::unordered_map<CString, int> m_headers;  // folded text between "[" and the first "]"
};

// The number of the line that holds the first NUL byte, after which no lookup sees anything; 0
// when there is none.
int LineOfFirstNul(std::string_view text);
