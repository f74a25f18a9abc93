#pragma once
// The line formats of the setup information, as free functions over plain text so that each
// parser can be tested and fuzzed on its own.

#include <optional>
#include <string_view>

#include "platform/types.h"
#include "text/code_page.h"

// The text that every lookup sees: up to the first NUL byte.
std::string_view VisibleText(std::string_view text);

// Empties lines, then appends the trimmed, non-comment lines of the first section called name.
void ReadSectionLines(std::string_view text, std::string_view name, CStringArray& lines, const CodePage& codePage);

// Appends the lines of each named section in turn, as ReadSectionLines gives them, scanning the
// text once for all of them.
void AppendSectionsLines(std::string_view text, const CStringArray& names, CStringArray& lines,
                         const CodePage& codePage);

// The trimmed value of the first line of lines that begins with key + "=", or empty.
CString FindKeyValue(const CStringArray& lines, std::string_view key, const CodePage& codePage);

// Empties fields, then appends the comma fields of line, with the quoting rules of file lines.
void SplitFields(std::string_view line, CStringArray& fields, const CodePage& codePage);

// A line of the programs to run at uninstall: the program, then the parameters behind the first comma.
struct RunLine {
    CString program;
    CString parameters;
};
RunLine SplitRunLine(std::string_view line);
// The program is empty or white space only: joined to the application folder it would name the
// folder itself.
bool NamesNoProgram(const RunLine& run);

// A line of the registry keys to remove: key path "=" value name "=" data.
struct RegistryLine {
    CString keyPath;
    CString valueName;  // empty for the default value
    CString data;
};
// nullopt for a line without "=" or beginning with one.
std::optional<RegistryLine> ParseRegistryLine(std::string_view line);
