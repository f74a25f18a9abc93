// Loading the setup information and the lookups the phases make in it.

#include <memory>
#include <new>

#include "app/uninst_app.h"
#include "setupinfo/setup_text.h"
#include "text/string_index.h"
#include "text/text.h"

namespace {


// The value of "NoUninstall" that turns the flag on.
constexpr char kNoUninstallOn[] = "1";

// GetFileSize's failure value: no text of that size can be read.
constexpr std::uint32_t kInvalidFileSize = 0xFFFFFFFFu;

constexpr std::size_t kNameField = 3;
constexpr std::size_t kDestinationField = 4;

bool ReadWholeFile(IOpenFile& file, CString& text) {
    const std::uint32_t size = file.GetSize();
    if (size == kInvalidFileSize || size > text.max_size()) return false;
    // A file larger than the memory the system can give is a read error, not the end of the
    // program: the room is asked for first without failing, then taken.
    if (!std::unique_ptr<char[]>(new (std::nothrow) char[size + std::size_t{1}])) return false;
    text.assign(size, '\0');
    std::uint32_t bytesRead = 0;
    return file.Read(text, bytesRead) && bytesRead >= size;
}

}  // namespace

void CUninstApp::ReadSection(const CString& name, CStringArray& lines) const {
    ReadSectionLines(m_setupText, name, lines, m_codePage);
}

CString CUninstApp::GetSetupValue(const CString& section, const CString& key) const {
    CStringArray lines;
    ReadSection(section, lines);
    return FindKeyValue(lines, key, m_codePage);
}

CString CUninstApp::FindFileLine(const CString& name) const {
    CStringArray fields;
    for (const CString& line : m_fileLines) {
        SplitFields(line, fields, m_codePage);
        if (fields.size() >= kNameField && EqualsNoCase(fields[kNameField - 1], name, m_codePage)) return line;
    }
    return CString();
}

CString CUninstApp::ResolveFileLine(const CString& line) {
    CStringArray fields;
    SplitFields(line, fields, m_codePage);
    if (fields.size() < kDestinationField) return CString();
    if (fields[kDestinationField - 1].empty()) return InAppFolder(fields[kNameField - 1]);

    CString path = fields[kDestinationField - 1];
    if (!ExpandVariables(path)) return CString();
    if (!IsAbsolutePath(path)) path = InAppFolder(path);
    return path;
}

bool CUninstApp::LoadSetupInfo(std::unique_ptr<IOpenFile> setupFile) {
    CString text;
    const bool read = ReadWholeFile(*setupFile, text);
    setupFile.reset();
    if (!read) {
        m_setupText.clear();
        ShowMessage(TextId::SetupInfReadError);
        return false;
    }
    m_setupText = std::move(text);

    m_appName = GetSetupValue("SetupOptions", "AppName");
    const bool noUninstall = GetSetupValue("SetupOptions", "NoUninstall") == kNoUninstallOn;

    BuildFileList();
    ReadSection("UnInstall", m_uninstallFiles);
    ReadSection("UnInstall.Shared", m_uninstallShared);
    if (m_uninstallFiles.empty()) {
        ShowMessage(noUninstall ? TextId::NoUninstallNoFiles : TextId::UninstallSectionEmpty);
        return false;
    }
    if (noUninstall) ShowMessage(TextId::NoUninstallWarning);
    ReadSection("SharedComponents", m_sharedComponents);
    return true;
}

void CUninstApp::BuildFileList() {
    CStringArray lines;
    auto append = [&](const CString& section) {
        ReadSection(section, lines);
        m_fileLines.insert(m_fileLines.end(), lines.begin(), lines.end());
    };
    m_fileLines.clear();
    append("Files");
    append("Files." + m_osName);

    // An option listed twice would only repeat its lines behind the first copy, where no
    // lookup can reach them; and all options' sections are found in one scan, since one scan
    // per option makes a long list of options take quadratic time.
    CStringArray options;
    CStringArray fields;
    CStringArray sections;
    StringIndex seen;
    ReadSection("Options", options);
    for (const CString& option : options) {
        SplitFields(option, fields, m_codePage);
        if (fields.size() < 3 || !seen.Insert(FoldAscii(fields[0], m_codePage)).second) continue;
        sections.push_back("Option." + fields[0]);
        sections.push_back("Option." + fields[0] + "." + m_osName);
    }
    AppendSectionsLines(m_setupText, sections, m_fileLines, m_codePage);
}
