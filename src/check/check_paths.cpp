#include "check/check_paths.h"

#include <string_view>
#include <vector>

#include "text/text.h"

namespace {

std::size_t RootLength(std::string_view path) { return path.size() >= 2 && path[0] == '\\' && path[1] == '\\' ? 2 : 0; }

// Calls visit with each part between the backslash characters after the root, until visit
// returns false; false when it did.
template <typename Visit>
bool ForEachPart(std::string_view path, const CodePage& codePage, Visit visit) {
    for (std::size_t start = RootLength(path); start <= path.size();) {
        auto end = codePage.Find(path, '\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (!visit(path.substr(start, end - start))) return false;
        start = end + 1;
    }
    return true;
}

// True when normalising would give the path back unchanged: no "." or ".." part, and no empty
// part but a leading one. Most paths are such, and are then held against a folder as they stand.
bool IsNormalised(std::string_view path, const CodePage& codePage) {
    bool first = true;
    return ForEachPart(path, codePage, [&](std::string_view part) {
        const bool kept = part != "." && part != ".." && (!part.empty() || first);
        first = false;
        return kept;
    });
}

}  // namespace

CString NormalisedPath(const CString& path, const CodePage& codePage) {
    if (IsNormalised(path, codePage)) return path;
    // The parts are views of path: the checker normalises every path of every line it holds
    // against a folder, so only the result is a new string.
    std::vector<std::string_view> parts;
    ForEachPart(path, codePage, [&](std::string_view part) {
        if (part == "..") {
            if (parts.size() > 1) parts.pop_back();
        } else if (part != "." && !(part.empty() && !parts.empty())) {
            parts.push_back(part);
        }
        return true;
    });
    CString joined = path.substr(0, RootLength(path));
    joined.reserve(path.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i != 0) joined += '\\';
        joined += parts[i];
    }
    return joined;
}

bool IsInside(const CString& path, const CString& folder, const CodePage& codePage) {
    if (!IsAbsolutePath(folder)) return false;
    const CString base = WithTrailingBackslash(NormalisedPath(folder, codePage), codePage);
    const CString normal = NormalisedPath(path, codePage);
    return normal.size() > base.size() && StartsWithNoCase(normal, base, codePage);
}

bool IsInsideOrSame(const CString& path, const CString& folder, const CodePage& codePage) {
    return FolderScope(folder, codePage).Holds(path);
}

FolderScope::FolderScope(const CString& folder, const CodePage& codePage)
    : m_codePage(codePage), m_absolute(IsAbsolutePath(folder)), m_normal(NormalisedPath(folder, codePage)),
      m_base(WithTrailingBackslash(m_normal, codePage)) {}

bool FolderScope::Holds(const CString& path) const {
    if (!m_absolute) return false;
    if (IsNormalised(path, m_codePage)) return HoldsNormalised(path);
    return HoldsNormalised(NormalisedPath(path, m_codePage));
}

bool FolderScope::HoldsNormalised(std::string_view normal) const {
    return (normal.size() > m_base.size() && StartsWithNoCase(normal, m_base, m_codePage)) || EqualsNoCase(normal, m_normal, m_codePage);
}
