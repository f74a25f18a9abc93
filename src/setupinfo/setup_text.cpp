#include "setupinfo/setup_text.h"

#include <algorithm>

#include "text/string_index.h"
#include "text/text.h"

namespace {

// Calls visit with each line of text (without its line feed) until visit returns false.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    while (!text.empty()) {
        const auto feed = text.find('\n');
        const std::string_view line = text.substr(0, feed);
        if (!visit(line)) return;
        if (feed == std::string_view::npos) return;
        text.remove_prefix(feed + 1);
    }
}

// The text between quotes where each doubled quote stands for one; stops after the closing quote.
CString Unquote(std::string_view text, std::size_t& position) {
    CString result;
    while (position < text.size()) {
        const auto quote = text.find('"', position);
        if (quote == std::string_view::npos) {
            result.append(text.substr(position));
            position = text.size();
            break;
        }
        result.append(text.substr(position, quote - position));
        if (quote + 1 < text.size() && text[quote + 1] == '"') {
            result += '"';
            position = quote + 2;
            continue;
        }
        position = quote + 1;
        break;
    }
    return result;
}

}  // namespace

std::string_view VisibleText(std::string_view text) { return text.substr(0, text.find('\0')); }

namespace {

// Appends the section lines of the body that starts at offset of the visible text.
void AppendBodyLines(std::string_view text, std::size_t offset, CStringArray& lines, const CodePage& codePage) {
    ForEachLine(text.substr(offset), [&](std::string_view line) {
        const std::string_view rest = SkipBlankBytes(line, codePage);
        if (!rest.empty() && rest.front() == '[') return false;
        if (!rest.empty() && rest.front() == ';') return true;
        const std::string_view trimmed = TrimWhiteSpace(rest);
        if (!trimmed.empty()) lines.emplace_back(trimmed);
        return true;
    });
}

// Calls visit with each line's text after its leading blank bytes and the offset of the line
// that follows it, until visit returns false.
template <typename Visit>
void ForEachLineStart(std::string_view text, const CodePage& codePage, Visit visit) {
    std::size_t start = 0;
    ForEachLine(text, [&](std::string_view line) {
        const std::size_t next = std::min(start + line.size() + 1, text.size());
        start = next;
        return visit(SkipBlankBytes(line, codePage), next);
    });
}

}  // namespace

void ReadSectionLines(std::string_view text, std::string_view name, CStringArray& lines, const CodePage& codePage) {
    lines.clear();
    const CString header = "[" + CString(name) + "]";
    text = VisibleText(text);
    ForEachLineStart(text, codePage, [&](std::string_view rest, std::size_t bodyStart) {
        if (!StartsWithNoCase(rest, header, codePage)) return true;
        AppendBodyLines(text, bodyStart, lines, codePage);
        return false;
    });
}

void AppendSectionsLines(std::string_view text, const CStringArray& names, CStringArray& lines,
                         const CodePage& codePage) {
    text = VisibleText(text);
    // A name without "]" matches exactly the header lines whose text up to their first "]" is
    // that name, so one scan finds the first header of every such name.
    StringMap<std::optional<std::size_t>> bodies;
    for (const CString& name : names) {
        if (codePage.Find(name, ']') == CString::npos) bodies[FoldAscii(name, codePage)];
    }
    std::size_t unfound = bodies.Size();
    ForEachLineStart(text, codePage, [&](std::string_view rest, std::size_t bodyStart) {
        if (unfound == 0) return false;
        if (rest.empty() || rest.front() != '[') return true;
        const auto close = codePage.Find(rest, ']', 1);
        if (close == std::string_view::npos) return true;
        std::optional<std::size_t>* found = bodies.Find(FoldAscii(rest.substr(1, close - 1), codePage));
        if (found && !*found) {
            *found = bodyStart;
            --unfound;
        }
        return true;
    });

    CStringArray section;
    for (const CString& name : names) {
        if (codePage.Find(name, ']') != CString::npos) {
            ReadSectionLines(text, name, section, codePage);
            lines.insert(lines.end(), section.begin(), section.end());
        } else if (const std::optional<std::size_t>& body = *bodies.Find(FoldAscii(name, codePage))) {
            AppendBodyLines(text, *body, lines, codePage);
        }
    }
}

CString FindKeyValue(const CStringArray& lines, std::string_view key, const CodePage& codePage) {
    const CString prefix = CString(key) + "=";
    for (const CString& line : lines) {
        if (StartsWithNoCase(line, prefix, codePage)) return CString(TrimWhiteSpace(std::string_view(line).substr(prefix.size())));
    }
    return CString();
}

void SplitFields(std::string_view line, CStringArray& fields, const CodePage& codePage) {
    fields.clear();
    if (line.empty()) return;

    std::size_t i = 0;
    auto skipBlanks = [&] { i = line.size() - SkipBlankBytes(line.substr(i), codePage).size(); };
    skipBlanks();
    for (;;) {
        if (i < line.size() && (line[i] == '"' || line[i] == '\'')) {
            const char quote = line[i];
            const auto close = line.find(quote, i + 1);
            if (close == std::string_view::npos) {
                fields.emplace_back(line.substr(i + 1));
                i = line.size();
            } else {
                fields.emplace_back(line.substr(i + 1, close - i - 1));
                i = line.find(',', close + 1);
                if (i == std::string_view::npos) i = line.size();
            }
        } else {
            const auto comma = line.find(',', i);
            const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
            fields.emplace_back(line.substr(i, end - i));
            i = end;
        }
        if (i >= line.size()) return;
        ++i;
        skipBlanks();
        if (i >= line.size()) return;
    }
}

RunLine SplitRunLine(std::string_view line) {
    const auto comma = line.find(',');
    std::string_view program = TrimRightWhiteSpace(line.substr(0, comma));
    const std::string_view parameters =
        comma == std::string_view::npos ? std::string_view() : TrimLeftWhiteSpace(line.substr(comma + 1));

    if (program.size() > 2 && program.front() == '"') {
        program = TrimRightWhiteSpace(program);
        if (program.size() > 1 && program.back() == '"') {
            program = program.substr(1, program.size() - 2);
        } else {
            program.remove_prefix(1);
        }
    }
    return RunLine{CString(program), CString(parameters)};
}

bool NamesNoProgram(const RunLine& run) { return TrimWhiteSpace(run.program).empty(); }

std::optional<RegistryLine> ParseRegistryLine(std::string_view line) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0) return std::nullopt;

    RegistryLine result;
    result.keyPath = CString(line.substr(0, equals));
    const std::string_view rest = line.substr(equals + 1);

    std::string_view data;
    if (!rest.empty() && rest.front() == '"') {
        std::size_t position = 1;
        result.valueName = Unquote(rest, position);
        if (position < rest.size() && rest[position] == '=') data = rest.substr(position + 1);
    } else {
        const auto next = rest.find('=');
        if (next != std::string_view::npos) {
            const std::string_view name = TrimWhiteSpace(rest.substr(0, next));
            if (!name.empty() && name.front() != '@') result.valueName = CString(name);
            data = rest.substr(next + 1);
        }
    }

    data = TrimWhiteSpace(data);
    if (data.size() >= 2 && data.front() == '"' && data.back() == '"') {
        std::size_t position = 0;
        const std::string_view inner = data.substr(1, data.size() - 2);
        while (position < inner.size()) {
            // Inside quoted data every doubled quote stands for one; a single one stays.
            const auto quote = inner.find('"', position);
            if (quote == std::string_view::npos) {
                result.data.append(inner.substr(position));
                break;
            }
            result.data.append(inner.substr(position, quote - position + 1));
            position = quote + 1;
            if (position < inner.size() && inner[position] == '"') ++position;
        }
    } else {
        result.data = CString(data);
    }
    return result;
}
