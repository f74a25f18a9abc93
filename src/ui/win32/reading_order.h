#pragma once
// Right-to-left windows for Hebrew and Arabic. Windows 2000 and later, and 98 and Me in their
// Hebrew and Arabic editions, mirror a window whose extended style asks for it; Windows 95,
// NT 4 and the other editions of 98 cannot, and there each control reads from right to left.

#include <windows.h>

#include <vector>

#include "dialog/dialog_logic.h"

WindowLayout LayoutFor(const Language& language);

// The template that a dialog in this language is made from: empty for the resource itself.
std::vector<unsigned char> TemplateForLanguage(int templateId, const Language& language);

// Where the system cannot mirror: the dialog and each of its controls read from right to left
// and align to the right.
void ApplyReadingOrder(HWND dialog, const Language& language);
