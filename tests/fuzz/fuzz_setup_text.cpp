// The setup information's readers over arbitrary bytes: sections, key lines, fields, run lines
// and registry lines must neither crash nor break their own invariants.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "setupinfo/setup_text.h"
#include "text/text.h"

namespace {

constexpr std::uint32_t kCodePages[] = {1252, 932, 936, 949, 950};

void Check(bool condition) {
    if (!condition) std::abort();
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
    for (const CString& line : lines) {
        Check(!line.empty() && !IsWhiteSpace(line.front()) && !IsWhiteSpace(line.back()));
        Check(line.find('\n') == CString::npos && line.find('\0') == CString::npos);
        FindKeyValue(lines, line.substr(0, line.find('=')), codePage);
        // A folder is cut after a backslash character, and folding keeps every character's size.
        const CString folder = FolderOf(line, codePage);
        Check(folder.empty() || (EndsWithBackslash(folder, codePage) && line.compare(0, folder.size(), folder) == 0));
        Check(EqualsNoCase(FoldAscii(line, codePage), line, codePage));

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
