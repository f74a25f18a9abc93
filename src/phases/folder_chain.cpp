#include "phases/folder_chain.h"

#include <algorithm>
#include <utility>

#include "text/string_index.h"
#include "text/text.h"

namespace {

constexpr std::size_t kDriveRootLength = 3;

// The bound's folded form with its backslash, or empty when it may not bound anything.
CString BoundKey(const CString& bound, const CodePage& codePage) {
    if (!IsAbsolutePath(bound)) return CString();
    CString key = FoldAscii(WithTrailingBackslash(bound, codePage), codePage);
    return key.size() > kDriveRootLength ? key : CString();
}

// The outermost bound that holds the folder (itself included); empty when none does.
CString OutermostBound(const CString& folderKey, const CStringArray& boundKeys, const CodePage& codePage) {
    CString found;
    for (const CString& bound : boundKeys) {
        if (StartsWithNoCase(folderKey, bound, codePage) && (found.empty() || bound.size() < found.size())) found = bound;
    }
    return found;
}

}  // namespace

CStringArray FoldersToRemove(const CStringArray& listed, const CStringArray& bounds, const CodePage& codePage) {
    CStringArray boundKeys;
    for (const CString& bound : bounds) {
        if (CString key = BoundKey(bound, codePage); !key.empty()) boundKeys.push_back(std::move(key));
    }

    std::vector<std::pair<CString, CString>> ordered;
    StringIndex known;
    for (const CString& folder : listed) {
        ordered.emplace_back(FoldAscii(folder, codePage), folder);
        known.Insert(FoldAscii(WithTrailingBackslash(folder, codePage), codePage));
    }
    for (const CString& folder : listed) {
        CString current = WithTrailingBackslash(folder, codePage);
        // Every parent ends in a backslash character, so its folded form is the start of this one.
        const CString folded = FoldAscii(current, codePage);
        const CString bound = OutermostBound(folded, boundKeys, codePage);
        while (!bound.empty() && current.size() > bound.size()) {
            current = FolderOf(std::string_view(current).substr(0, current.size() - 1), codePage);
            if (current.size() < bound.size()) break;
            // A folder already known has a walk of its own (it was listed, or an earlier walk
            // passed it) that ends at the same bound: a folder's outermost bound is its parent's.
            CString key = folded.substr(0, current.size());
            if (!known.Insert(key).second) break;
            ordered.emplace_back(std::move(key), current);
        }
    }
    std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first > b.first; });

    CStringArray folders;
    folders.reserve(ordered.size());
    for (auto& entry : ordered) folders.push_back(std::move(entry.second));
    return folders;
}
