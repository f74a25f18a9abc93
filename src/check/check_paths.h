#pragma once
// Where a path lies, worked out on its text alone.

#include <string_view>

#include "platform/types.h"
#include "text/code_page.h"

// "." and ".." collapsed and doubled backslashes merged, so that a path cannot leave a folder
// unseen; ".." never climbs above the first part (the drive, or the server of a network path).
CString NormalisedPath(const CString& path, const CodePage& codePage);
// True when path lies below folder; folder must be absolute.
bool IsInside(const CString& path, const CString& folder, const CodePage& codePage);
// True when path is folder itself or lies below it.
bool IsInsideOrSame(const CString& path, const CString& folder, const CodePage& codePage);

// A folder that many paths are held against, normalised once.
class FolderScope {
public:
    FolderScope(const CString& folder, const CodePage& codePage);
    // True when path is the folder itself or lies below it; never for a folder that is not absolute.
    bool Holds(const CString& path) const;

private:
    bool HoldsNormalised(std::string_view normal) const;

    const CodePage& m_codePage;
    bool m_absolute;
    CString m_normal;
    CString m_base;
};
