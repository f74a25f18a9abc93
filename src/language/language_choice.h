#pragma once
// Which language the windows speak: the one asked for with /LANG=, else the system's UI
// language, and only where the system's ANSI code page can show it; English otherwise.

#include <cstdint>
#include <optional>
#include <string_view>

#include "language/language.h"

struct LanguageChoice {
    Language language;
    CString reason;  // for the log, in English
};

// requestedTag: the text after "/LANG=" when it was given. uiLanguage: the system's UI language
// (a Windows LANGID) when the system tells it.
LanguageChoice ChooseLanguage(std::optional<std::string_view> requestedTag, std::optional<std::uint16_t> uiLanguage,
                              std::uint32_t ansiCodePage);
