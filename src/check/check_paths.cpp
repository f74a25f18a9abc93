#include "check/check_paths.h"

#include "setupinfo/text.h"

CString NormalisedPath(const CString& path, const CodePage& codePage) {
    const std::size_t rootLength = path.size() >= 2 && path[0] == '\\' && path[1] == '\\' ? 2 : 0;
    CStringArray parts;
    std::size_t start = rootLength;
    while (start <= path.size()) {
        auto end = codePage.Find(path, '\\', start);
        if (end == CString::npos) end = path.size();
        const CString part = path.substr(start, end - start);
        if (part == "..") {
            if (parts.size() > 1) parts.pop_back();
        } else if (part != "." && !(part.empty() && !parts.empty())) {
            parts.push_back(part);
        }
        start = end + 1;
    }
    CString joined = path.substr(0, rootLength);
    for (std::size_t i = 0; i < parts.size(); ++i) joined += (i == 0 ? "" : "\\") + parts[i];
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
    const CString normal = NormalisedPath(path, m_codePage);
    return (normal.size() > m_base.size() && StartsWithNoCase(normal, m_base, m_codePage)) || EqualsNoCase(normal, m_normal, m_codePage);
}
