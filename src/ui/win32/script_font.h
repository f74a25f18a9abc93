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

// The bytes of the dialog template resource; empty where it cannot be read.
std::vector<unsigned char> TemplateResource(int templateId);

// A copy of the dialog template resource with its font replaced; empty where the template has
// no font of its own or cannot be read, so that the resource itself is used.
std::vector<unsigned char> TemplateWithFont(int templateId, const ScriptFont& font);

// The template that a dialog in a language of this code page is made from: empty for the resource.
std::vector<unsigned char> TemplateForCodePage(int templateId, std::uint32_t codePage);
