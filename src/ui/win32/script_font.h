#pragma once
// The dialog font of the scripts that the templates' "MS Sans Serif" cannot show: Japanese,
// Chinese and Korean systems of the period drew their own dialogs in these faces at 9 points.
// Western, Polish and Russian dialogs keep the templates' font, which those systems map to
// their own code page.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/types.h"

struct ScriptFont {
    WORD pointSize;
    const wchar_t* face;
    BYTE charset;
};

std::optional<ScriptFont> ScriptFontFor(std::uint32_t codePage);

// The character set of the confirmation dialog's headings: the described Western one for code
// page 1252; the system's own for Polish and Russian, whose letters a Western Arial lacks.
BYTE HeadingCharset(std::uint32_t codePage);

// The face as the ANSI functions (CreateFontIndirectA) take it.
CString AnsiFaceName(const ScriptFont& font);

// A copy of the dialog template resource with its font replaced by the script's, where one is
// given and the template has a font of its own, and mirrored (WS_EX_LAYOUTRTL) where asked.
// Empty where neither applies or the template cannot be read, so that the resource itself is used.
std::vector<unsigned char> AdaptedTemplate(int templateId, const ScriptFont* font, bool mirrored);
