#include "check/argument_words.h"

namespace {

bool IsBlank(char byte) { return byte == ' ' || byte == '\t'; }

}  // namespace

CStringArray SplitArgumentWords(std::string_view commandLine, const CodePage& codePage) {
    std::size_t i = 0;
    // The program name: quoted or up to the first blank, with no backslash rules.
    if (i < commandLine.size() && commandLine[i] == '"') {
        const auto close = commandLine.find('"', 1);
        i = close == std::string_view::npos ? commandLine.size() : close + 1;
    }
    while (i < commandLine.size() && !IsBlank(commandLine[i])) i += codePage.CharacterSize(commandLine, i);

    CStringArray words;
    for (;;) {
        while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
        if (i >= commandLine.size()) return words;
        CString word;
        bool quoted = false;
        while (i < commandLine.size() && (quoted || !IsBlank(commandLine[i]))) {
            std::size_t backslashes = 0;
            while (i < commandLine.size() && commandLine[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < commandLine.size() && commandLine[i] == '"') {
                word.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    word += '"';
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                word.append(backslashes, '\\');
                if (i < commandLine.size() && (quoted || !IsBlank(commandLine[i]))) {
                    // The second byte of a double-byte character is never a backslash of these rules.
                    const std::size_t size = codePage.CharacterSize(commandLine, i);
                    word.append(commandLine.substr(i, size));
                    i += size;
                }
            }
        }
        words.push_back(std::move(word));
    }
}
