#pragma once
// A text of the catalogue with the pieces put into it at run time, kept apart until it is shown,
// so that the same message can be written in the user's language and logged in English.

#include <initializer_list>
#include <utility>
#include <vector>

#include "language/text_id.h"
#include "text/c_string.h"

// The stored text holds each piece as this byte; no code page uses such bytes inside a character.
enum class Piece : char { App = 1, Path, Line, Key, Code, Version };

struct Message {
    Message(TextId textId, std::initializer_list<std::pair<Piece, CString>> values = {})
        : id(textId), pieces(values) {}

    TextId id;
    std::vector<std::pair<Piece, CString>> pieces;
};
