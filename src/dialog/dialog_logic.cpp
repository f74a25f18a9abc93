#include "dialog/dialog_logic.h"

#include <algorithm>
#include <limits>

namespace {

constexpr double kTitleScale = 1.2;
constexpr double kSubtitleScale = 0.71;

std::int32_t Scaled(std::int32_t value, double factor) { return static_cast<std::int32_t>(value * factor); }

bool IsLeadingBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char FoldAsciiLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

CString ConfirmationMessage(const Language& language, const CString& appName) {
    return language.Format({TextId::ConfirmMessage, {{Piece::App, appName}}});
}

CString ConfirmationCaption(const Language& language, const CString& appName) {
    return language.Format({TextId::ConfirmCaption, {{Piece::App, appName}}});
}

CString ProgressCaption(const Language& language, const CString& appName) {
    return language.Format({TextId::ProgressCaption, {{Piece::App, appName}}});
}

FontSize TitleFontSize(FontSize dialogFont) {
    return {Scaled(dialogFont.height, kTitleScale), Scaled(dialogFont.width, kTitleScale)};
}

FontSize SubtitleFontSize(FontSize titleFont) {
    return {Scaled(titleFont.height, kSubtitleScale), Scaled(titleFont.width, kSubtitleScale)};
}

std::int32_t BarBoundary(std::int32_t left, std::int32_t right, std::int32_t percent) {
    const auto share = static_cast<std::uint32_t>(std::clamp(percent, 0, 100));
    const auto start = static_cast<std::uint32_t>(left);
    const auto end = static_cast<std::uint32_t>(right);
    const bool leftward = right < left;
    const std::uint32_t width = leftward ? start - end : end - start;
    // The width's hundredths times the share, then its rest: the width times the share over 100
    // in 32 bits, with no 64-bit division from the runtime library.
    const std::uint32_t filled = width / 100 * share + width % 100 * share / 100;
    return static_cast<std::int32_t>(leftward ? start - filled : start + filled);
}

BarParts SplitBar(std::int32_t left, std::int32_t right, std::int32_t percent, bool fromRight) {
    const std::int32_t boundary = BarBoundary(left, right, percent);
    if (!fromRight) return {left, boundary, boundary, right};
    // The same share of the bar, measured from its right end.
    const std::int32_t mirrored = left + right - boundary;
    return {mirrored, right, left, mirrored};
}

WindowLayout ChooseWindowLayout(const Language& language, bool systemMirrors) {
    if (!language.RightToLeft()) return WindowLayout::LeftToRight;
    return systemMirrors ? WindowLayout::Mirrored : WindowLayout::RightToLeftReading;
}

std::int32_t ParsePercentText(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsLeadingBlank(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    constexpr std::int64_t kLimit = static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
    std::int64_t magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        magnitude = std::min(kLimit, magnitude * 10 + (text[at] - '0'));
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool NeedsTextRewrite(std::string_view currentText, std::string_view newText) {
    return newText.size() > kTextCompareBufferSize || currentText != newText;
}

bool PercentTextChanged(std::string_view oldText, std::string_view newText) {
    return !std::equal(oldText.begin(), oldText.end(), newText.begin(), newText.end(),
                       [](char a, char b) { return FoldAsciiLetter(a) == FoldAsciiLetter(b); });
}

std::int32_t CenteredOffset(std::int32_t areaSize, std::int32_t itemSize) { return (areaSize - itemSize + 1) / 2; }
