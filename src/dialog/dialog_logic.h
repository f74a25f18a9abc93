#pragma once
// What the confirmation dialog and the progress window decide without a window: their texts,
// the heading fonts' sizes, the bar's boundary and value, and when a control's text is rewritten.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "language/language.h"

CString ConfirmationMessage(const Language& language, const CString& appName);
CString ConfirmationCaption(const Language& language, const CString& appName);
CString ProgressCaption(const Language& language, const CString& appName);

// A font's cell size as LOGFONT gives it: negative heights are character heights.
struct FontSize {
    std::int32_t height = 0;
    std::int32_t width = 0;
};

// The first heading line is larger than the dialog font, the second smaller than the first.
FontSize TitleFontSize(FontSize dialogFont);
FontSize SubtitleFontSize(FontSize titleFont);

// Where the filled part of the bar ends. Percentages outside 0..100 keep the boundary on the
// bar, which paints the same as letting it run past an edge.
std::int32_t BarBoundary(std::int32_t left, std::int32_t right, std::int32_t percent);

// The filled and the empty part of a bar, each from its left to its right edge on the screen.
struct BarParts {
    std::int32_t filledLeft;
    std::int32_t filledRight;
    std::int32_t emptyLeft;
    std::int32_t emptyRight;
};
// fromRight: the bar fills from its right edge, as in a window that reads from right to left but
// that the system cannot mirror (a mirrored one flips the painting itself).
BarParts SplitBar(std::int32_t left, std::int32_t right, std::int32_t percent, bool fromRight);

// How a language's windows are laid out on a system that can or cannot mirror a window.
enum class WindowLayout {
    LeftToRight,
    // Mirrored as a whole: caption, controls and painting start on the right.
    Mirrored,
    // Not mirrored, but every control reads from right to left and aligns to the right.
    RightToLeftReading,
};
WindowLayout ChooseWindowLayout(const Language& language, bool systemMirrors);

// The leading decimal number of a bar text: leading blanks, an optional sign, digits; 0 when
// there are none; values beyond 32 bits saturate.
std::int32_t ParsePercentText(std::string_view text);

// Controls are read back through a buffer of this many characters, terminator included.
constexpr std::size_t kTextCompareBufferSize = 256;

// Whether newText must be written to a control whose text, read through the compare buffer,
// is currentText: only when they differ, and always when newText does not fit the buffer.
bool NeedsTextRewrite(std::string_view currentText, std::string_view newText);

// Whether a new percentage text differs from the old one, letter case aside.
bool PercentTextChanged(std::string_view oldText, std::string_view newText);

// The offset that centres an item of itemSize in an area of areaSize.
std::int32_t CenteredOffset(std::int32_t areaSize, std::int32_t itemSize);
