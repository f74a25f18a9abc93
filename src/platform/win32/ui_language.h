#pragma once
// The language of the system's own dialogs, as each Windows of the period tells it.

#include <cstdint>
#include <optional>

std::optional<std::uint16_t> SystemUiLanguage();
