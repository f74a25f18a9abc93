#include "platform/sim/sim_files.h"

#include <algorithm>

#include "platform/sim/sim_fault.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/sim_text.h"

namespace {

// In one pass: whether a byte is a backslash depends only on the bytes before it, so the run of
// backslashes that ends the path is the last run found from the front.
std::string_view TrimTrailingBackslashes(std::string_view path, const CodePage& codePage) {
    std::size_t runStart = std::string_view::npos;
    std::size_t previous = std::string_view::npos;
    for (std::size_t i = SimFindSeparator(path, 0, codePage); i != std::string_view::npos; i = SimFindSeparator(path, i + 1, codePage)) {
        if (previous == std::string_view::npos || previous + 1 != i) runStart = i;
        previous = i;
    }
    return previous != std::string_view::npos && previous + 1 == path.size() ? path.substr(0, runStart) : path;
}

CString WithoutTrailingBackslashes(std::string_view path, const CodePage& codePage) {
    return CString(TrimTrailingBackslashes(path, codePage));
}

bool EndsWithSeparator(std::string_view path, const CodePage& codePage) {
    const std::size_t last = SimLastSeparator(path, codePage);
    return last != std::string_view::npos && last + 1 == path.size();
}

// The lookup key of a full path: folded, without trailing backslashes ("C:\" is "c:").
CString Key(std::string_view full, const CodePage& codePage) {
    return SimFold(TrimTrailingBackslashes(full, codePage), codePage);
}

bool IsUnc(std::string_view key) { return key.size() >= 2 && key[0] == '\\' && key[1] == '\\'; }

// A drive ("c:") or a share ("\\server\share"): always there, never removed.
bool IsRootKey(std::string_view key, const CodePage& codePage) {
    const std::size_t separators = SimSeparatorCount(key, codePage);
    return IsUnc(key) ? separators <= 3 : separators == 0;
}

// Upper-case hexadecimal digits, at least width of them, as the system names temporary files
// and folders; by hand, since the Windows checker carries no formatted printing.
CString HexDigits(std::uint16_t number, std::size_t width = 1) {
    CString digits;
    do {
        digits.insert(digits.begin(), "0123456789ABCDEF"[number % 16]);
        number = static_cast<std::uint16_t>(number / 16);
    } while (number != 0 || digits.size() < width);
    return digits;
}

// True when the parts after the root hold no "." or ".." and no doubled backslash: most paths,
// which collapsing would give back unchanged.
bool IsCollapsed(std::string_view tail, const CodePage& codePage) {
    if (tail.empty()) return true;
    if (tail[0] != '\\') return false;
    for (std::size_t start = 1; start < tail.size();) {
        std::size_t end = SimFindSeparator(tail, start, codePage);
        if (end == std::string_view::npos) end = tail.size();
        const std::string_view part = tail.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return false;
        start = end + 1;
    }
    return true;
}

// The system resolves "." and ".." and merges doubled backslashes in every path it is given;
// ".." never climbs above the drive or the share.
CString Collapsed(const CString& full, const CodePage& codePage) {
    std::size_t rootEnd = 2;
    if (IsUnc(full)) {
        const std::vector<std::size_t> separators = SimSeparators(full, codePage);
        if (separators.size() < 4) return full;
        rootEnd = separators[3];
    }
    if (IsCollapsed(std::string_view(full).substr(std::min(rootEnd, full.size())), codePage)) return full;
    // Views of the path's parts, so that only the result is a new string: the checker's pictures
    // give the machine many paths with "." and ".." parts.
    const std::string_view tail = std::string_view(full).substr(std::min(rootEnd, full.size()));
    std::vector<std::string_view> parts;
    for (std::size_t start = 0; start <= tail.size();) {
        std::size_t end = SimFindSeparator(tail, start, codePage);
        if (end == std::string_view::npos) end = tail.size();
        const std::string_view part = tail.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else {
            parts.push_back(part);
        }
    }
    CString result = full.substr(0, rootEnd);
    result.reserve(full.size());
    for (const std::string_view part : parts) {
        result += '\\';
        result += part;
    }
    if (full.size() > rootEnd && EndsWithSeparator(full, codePage)) result += '\\';
    return result;
}

CString ParentKey(const CString& key, const CodePage& codePage) {
    const std::size_t cut = SimLastSeparator(key, codePage);
    return cut == CString::npos ? CString() : key.substr(0, cut);
}

class SimOpenFile : public IOpenFile {
public:
    explicit SimOpenFile(std::shared_ptr<SimFileEntry> entry) : m_entry(std::move(entry)) {
        ++m_entry->exclusiveOpens;
    }
    ~SimOpenFile() override { --m_entry->exclusiveOpens; }
    SimOpenFile(const SimOpenFile&) = delete;
    SimOpenFile& operator=(const SimOpenFile&) = delete;

    std::uint32_t GetSize() override {
        if (m_entry->readFault == SimReadFault::SizeFails) return 0xFFFFFFFFu;
        return static_cast<std::uint32_t>(m_entry->content.size());
    }

    bool Read(std::string& buffer, std::uint32_t& bytesRead) override {
        bytesRead = 0;
        if (m_entry->readFault == SimReadFault::ReadFails) return false;
        std::size_t available = m_entry->content.size() - std::min(m_position, m_entry->content.size());
        if (m_entry->readLimit) {
            available = std::min(available, *m_entry->readLimit - std::min<std::size_t>(m_position, *m_entry->readLimit));
        }
        const std::size_t count = std::min(available, buffer.size());
        std::copy_n(m_entry->content.begin() + static_cast<std::ptrdiff_t>(m_position), count, buffer.begin());
        m_position += count;
        bytesRead = static_cast<std::uint32_t>(count);
        return true;
    }

private:
    std::shared_ptr<SimFileEntry> m_entry;
    std::size_t m_position = 0;
};

class SimAppendFile : public IAppendFile {
public:
    SimAppendFile(std::shared_ptr<SimFileEntry> entry, bool failWrites, SimPower& power)
        : m_entry(std::move(entry)), m_failWrites(failWrites), m_power(power) {
        ++m_entry->sharedOpens;
    }
    ~SimAppendFile() override { --m_entry->sharedOpens; }
    SimAppendFile(const SimAppendFile&) = delete;
    SimAppendFile& operator=(const SimAppendFile&) = delete;

    bool Append(const CString& text) override {
        m_power.Use();
        if (m_failWrites) return false;
        if (!m_entry->flushedContent) m_entry->flushedContent = m_entry->content;
        m_entry->content += text;
        return true;
    }

private:
    std::shared_ptr<SimFileEntry> m_entry;
    bool m_failWrites;
    SimPower& m_power;
};

}  // namespace

SimFiles::SimFiles(SimTranscript& transcript, const SimSystem& system, SimPower& power)
    : m_transcript(transcript), m_system(system), m_power(power) {}

bool SimFiles::Fail(std::uint32_t error) {
    m_lastError = error;
    return false;
}

CString SimFiles::Resolve(const CString& path) const {
    if (path.empty()) return {};
    if (IsUnc(path)) return Collapsed(path, CurrentCodePage());
    // Most paths are full ones: the current folder is needed only for the others.
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return Collapsed(path, CurrentCodePage());
    const CString current = WithoutTrailingBackslashes(m_currentFolder, CurrentCodePage());
    if (path.size() >= 2 && path[1] == ':') {
        const CString rest = path.substr(2);
        if (SimEqualsNoCase(current.substr(0, 2), path.substr(0, 2), CurrentCodePage())) {
            return Collapsed(rest.empty() ? current : current + "\\" + rest, CurrentCodePage());
        }
        return Collapsed(path.substr(0, 2) + "\\" + rest, CurrentCodePage());
    }
    if (path[0] == '\\') return Collapsed(current.substr(0, 2) + path, CurrentCodePage());
    return Collapsed(current + "\\" + path, CurrentCodePage());
}

std::shared_ptr<SimFileEntry> SimFiles::FindFile(const CString& path) const {
    const CString full = Resolve(path);
    if (full.empty()) return nullptr;
    const auto found = FindByKey(m_files, Key(full, CurrentCodePage()));
    return found == m_files.end() ? nullptr : found->second;
}

SimFileEntry& SimFiles::ExistingFile(const CString& path) const {
    const auto entry = FindFile(path);
    if (!entry) SimFault("sim files: no file '" + path + "'");
    return *entry;
}

bool SimFiles::HasChildren(const CString& key) const {
    const CString prefix = key + "\\";
    const auto file = LowerBoundByKey(m_files, prefix);
    if (file != m_files.end() && file->first.compare(0, prefix.size(), prefix) == 0) return true;
    const auto folder = LowerBoundByKey(m_folders, prefix);
    return folder != m_folders.end() && folder->first.compare(0, prefix.size(), prefix) == 0;
}

bool SimFiles::ParentExists(const CString& key) const {
    const CString parent = ParentKey(key, CurrentCodePage());
    return !parent.empty() && (IsRootKey(parent, CurrentCodePage()) || ContainsKey(m_folders, parent));
}

void SimFiles::AddParents(const CString& full) {
    const std::string_view trimmed = TrimTrailingBackslashes(full, CurrentCodePage());
    for (std::size_t cut = SimFindSeparator(trimmed, 0, CurrentCodePage()); cut != std::string_view::npos;
         cut = SimFindSeparator(trimmed, cut + 1, CurrentCodePage())) {
        const std::string_view folder = trimmed.substr(0, cut);
        if (folder.empty()) continue;
        CString key = Key(folder, CurrentCodePage());
        if (IsRootKey(key, CurrentCodePage())) continue;
        // Most parents are there already: their name is copied only for a new one.
        const auto at = LowerBoundByKey(m_folders, key);
        if (at == m_folders.end() || key < at->first) m_folders.insert(at, {std::move(key), Folder{CString(folder), 0, false}});
    }
}

bool SimFiles::Write(const CString& full, const CString& content, std::uint32_t attributes) {
    const CString key = Key(full, CurrentCodePage());
    if (full.empty()) return Fail(fileerror::kPathNotFound);
    if (ContainsKey(m_folders, key) || IsRootKey(key, CurrentCodePage())) return Fail(fileerror::kAccessDenied);
    if (!ParentExists(key)) return Fail(fileerror::kPathNotFound);
    if (ContainsSorted(m_failWrites, key)) return Fail(fileerror::kAccessDenied);
    std::shared_ptr<SimFileEntry>& entry = ValueAt(m_files, key);
    if (!entry) {
        entry = std::make_shared<SimFileEntry>();
        entry->path = full;
        entry->flushedContent = CString();
    } else {
        if (entry->heldOpen || entry->exclusiveOpens > 0 || entry->sharedOpens > 0) {
            return Fail(fileerror::kSharingViolation);
        }
        if ((entry->attributes & kAttributeReadOnly) != 0 || entry->inUse || entry->deletionDenied) return Fail(fileerror::kAccessDenied);
    }
    if (!entry->flushedContent) entry->flushedContent = entry->content;
    entry->content = content;
    entry->attributes = attributes;
    return true;
}

std::unique_ptr<IOpenFile> SimFiles::OpenForReading(const CString& path) {
    const CString full = Resolve(path);
    const CString key = Key(full, CurrentCodePage());
    if (!full.empty() && (ContainsKey(m_folders, key) || IsRootKey(key, CurrentCodePage()))) {
        Fail(fileerror::kAccessDenied);
        return nullptr;
    }
    const auto entry = FindFile(path);
    if (!entry) {
        Fail(fileerror::kFileNotFound);
        return nullptr;
    }
    if (entry->heldOpen || entry->heldSharingDeletion || entry->exclusiveOpens > 0 || entry->sharedOpens > 0) {
        Fail(fileerror::kSharingViolation);
        return nullptr;
    }
    return std::make_unique<SimOpenFile>(entry);
}

CString SimFiles::FullPathName(const CString& path) {
    const CString full = Resolve(path);
    if (full.empty()) Fail(fileerror::kPathNotFound);
    return full;
}

CString SimFiles::ShortPathName(const CString& path) {
    if (m_failShortPaths) {
        Fail(fileerror::kAccessDenied);
        return {};
    }
    const CString key = Key(Resolve(path), CurrentCodePage());
    if (const auto configured = FindByKey(m_shortPaths, key); configured != m_shortPaths.end()) return configured->second;
    // Like GetShortPathNameA, a path that names nothing has no short form.
    if (key.empty() || (!ContainsKey(m_files, key) && !ContainsKey(m_folders, key) && !IsRootKey(key, CurrentCodePage()))) {
        Fail(fileerror::kFileNotFound);
        return {};
    }
    return path;
}

CString SimFiles::TempPath() {
    if (m_tempPath.empty()) Fail(fileerror::kPathNotFound);
    return m_tempPath;
}

bool SimFiles::CreateFolder(const CString& path) {
    m_power.Use();
    const CString full = Resolve(path);
    const CString key = Key(full, CurrentCodePage());
    if (full.empty()) return Fail(fileerror::kPathNotFound);
    if (IsRootKey(key, CurrentCodePage()) || ContainsKey(m_folders, key) || ContainsKey(m_files, key)) {
        return Fail(fileerror::kAlreadyExists);
    }
    if (!ParentExists(key)) return Fail(fileerror::kPathNotFound);
    InsertIfAbsent(m_folders, key, Folder{WithoutTrailingBackslashes(full, CurrentCodePage()), 0, false});
    return true;
}

std::optional<CString> SimFiles::CreateUniqueFolder(const CString& parent, const CString& prefix) {
    if (m_failUniqueFolders) {
        Fail(fileerror::kAccessDenied);
        return std::nullopt;
    }
    const CString base = parent + (parent.empty() || EndsWithSeparator(parent, CurrentCodePage()) ? "" : "\\") + prefix;
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        const CString path = base + HexDigits(m_nextFolderNumber, 4);
        m_nextFolderNumber = static_cast<std::uint16_t>(m_nextFolderNumber + 1);
        if (CreateFolder(path)) return path;
        if (m_lastError != fileerror::kAlreadyExists) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<CString> SimFiles::CreateTempFileName(const CString& folder, const CString& prefix) {
    m_power.Use();
    const CString key = Key(Resolve(folder), CurrentCodePage());
    if (m_failTempFileNames) {
        Fail(fileerror::kAccessDenied);
        return std::nullopt;
    }
    if (key.empty() || (!IsRootKey(key, CurrentCodePage()) && !ContainsKey(m_folders, key))) {
        Fail(fileerror::kDirectory);
        return std::nullopt;
    }
    const CString base = folder + (EndsWithSeparator(folder, CurrentCodePage()) ? "" : "\\") + prefix.substr(0, 3);
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        const std::uint16_t number = m_nextTempNumber;
        m_nextTempNumber = static_cast<std::uint16_t>(m_nextTempNumber + 1);
        if (number == 0) continue;
        const CString name = base + HexDigits(number) + ".tmp";
        if (FindFile(name)) continue;
        if (!Write(Resolve(name), {}, 0)) return std::nullopt;
        return name;
    }
    Fail(fileerror::kAlreadyExists);
    return std::nullopt;
}

bool SimFiles::Copy(const CString& from, const CString& to) {
    m_power.Use();
    if (m_failCopies) return Fail(fileerror::kAccessDenied);
    const auto source = FindFile(from);
    if (!source) return Fail(ContainsKey(m_folders, Key(Resolve(from), CurrentCodePage())) ? fileerror::kAccessDenied : fileerror::kFileNotFound);
    if (source->heldOpen || source->exclusiveOpens > 0) return Fail(fileerror::kSharingViolation);
    if (source->readFault == SimReadFault::ReadFails) return Fail(fileerror::kReadFault);
    // The copy takes the source's attributes, as CopyFileA does.
    const CString content = source->content;
    return Write(Resolve(to), content, source->attributes);
}

std::optional<std::uint32_t> SimFiles::GetAttributes(const CString& path) {
    if (const auto entry = FindFile(path)) return entry->attributes;
    const CString key = Key(Resolve(path), CurrentCodePage());
    if (!key.empty() && IsRootKey(key, CurrentCodePage())) return kAttributeDirectory;
    const auto folder = FindByKey(m_folders, key);
    if (folder == m_folders.end()) {
        Fail(fileerror::kFileNotFound);
        return std::nullopt;
    }
    return folder->second.attributes | kAttributeDirectory;
}

std::optional<CStringArray> SimFiles::ListFolder(const CString& path) {
    const CString key = Key(Resolve(path), CurrentCodePage());
    if (key.empty() || (!IsRootKey(key, CurrentCodePage()) && !ContainsKey(m_folders, key))) {
        Fail(fileerror::kPathNotFound);
        return std::nullopt;
    }
    const CString prefix = key + "\\";
    CStringArray names;
    auto collect = [&](const auto& entries, auto pathOf) {
        for (auto it = LowerBoundByKey(entries, prefix); it != entries.end() && it->first.compare(0, prefix.size(), prefix) == 0;
             ++it) {
            if (SimFindSeparator(std::string_view(it->first).substr(prefix.size()), 0, CurrentCodePage()) != std::string_view::npos) continue;
            const CString& full = pathOf(it->second);
            names.push_back(full.substr(SimLastSeparator(full, CurrentCodePage()) + 1));
        }
    };
    collect(m_folders, [](const Folder& folder) -> const CString& { return folder.path; });
    collect(m_files, [](const std::shared_ptr<SimFileEntry>& entry) -> const CString& { return entry->path; });
    return names;
}

bool SimFiles::SetAttributes(const CString& path, std::uint32_t attributes) {
    m_power.Use();
    if (const auto entry = FindFile(path)) {
        if (entry->deletionDenied) return Fail(fileerror::kAccessDenied);
        entry->attributes = attributes;
        return true;
    }
    const auto folder = FindByKey(m_folders, Key(Resolve(path), CurrentCodePage()));
    if (folder == m_folders.end()) return Fail(fileerror::kFileNotFound);
    folder->second.attributes = attributes;
    return true;
}

bool SimFiles::Delete(const CString& path) {
    m_power.Use();
    const auto result = [&](bool deleted) {
        m_transcript.Record({SimEventKind::FileDeleted, path, {}, deleted ? 1 : 0, 0});
        return deleted;
    };
    const auto entry = FindFile(path);
    if (!entry) {
        const CString key = Key(Resolve(path), CurrentCodePage());
        return result(Fail(ContainsKey(m_folders, key) ? fileerror::kAccessDenied : fileerror::kFileNotFound));
    }
    if ((entry->attributes & kAttributeReadOnly) != 0 || entry->inUse || entry->deletionDenied) {
        return result(Fail(fileerror::kAccessDenied));
    }
    if (entry->heldOpen || entry->heldSharingDeletion || entry->exclusiveOpens > 0 || entry->sharedOpens > 0) {
        return result(Fail(fileerror::kSharingViolation));
    }
    EraseByKey(m_files, Key(entry->path, CurrentCodePage()));
    return result(true);
}

bool SimFiles::OpensForDeletion(const CString& path) {
    const auto entry = FindFile(path);
    if (!entry) return Fail(fileerror::kFileNotFound);
    if (entry->deletionDenied) return Fail(fileerror::kAccessDenied);
    // Without FILE_SHARE_DELETE from the holder, an open for deletion is refused like the deletion.
    if (entry->heldOpen || entry->exclusiveOpens > 0 || entry->sharedOpens > 0) {
        return Fail(fileerror::kSharingViolation);
    }
    return true;
}

bool SimFiles::RemoveFolder(const CString& path) {
    m_power.Use();
    const auto result = [&](bool removed) {
        m_transcript.Record({SimEventKind::FolderRemoved, path, {}, removed ? 1 : 0, 0});
        return removed;
    };
    const CString key = Key(Resolve(path), CurrentCodePage());
    if (key.empty()) return result(Fail(fileerror::kPathNotFound));
    if (ContainsKey(m_files, key)) return result(Fail(fileerror::kDirectory));
    if (IsRootKey(key, CurrentCodePage())) return result(Fail(fileerror::kAccessDenied));
    const auto folder = FindByKey(m_folders, key);
    if (folder == m_folders.end()) return result(Fail(fileerror::kFileNotFound));
    if (HasChildren(key)) return result(Fail(fileerror::kDirNotEmpty));
    if (folder->second.inUse || key == Key(m_currentFolder, CurrentCodePage())) return result(Fail(fileerror::kSharingViolation));
    if ((folder->second.attributes & kAttributeReadOnly) != 0) return result(Fail(fileerror::kAccessDenied));
    m_folders.erase(folder);
    return result(true);
}

bool SimFiles::Move(const CString& from, const CString& to) {
    m_power.Use();
    const auto result = [&](bool moved) {
        m_transcript.Record({SimEventKind::FileMoved, from, to, moved ? 1 : 0, 0});
        return moved;
    };
    const auto entry = FindFile(from);
    if (!entry) return result(Fail(fileerror::kFileNotFound));
    const CString target = Resolve(to);
    const CString targetKey = Key(target, CurrentCodePage());
    if (targetKey.empty()) return result(Fail(fileerror::kPathNotFound));
    if (ContainsKey(m_files, targetKey) || ContainsKey(m_folders, targetKey)) return result(Fail(fileerror::kAlreadyExists));
    if (!ParentExists(targetKey)) return result(Fail(fileerror::kPathNotFound));
    // MoveFileA would copy across volumes and then fail to delete a file in use; the uninstaller
    // must never ask for that, so the machine refuses it outright.
    if (!SimEqualsNoCase(Resolve(from).substr(0, 2), target.substr(0, 2), CurrentCodePage())) return result(Fail(fileerror::kNotSameDevice));
    if (entry->deletionDenied) return result(Fail(fileerror::kAccessDenied));
    if (entry->heldOpen || entry->exclusiveOpens > 0 || entry->sharedOpens > 0) {
        return result(Fail(fileerror::kSharingViolation));
    }
    // The 9x family locks every file in use against renaming.
    if ((entry->inUse || entry->heldSharingDeletion) && !m_system.IsWindowsNt()) {
        return result(Fail(fileerror::kSharingViolation));
    }
    EraseByKey(m_files, Key(entry->path, CurrentCodePage()));
    entry->path = target;
    ValueAt(m_files, targetKey) = entry;
    return result(true);
}

bool SimFiles::DeleteAtRestart(const CString& path) {
    m_power.Use();
    if (m_failRestartDeletions) return Fail(fileerror::kAccessDenied);
    if (!m_flushedRestartDeletions) m_flushedRestartDeletions = m_restartDeletions;
    m_restartDeletions.push_back(path);
    m_transcript.Record({SimEventKind::RestartDeletion, path, {}, 0, 0});
    return true;
}

SimFiles& SimFiles::Restart() {
    for (auto& file : m_files) {
        file.second->inUse = false;
        file.second->heldOpen = false;
        file.second->heldSharingDeletion = false;
    }
    for (auto& folder : m_folders) folder.second.inUse = false;
    const auto remove = [this](const CString& path) {
        const CString key = Key(LongFormOf(path), CurrentCodePage());
        if (!EraseByKey(m_files, key) && ContainsKey(m_folders, key) && !HasChildren(key)) EraseByKey(m_folders, key);
    };
    for (const CString& path : m_restartDeletions) remove(path);
    m_restartDeletions.clear();
    // A restart shuts down cleanly: every cache is written first.
    m_flushedRestartDeletions.reset();
    for (auto& file : m_files) file.second->flushedContent.reset();
    const CString wininit = ProfilePath("WININIT.INI");
    if (const auto entry = FindFile(wininit)) {
        for (const CString& path : ReadProfileValues(entry->content, "Rename", "NUL", CurrentCodePage())) remove(path);
        EraseByKey(m_files, Key(wininit, CurrentCodePage()));
        entry->path = WithoutTrailingBackslashes(m_system.WindowsFolderSetting(), CurrentCodePage()) + "\\WININIT.BAK";
        ValueAt(m_files, Key(entry->path, CurrentCodePage())) = entry;
    }
    return *this;
}

CString SimFiles::LongFormOf(const CString& path) const {
    // The short forms configured for files and folders, the longest first that begins the path.
    const CString full = Resolve(path);
    std::size_t best = 0;
    CString result = full;
    for (const auto& [key, shortPath] : m_shortPaths) {
        const CString shortFull = WithoutTrailingBackslashes(shortPath, CurrentCodePage());
        if (shortFull.size() <= best || shortFull.size() > full.size()) continue;
        if (!SimEqualsNoCase(full.substr(0, shortFull.size()), shortFull, CurrentCodePage())) continue;
        if (full.size() != shortFull.size() && full[shortFull.size()] != '\\') continue;
        best = shortFull.size();
        result = key + full.substr(shortFull.size());
    }
    return result;
}

CString SimFiles::ProfilePath(const CString& file) const {
    // A bare name means a file in the Windows folder, as for the profile functions of Windows.
    if (SimFindSeparator(file, 0, CurrentCodePage()) != std::string_view::npos) return Resolve(file);
    return WithoutTrailingBackslashes(m_system.WindowsFolderSetting(), CurrentCodePage()) + "\\" + file;
}

std::unique_ptr<IAppendFile> SimFiles::OpenForAppending(const CString& path) {
    m_power.Use();
    const CString full = Resolve(path);
    const CString key = Key(full, CurrentCodePage());
    std::shared_ptr<SimFileEntry> entry = FindFile(path);
    if (!entry) {
        if (!Write(full, {}, 0)) return nullptr;
        entry = FindByKey(m_files, key)->second;
    } else if (entry->heldOpen || entry->exclusiveOpens > 0) {
        Fail(fileerror::kSharingViolation);
        return nullptr;
    } else if ((entry->attributes & kAttributeReadOnly) != 0 || entry->inUse) {
        Fail(fileerror::kAccessDenied);
        return nullptr;
    }
    return std::make_unique<SimAppendFile>(entry, ContainsSorted(m_failWrites, key), m_power);
}

std::optional<CString> SimFiles::ReadSharedFile(const CString& path) {
    const auto entry = FindFile(path);
    if (!entry) {
        Fail(fileerror::kFileNotFound);
        return std::nullopt;
    }
    if (entry->heldOpen || entry->exclusiveOpens > 0) {
        Fail(fileerror::kSharingViolation);
        return std::nullopt;
    }
    if (entry->readFault != SimReadFault::None) {
        Fail(fileerror::kReadFault);
        return std::nullopt;
    }
    return entry->content;
}

bool SimFiles::WriteWholeFile(const CString& path, const CString& content) {
    m_power.Use();
    const auto entry = FindFile(path);
    const bool written = Write(Resolve(path), content, entry ? entry->attributes : 0);
    m_transcript.Record({SimEventKind::FileWritten, Resolve(path), {}, written ? 1 : 0, 0});
    return written;
}

bool SimFiles::WriteWholeFileToDisk(const CString& path, const CString& content) {
    m_power.Use();
    const auto entry = FindFile(path);
    const bool written = Write(Resolve(path), content, entry ? entry->attributes : 0);
    if (written) FindFile(path)->flushedContent.reset();
    m_transcript.Record({SimEventKind::FileWritten, Resolve(path), "to disk", written ? 1 : 0, 0});
    return written;
}

SimFiles& SimFiles::LoseUnflushedWrites() {
    for (auto& file : m_files) {
        SimFileEntry& entry = *file.second;
        if (entry.flushedContent) entry.content = *entry.flushedContent;
        entry.flushedContent.reset();
    }
    return *this;
}

SimFiles& SimFiles::LoseUnflushedRestartQueue() {
    if (m_flushedRestartDeletions) m_restartDeletions = *m_flushedRestartDeletions;
    m_flushedRestartDeletions.reset();
    return *this;
}

SimFiles& SimFiles::KeepRestartQueue() {
    m_flushedRestartDeletions.reset();
    return *this;
}

SimFiles& SimFiles::AddFile(const CString& path, const CString& content, std::uint32_t attributes) {
    const CString full = Resolve(path);
    if (full.empty()) SimFault("sim files: empty file path");
    AddParents(full);
    auto entry = std::make_shared<SimFileEntry>();
    entry->path = full;
    entry->content = content;
    entry->attributes = attributes;
    ValueAt(m_files, Key(full, CurrentCodePage())) = entry;
    return *this;
}

SimFiles& SimFiles::AddFolder(const CString& path) {
    const CString full = WithoutTrailingBackslashes(Resolve(path), CurrentCodePage());
    if (full.empty()) SimFault("sim files: empty folder path");
    AddParents(full);
    if (!IsRootKey(Key(full, CurrentCodePage()), CurrentCodePage())) InsertIfAbsent(m_folders, Key(full, CurrentCodePage()), Folder{full, 0, false});
    return *this;
}

bool SimFiles::FileExists(const CString& path) const { return FindFile(path) != nullptr; }

bool SimFiles::FolderExists(const CString& path) const {
    const CString key = Key(Resolve(path), CurrentCodePage());
    return !key.empty() && (IsRootKey(key, CurrentCodePage()) || ContainsKey(m_folders, key));
}

std::optional<CString> SimFiles::FileContent(const CString& path) const {
    const auto entry = FindFile(path);
    if (!entry) return std::nullopt;
    return entry->content;
}

std::optional<std::uint32_t> SimFiles::Attributes(const CString& path) const {
    if (const auto entry = FindFile(path)) return entry->attributes;
    const auto folder = FindByKey(m_folders, Key(Resolve(path), CurrentCodePage()));
    if (folder == m_folders.end()) return std::nullopt;
    return folder->second.attributes;
}

CStringArray SimFiles::FilePaths() const {
    CStringArray paths;
    for (const auto& file : m_files) paths.push_back(file.second->path);
    return paths;
}

CStringArray SimFiles::FolderPaths() const {
    CStringArray paths;
    for (const auto& folder : m_folders) paths.push_back(folder.second.path);
    return paths;
}

SimFiles& SimFiles::MarkInUse(const CString& path) {
    if (const auto folder = FindByKey(m_folders, Key(Resolve(path), CurrentCodePage())); folder != m_folders.end()) {
        folder->second.inUse = true;
    } else {
        ExistingFile(path).inUse = true;
    }
    return *this;
}

SimFiles& SimFiles::MarkHeldOpen(const CString& path) {
    ExistingFile(path).heldOpen = true;
    return *this;
}

SimFiles& SimFiles::MarkHeldOpenSharingDelete(const CString& path) {
    ExistingFile(path).heldSharingDeletion = true;
    return *this;
}

SimFiles& SimFiles::DenyDeletion(const CString& path) {
    ExistingFile(path).deletionDenied = true;
    return *this;
}

SimFiles& SimFiles::FailReads(const CString& path) {
    ExistingFile(path).readFault = SimReadFault::ReadFails;
    return *this;
}

SimFiles& SimFiles::FailSize(const CString& path) {
    ExistingFile(path).readFault = SimReadFault::SizeFails;
    return *this;
}

SimFiles& SimFiles::ShortenReads(const CString& path, std::uint32_t bytes) {
    ExistingFile(path).readLimit = bytes;
    return *this;
}

SimFiles& SimFiles::FailWrites(const CString& path) {
    InsertSorted(m_failWrites, Key(Resolve(path), CurrentCodePage()));
    return *this;
}

SimFiles& SimFiles::SetCurrentFolder(const CString& folder) {
    m_currentFolder = folder;
    return *this;
}

SimFiles& SimFiles::SetTempPath(const CString& path) {
    m_tempPath = path;
    return *this;
}

SimFiles& SimFiles::SetShortPath(const CString& path, const CString& shortPath) {
    ValueAt(m_shortPaths, Key(Resolve(path), CurrentCodePage())) = shortPath;
    return *this;
}

SimFiles& SimFiles::FailShortPaths(bool on) {
    m_failShortPaths = on;
    return *this;
}

SimFiles& SimFiles::FailTempFileNames(bool on) {
    m_failTempFileNames = on;
    return *this;
}

SimFiles& SimFiles::SetNextFolderNumber(std::uint16_t number) {
    m_nextFolderNumber = number;
    return *this;
}

SimFiles& SimFiles::FailUniqueFolders(bool on) {
    m_failUniqueFolders = on;
    return *this;
}

SimFiles& SimFiles::SetNextTempNumber(std::uint16_t number) {
    m_nextTempNumber = number;
    return *this;
}

SimFiles& SimFiles::FailCopies(bool on) {
    m_failCopies = on;
    return *this;
}

SimFiles& SimFiles::FailRestartDeletions(bool on) {
    m_failRestartDeletions = on;
    return *this;
}

std::optional<CString> SimFiles::ProfileEntry(const CString& file, const CString& section, const CString& key) const {
    const CStringArray values = ProfileValues(file, section, key);
    if (values.empty()) return std::nullopt;
    return values.front();
}

CStringArray SimFiles::ProfileValues(const CString& file, const CString& section, const CString& key) const {
    const auto entry = FindFile(ProfilePath(file));
    if (!entry) return {};
    return ReadProfileValues(entry->content, section, key, CurrentCodePage());
}

int SimFiles::OpenFileCount() const {
    int count = 0;
    for (const auto& file : m_files) count += file.second->exclusiveOpens + file.second->sharedOpens;
    return count;
}

const CodePage& SimFiles::CurrentCodePage() const { return m_system.CodePageSetting(); }
