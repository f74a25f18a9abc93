#include <gtest/gtest.h>

#include "dialog/dialog_logic.h"

namespace {

TEST(ConfirmationTexts, NameTheApplication) {
    EXPECT_EQ(ConfirmationMessage(Language::English(), "Widget Pro"),
              "UNINSTALL will remove Widget Pro and all of its components from your system, including registry "
              "entries, and any shared components not currently in use by other applications.\r\n\nPress "
              "'Un-Install' to continue, or 'Exit' to leave the application installed.");
    EXPECT_EQ(ConfirmationCaption(Language::English(), "Widget Pro"), "Widget Pro Un-Install");
    EXPECT_EQ(ProgressCaption(Language::English(), "Widget Pro"), "Widget Pro SETUP Progress");
}

TEST(ConfirmationTexts, EmptyNameKeepsTheBlanks) {
    const CString message = ConfirmationMessage(Language::English(), "");
    EXPECT_EQ(message.rfind("UNINSTALL will remove  and all of its components", 0), 0u);
    EXPECT_EQ(ConfirmationCaption(Language::English(), ""), " Un-Install");
    EXPECT_EQ(ProgressCaption(Language::English(), ""), " SETUP Progress");
}

TEST(HeadingFonts, ScaleFromTheDialogFont) {
    const FontSize title = TitleFontSize({-11, 0});
    EXPECT_EQ(title.height, -13);
    EXPECT_EQ(title.width, 0);
    const FontSize subtitle = SubtitleFontSize(title);
    EXPECT_EQ(subtitle.height, -9);
    EXPECT_EQ(subtitle.width, 0);
}

TEST(HeadingFonts, TruncateTowardsZero) {
    const FontSize title = TitleFontSize({16, 7});  // 19.2 and 8.4
    EXPECT_EQ(title.height, 19);
    EXPECT_EQ(title.width, 8);
    const FontSize subtitle = SubtitleFontSize(title);  // 13.49 and 5.68
    EXPECT_EQ(subtitle.height, 13);
    EXPECT_EQ(subtitle.width, 5);
}

struct BoundaryCase {
    std::int32_t left, right, percent, expected;
};

TEST(BarBoundary, MultipliesBeforeDividing) {
    const BoundaryCase cases[] = {
        {0, 300, 0, 0}, {0, 300, 100, 300}, {0, 300, 50, 150}, {0, 7, 50, 3},
        {10, 310, 37, 121}, {0, 0, 50, 0},
        // From the right edge towards the left.
        {300, 0, 0, 300}, {300, 0, 100, 0}, {310, 10, 37, 199}, {7, 0, 50, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BarBoundary(c.left, c.right, c.percent), c.expected)
            << c.left << ".." << c.right << " at " << c.percent;
    }
}

TEST(BarBoundary, StaysOnTheBarForPercentagesOutOfRange) {
    EXPECT_EQ(BarBoundary(0, 300, 150), 300);
    EXPECT_EQ(BarBoundary(0, 300, -20), 0);
    EXPECT_EQ(BarBoundary(0, 300, 2147483647), 300);
    EXPECT_EQ(BarBoundary(0, 300, -2147483647 - 1), 0);
}

// The two parts cover the bar without a gap; a bar that fills from the right mirrors one that
// fills from the left.
TEST(BarParts, FillFromTheLeftOrFromTheRight) {
    struct Case {
        std::int32_t left, right, percent;
        bool fromRight;
        BarParts expected;
    };
    const Case cases[] = {
        {10, 310, 37, false, {10, 121, 121, 310}}, {10, 310, 37, true, {199, 310, 10, 199}},
        {0, 300, 0, true, {300, 300, 0, 300}},     {0, 300, 100, true, {0, 300, 0, 0}},
        {0, 300, 150, true, {0, 300, 0, 0}},       {0, 300, -5, false, {0, 0, 0, 300}},
    };
    for (const Case& c : cases) {
        const BarParts parts = SplitBar(c.left, c.right, c.percent, c.fromRight);
        SCOPED_TRACE(std::to_string(c.percent) + (c.fromRight ? "% from the right" : "% from the left"));
        EXPECT_EQ(parts.filledLeft, c.expected.filledLeft);
        EXPECT_EQ(parts.filledRight, c.expected.filledRight);
        EXPECT_EQ(parts.emptyLeft, c.expected.emptyLeft);
        EXPECT_EQ(parts.emptyRight, c.expected.emptyRight);
    }
}

// Only a language that reads from right to left changes the windows, and how depends on
// whether the system can mirror them.
TEST(WindowLayout, FollowsTheLanguageAndTheSystem) {
    for (std::size_t index = 0; index < kLanguageRecordCount; ++index) {
        const auto language = Language::At(index);
        ASSERT_TRUE(language);
        const bool rightToLeft = language->Tag() == "he" || language->Tag() == "ar";
        SCOPED_TRACE(CString(language->Tag()));
        EXPECT_EQ(language->RightToLeft(), rightToLeft);
        EXPECT_EQ(ChooseWindowLayout(*language, true),
                  rightToLeft ? WindowLayout::Mirrored : WindowLayout::LeftToRight);
        EXPECT_EQ(ChooseWindowLayout(*language, false),
                  rightToLeft ? WindowLayout::RightToLeftReading : WindowLayout::LeftToRight);
    }
}

TEST(PercentText, ReadsTheLeadingNumber) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"37", 37}, {"  42", 42}, {"\t+7", 7}, {"-5", -5}, {"12abc", 12}, {"100", 100},
        {"abc", 0}, {"", 0}, {"-", 0}, {" x5", 0}, {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParsePercentText(text), expected) << '"' << text << '"';
}

TEST(TextRewrite, OnlyWhenTheTextDiffers) {
    EXPECT_FALSE(NeedsTextRewrite("50", "50"));
    EXPECT_TRUE(NeedsTextRewrite("50", "51"));
    EXPECT_TRUE(NeedsTextRewrite("Static", "static"));
    EXPECT_TRUE(NeedsTextRewrite("", "0"));
    EXPECT_FALSE(NeedsTextRewrite("", ""));
}

TEST(TextRewrite, TextsBeyondTheCompareBufferAreAlwaysWritten) {
    const CString longText(kTextCompareBufferSize + 1, 'a');
    EXPECT_TRUE(NeedsTextRewrite(longText, longText));
    const CString fitting(kTextCompareBufferSize - 1, 'a');
    EXPECT_FALSE(NeedsTextRewrite(fitting, fitting));
}

TEST(PercentChange, IgnoresLetterCase) {
    EXPECT_FALSE(PercentTextChanged("50", "50"));
    EXPECT_FALSE(PercentTextChanged("abc", "ABC"));
    EXPECT_TRUE(PercentTextChanged("50", "51"));
    EXPECT_TRUE(PercentTextChanged("5", "50"));
}

TEST(CenteredOffset, RoundsHalfUpForPositiveRemainders) {
    EXPECT_EQ(CenteredOffset(36, 32), 2);
    EXPECT_EQ(CenteredOffset(37, 32), 3);
    EXPECT_EQ(CenteredOffset(20, 32), -5);  // (-12 + 1) / 2 truncates towards zero
}

}  // namespace
