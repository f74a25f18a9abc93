#pragma once
#include <windows.h>

// How a control's text lies in it, as the control itself draws it: the rectangle that DrawText
// needs for the text in the control's font, beside the rectangle that the control has for it.
struct TextFit {
    int neededWidth;
    int neededHeight;
    int width;
    int height;
    int lineHeight;
};

TextFit MeasureControlText(HWND control);
