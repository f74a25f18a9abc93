#include "platform/plan/plan_files.h"

#include <algorithm>

#include "text/text.h"

namespace {

constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kDirNotEmpty = 145;
constexpr std::uint32_t kAlreadyExists = 183;
constexpr std::uint32_t kDirectory = 267;

constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kHidden = 0x02;
constexpr std::uint32_t kSystem = 0x04;
// The names a full folder's state shows before it says how many more there are.
constexpr std::size_t kNamesShown = 5;
constexpr char kInUseRefused[] = "in use: refused";
constexpr char kHeldRefused[] = "missing, or held open without delete sharing: refused";
// The unique number of a temporary file is only known when the system makes the file.
// The temporary file's unique number, which only the real run draws.
constexpr char kTempNumber[] = "xxxx.tmp";
// The private folder's number: the real run draws one at random; the plan names the first free
// one, with hexadecimal digits as the real name has, so that the run's later steps know it.
constexpr std::uint32_t kFolderNumbers = 0x10000;

CString ParentOf(const CString& key, const CodePage& codePage) {
    const std::size_t cut = codePage.FindLast(key, '\\');
    return cut == CString::npos ? CString() : key.substr(0, cut);
}

// A drive ("c:") or a share ("\\server\share"), which no call removes.
bool IsRootKey(const CString& key, const CodePage& codePage) {
    std::size_t separators = 0;
    for (std::size_t cut = codePage.Find(key, '\\'); cut != CString::npos; cut = codePage.Find(key, '\\', cut + 1)) {
        ++separators;
    }
    const bool unc = key.size() >= 2 && key[0] == '\\' && key[1] == '\\';
    return unc ? separators <= 3 : separators == 0;
}

CString DescribeAttributes(std::uint32_t attributes) {
    CString text;
    auto add = [&](std::uint32_t bit, const char* name) {
        if ((attributes & bit) != 0) text += (text.empty() ? "" : ", ") + CString(name);
    };
    add(kReadOnly, "read-only");
    add(kHidden, "hidden");
    add(kSystem, "system");
    return text;
}

class MadeFile : public IOpenFile {
public:
    explicit MadeFile(CString content) : m_content(std::move(content)) {}
    std::uint32_t GetSize() override { return static_cast<std::uint32_t>(m_content.size()); }
    bool Read(std::string& buffer, std::uint32_t& bytesRead) override {
        const std::size_t count = std::min(buffer.size(), m_content.size() - m_position);
        std::copy_n(m_content.begin() + static_cast<std::ptrdiff_t>(m_position), count, buffer.begin());
        m_position += count;
        bytesRead = static_cast<std::uint32_t>(count);
        return true;
    }

private:
    CString m_content;
    std::size_t m_position = 0;
};

class DiscardedAppends : public IAppendFile {
public:
    bool Append(const CString&) override { return true; }
};

}  // namespace

bool PlanFiles::Fail(std::uint32_t error) {
    m_lastError = error;
    return false;
}

CString PlanFiles::Forwarded(CString text) {
    if (text.empty()) m_lastError = m_real.LastError();
    return text;
}

CString PlanFiles::KeyOf(const CString& path) {
    const CString full = m_real.FullPathName(path);
    return FoldAscii(WithoutTrailingBackslashes(full.empty() ? path : full, m_codePage), m_codePage);
}

const PlanFiles::Overlay* PlanFiles::Made(const CString& key) const {
    const Overlay* found = m_overlay.Find(key);
    return found && found->change == Change::Made ? found : nullptr;
}

bool PlanFiles::IsGone(const CString& key) const {
    if (m_overlay.Empty() || Made(key)) return false;
    // A removed folder takes everything below it along.
    for (CString step = key; !step.empty(); step = ParentOf(step, m_codePage)) {
        const Overlay* found = m_overlay.Find(step);
        if (found && found->change == Change::Gone) return true;
    }
    return false;
}

void PlanFiles::Make(const CString& path, std::uint32_t attributes, const CString& content) {
    m_overlay[KeyOf(path)] = Overlay{Change::Made, path, attributes, content};
}

CString PlanFiles::StateOfTarget(const CString& path) {
    return FileExists(path) ? planstate::kExists : planstate::kMissing;
}

bool PlanFiles::FileExists(const CString& path) {
    const auto attributes = GetAttributes(path);
    return attributes && (*attributes & kAttributeDirectory) == 0;
}

std::optional<std::uint32_t> PlanFiles::GetAttributes(const CString& path) {
    const CString key = KeyOf(path);
    if (const Overlay* made = Made(key)) return made->attributes;
    if (IsGone(key)) {
        Fail(kFileNotFound);
        return std::nullopt;
    }
    const auto real = m_real.GetAttributes(path);
    if (!real) {
        Fail(m_real.LastError());
        return std::nullopt;
    }
    const Overlay* changed = m_overlay.Find(key);
    return changed ? changed->attributes : *real;
}

std::optional<CStringArray> PlanFiles::ListFolder(const CString& path) {
    const CString key = KeyOf(path);
    const auto attributes = GetAttributes(path);
    if (!attributes || (*attributes & kAttributeDirectory) == 0) {
        Fail(kPathNotFound);
        return std::nullopt;
    }
    CStringArray names;
    StringIndex seen;
    if (!Made(key)) {
        if (const auto real = m_real.ListFolder(path)) {
            for (const CString& name : *real) {
                const CString child = key + "\\" + FoldAscii(name, m_codePage);
                if (!IsGone(child) && seen.Insert(child).second) names.push_back(name);
            }
        }
    }
    for (std::size_t number = 0; number < m_overlay.Size(); ++number) {
        const CString& madeKey = m_overlay.KeyAt(number);
        const Overlay& made = m_overlay.ValueAt(number);
        if (made.change != Change::Made || ParentOf(madeKey, m_codePage) != key || !seen.Insert(madeKey).second) continue;
        const std::string_view madePath = WithoutTrailingBackslashes(made.path, m_codePage);
        names.emplace_back(madePath.substr(m_codePage.FindLast(madePath, '\\') + 1));
    }
    return names;
}

std::unique_ptr<IOpenFile> PlanFiles::OpenForReading(const CString& path) {
    const CString key = KeyOf(path);
    if (const Overlay* made = Made(key)) return std::make_unique<MadeFile>(made->content);
    if (IsGone(key)) {
        Fail(kFileNotFound);
        return nullptr;
    }
    auto file = m_real.OpenForReading(path);
    if (!file) m_lastError = m_real.LastError();
    return file;
}

CString PlanFiles::ShortPathName(const CString& path) {
    const CString key = KeyOf(path);
    if (Made(key)) return path;
    if (IsGone(key)) {
        Fail(kFileNotFound);
        return CString();
    }
    return Forwarded(m_real.ShortPathName(path));
}

bool PlanFiles::CreateFolder(const CString& path) {
    if (GetAttributes(path)) {
        m_recorder.Add(PlanVerb::CreateFolder, path, planstate::kExists, false);
        return Fail(kAlreadyExists);
    }
    m_recorder.Add(PlanVerb::CreateFolder, path, planstate::kMissing, true);
    Make(path, kAttributeDirectory, CString());
    return true;
}

std::optional<CString> PlanFiles::CreateUniqueFolder(const CString& parent, const CString& prefix) {
    const auto attributes = GetAttributes(parent);
    if (!attributes || (*attributes & kAttributeDirectory) == 0) {
        Fail(kPathNotFound);
        return std::nullopt;
    }
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (std::uint32_t number = 0; number < kFolderNumbers; ++number) {
        CString name = WithTrailingBackslash(parent, m_codePage) + prefix;
        for (int shift = 12; shift >= 0; shift -= 4) name += kDigits[(number >> shift) & 0xFu];
        if (GetAttributes(name)) continue;
        m_recorder.Add(PlanVerb::CreateFolder, name, "a new folder", true);
        Make(name, kAttributeDirectory, CString());
        return name;
    }
    Fail(kAlreadyExists);
    return std::nullopt;
}

std::optional<CString> PlanFiles::CreateTempFileName(const CString& folder, const CString& prefix) {
    const auto attributes = GetAttributes(folder);
    if (!attributes || (*attributes & kAttributeDirectory) == 0) {
        Fail(kPathNotFound);
        return std::nullopt;
    }
    const CString name = WithTrailingBackslash(folder, m_codePage) + prefix + kTempNumber;
    m_recorder.Add(PlanVerb::CreateTempFile, name, "a new empty file", true);
    Make(name, 0, CString());
    return name;
}

bool PlanFiles::Copy(const CString& from, const CString& to) {
    if (!FileExists(from)) return Fail(kFileNotFound);
    m_recorder.Add(PlanVerb::CopyFile, from, "target " + StateOfTarget(to), true, to);
    Make(to, 0, CString());
    return true;
}

bool PlanFiles::SetAttributes(const CString& path, std::uint32_t attributes) {
    const auto current = GetAttributes(path);
    if (!current) return false;
    const CString was = DescribeAttributes(*current);
    m_recorder.Add(PlanVerb::ClearAttributes, path, was.empty() ? CString("none that matter") : was, !was.empty());
    const std::uint32_t kept = (*current & kAttributeDirectory) | attributes;
    Overlay& entry = m_overlay[KeyOf(path)];
    if (entry.change != Change::Made) entry.change = Change::Attributes;
    entry.attributes = kept;
    return true;
}

bool PlanFiles::Delete(const CString& path) {
    // The attribute change just before a deletion of the same file belongs to its line.
    CString cleared;
    auto& actions = m_recorder.Actions();
    if (!actions.empty() && actions.back().verb == PlanVerb::ClearAttributes && actions.back().item == path) {
        if (actions.back().changes) cleared = ", " + actions.back().state + ": cleared first";
        actions.pop_back();
    }
    auto record = [&](const CString& state, bool changes) {
        m_recorder.Add(PlanVerb::DeleteFile, path, state, changes);
    };
    const auto attributes = GetAttributes(path);
    if (!attributes) {
        record(planstate::kMissing, false);
        return Fail(kFileNotFound);
    }
    if ((*attributes & kAttributeDirectory) != 0) {
        record("a folder: refused", false);
        return Fail(kAccessDenied);
    }
    if ((*attributes & kReadOnly) != 0) {
        record(planstate::kReadOnlyRefused, false);
        return Fail(kAccessDenied);
    }
    // A file that another program holds open refuses to be opened alone, as it would refuse the
    // deletion; opening it for reading changes nothing.
    if (!Made(KeyOf(path)) && !m_real.OpenForReading(path) && m_real.LastError() == kSharingViolation) {
        record(kInUseRefused, false);
        return Fail(kSharingViolation);
    }
    record(planstate::kExists + cleared, true);
    Remove(KeyOf(path));
    return true;
}

bool PlanFiles::OpensForDeletion(const CString& path) {
    const CString key = KeyOf(path);
    if (Made(key)) return true;
    if (IsGone(key)) return Fail(kFileNotFound);
    const bool opens = m_real.OpensForDeletion(path);
    if (!opens) m_lastError = m_real.LastError();
    return opens;
}

bool PlanFiles::RemoveFolder(const CString& path) {
    auto record = [&](const CString& state, bool changes) {
        m_recorder.Add(PlanVerb::RemoveFolder, path, state, changes);
    };
    const CString key = KeyOf(path);
    const auto attributes = GetAttributes(path);
    if (!attributes) {
        record(planstate::kMissing, false);
        return Fail(kFileNotFound);
    }
    if ((*attributes & kAttributeDirectory) == 0) {
        record("a file: refused", false);
        return Fail(kDirectory);
    }
    if (IsRootKey(key, m_codePage)) {
        record("a drive root: refused", false);
        return Fail(kAccessDenied);
    }
    const CStringArray names = ListFolder(path).value_or(CStringArray());
    if (!names.empty()) {
        CString shown;
        for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i) shown += (i == 0 ? "" : ", ") + names[i];
        if (names.size() > kNamesShown) shown += ", ...";
        record("holds " + std::to_string(names.size()) + " then: " + shown + "; stays", false);
        return Fail(kDirNotEmpty);
    }
    if ((*attributes & kReadOnly) != 0) {
        record(planstate::kReadOnlyRefused, false);
        return Fail(kAccessDenied);
    }
    record("empty by then", true);
    Remove(key);
    return true;
}

bool PlanFiles::Move(const CString& from, const CString& to) {
    // A rename needs what an open for deletion needs: a file that is there, and delete sharing
    // from whoever holds it. The run moves only to a name that it found free.
    const bool moves = OpensForDeletion(from);
    m_recorder.Add(PlanVerb::MoveFile, from, moves ? planstate::kExists : kHeldRefused, moves, to);
    if (!moves) return false;
    Make(to, 0, CString());
    Remove(KeyOf(from));
    return true;
}

bool PlanFiles::DeleteAtRestart(const CString& path) {
    const char* state = GetAttributes(path) ? planstate::kExists : planstate::kMissing;
    m_recorder.Add(PlanVerb::DeleteAtRestart, path, state, true);
    return true;
}

std::unique_ptr<IAppendFile> PlanFiles::OpenForAppending(const CString& path) {
    m_recorder.Add(PlanVerb::AppendToFile, path, StateOfTarget(path), true);
    if (!FileExists(path)) Make(path, 0, CString());
    return std::make_unique<DiscardedAppends>();
}

std::optional<CString> PlanFiles::ReadSharedFile(const CString& path) {
    const CString key = KeyOf(path);
    if (const Overlay* made = Made(key)) return made->content;
    if (IsGone(key)) {
        Fail(kFileNotFound);
        return std::nullopt;
    }
    auto content = m_real.ReadSharedFile(path);
    if (!content) m_lastError = m_real.LastError();
    return content;
}

bool PlanFiles::WriteWholeFile(const CString& path, const CString& content) {
    // A rewrite that keeps the old lines (WININIT.INI's, say) is described by the lines it adds.
    const CString before = ReadSharedFile(path).value_or(CString());
    CString added;
    std::size_t position = 0;
    while (position < content.size()) {
        const std::size_t feed = content.find('\n', position);
        const std::size_t next = feed == CString::npos ? content.size() : feed + 1;
        CString line = content.substr(position, next - position);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (!line.empty() && before.find(line) == CString::npos) added += (added.empty() ? "" : "; ") + line;
        position = next;
    }
    m_recorder.Add(PlanVerb::WriteFile, path, StateOfTarget(path), true,
                   added.empty() ? std::to_string(content.size()) + " bytes" : "adds " + added);
    Make(path, 0, content);
    return true;
}
