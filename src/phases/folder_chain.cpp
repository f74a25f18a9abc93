#include "phases/folder_chain.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "setupinfo/text.h"

namespace {

constexpr std::size_t kDriveRootLength = 3;

// The bound's folded form with its backslash, or empty when it may not bound anything.
CString BoundKey(const CString& bound) {
    if (!IsAbsolutePath(bound)) return CString();
    CString key = FoldAscii(WithTrailingBackslash(bound));
    return key.size() > kDriveRootLength ? key : CString();
}

// The outermost bound that holds the folder (itself included); empty when none does.
CString OutermostBound(const CString& folderKey, const CStringArray& boundKeys) {
    CString found;
    for (const CString& bound : boundKeys) {
        if (StartsWithNoCase(folderKey, bound) && (found.empty() || bound.size() < found.size())) found = bound;
    }
    return found;
}

}  // namespace

CStringArray FoldersToRemove(const CStringArray& listed, const CStringArray& bounds) {
    CStringArray boundKeys;
    for (const CString& bound : bounds) {
        if (CString key = BoundKey(bound); !key.empty()) boundKeys.push_back(std::move(key));
    }

    std::vector<std::pair<CString, CString>> ordered;
    std::unordered_set<CString> known;
    for (const CString& folder : listed) {
        ordered.emplace_back(FoldAscii(folder), folder);
        known.insert(FoldAscii(WithTrailingBackslash(folder)));
    }
    for (const CString& folder : listed) {
        CString current = WithTrailingBackslash(folder);
        const CString bound = OutermostBound(FoldAscii(current), boundKeys);
        while (!bound.empty() && current.size() > bound.size()) {
            current = FolderOf(std::string_view(current).substr(0, current.size() - 1));
            if (current.size() < bound.size()) break;
            if (known.insert(FoldAscii(current)).second) ordered.emplace_back(FoldAscii(current), current);
        }
    }
    std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first > b.first; });

    CStringArray folders;
    folders.reserve(ordered.size());
    for (auto& entry : ordered) folders.push_back(std::move(entry.second));
    return folders;
}
