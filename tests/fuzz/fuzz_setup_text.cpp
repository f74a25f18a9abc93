// The setup information's readers over arbitrary bytes: sections, key lines, fields, run lines
// and registry lines must neither crash nor break their own invariants.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <unordered_map>

#include "setupinfo/setup_text.h"
#include "text/text.h"

namespace {

constexpr std::uint32_t kCodePages[] = {1252, 932, 936, 949, 950};

void Check(bool condition) {
    if (!condition) std::abort();
}

// Every byte from a to z raised, whatever character it belongs to.
CString ByteUpper(std::string_view text) {
    CString upper(text);
    for (char& byte : upper) {
        if (byte >= 'a' && byte <= 'z') byte = static_cast<char>(byte - 'a' + 'A');
    }
    return upper;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first line names the section to read; the rest is the file.
    const auto feed = input.find('\n');
    const std::string_view name = input.substr(0, feed == std::string_view::npos ? 0 : feed);
    const std::string_view text = feed == std::string_view::npos ? input : input.substr(feed + 1);

    const CodePage codePage = *CodePage::Known(kCodePages[size % 5]);

    CStringArray lines;
    ReadSectionLines(text, name, lines, codePage);
    CStringArray fields;
    // The first value of each key, found by its folded form: the way the phases find a listed line.
    std::unordered_map<CString, CString> firstValues;
    const CString* previous = nullptr;
    for (const CString& line : lines) {
        Check(!line.empty() && !IsWhiteSpace(line.front()) && !IsWhiteSpace(line.back()));
        Check(line.find('\n') == CString::npos && line.find('\0') == CString::npos);
        // The lookup of a key's value finds this line, or an earlier one of the same key.
        const auto equals = line.find('=');
        if (equals != CString::npos) {
            const CString key = line.substr(0, equals);
            const CString value(TrimWhiteSpace(std::string_view(line).substr(equals + 1)));
            const CString& first = firstValues.emplace(FoldAscii(key, codePage), value).first->second;
            Check(FindKeyValue(lines, key, codePage) == first);
        }
        // A folder is cut after a backslash character.
        const CString folder = FolderOf(line, codePage);
        Check(folder.empty() || (EndsWithBackslash(folder, codePage) && line.compare(0, folder.size(), folder) == 0));
        // Folding and comparing agree on which texts are equal but for the case of their letters:
        // a second byte of a character is no letter to either.
        const CString upper = ByteUpper(line);
        Check((FoldAscii(line, codePage) == FoldAscii(upper, codePage)) == EqualsNoCase(line, upper, codePage));
        if (previous) {
            Check((FoldAscii(line, codePage) == FoldAscii(*previous, codePage)) == EqualsNoCase(line, *previous, codePage));
        }
        previous = &line;

        SplitFields(line, fields, codePage);
        Check(!fields.empty());
        std::size_t total = 0;
        for (const CString& field : fields) total += field.size();
        Check(total <= line.size());

        const RunLine run = SplitRunLine(line);
        Check(run.program.size() + run.parameters.size() <= line.size());

        if (const auto entry = ParseRegistryLine(line)) {
            Check(!entry->keyPath.empty() && entry->keyPath.find('=') == CString::npos);
            Check(entry->valueName.size() + entry->data.size() <= line.size());
        } else {
            Check(line.find('=') == CString::npos || line.front() == '=');
        }
    }
    // Raw input lines too, with the bytes that sections never deliver.
    SplitFields(input, fields, codePage);
    SplitRunLine(input);
    ParseRegistryLine(input);
    return 0;
}
