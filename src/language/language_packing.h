#pragma once
// The decoder of the packed text blocks that make_catalogue.py writes.

#include <cstddef>
#include <optional>
#include <string_view>

#include "text/c_string.h"

// The size bytes that `packed` unpacks to, copying from `dictionary` and what it unpacked so far;
// nullopt for a block that reaches outside itself or its dictionary.
std::optional<CString> UnpackTexts(std::string_view packed, std::string_view dictionary, std::size_t size);
