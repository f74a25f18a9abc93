// The line formats of the setup information: sections, key lines, fields, run and registry lines.

#include <gtest/gtest.h>

#include "setupinfo/setup_text.h"
#include "text/text.h"

namespace {

CStringArray Section(std::string_view text, std::string_view name) {
    CStringArray lines;
    ReadSectionLines(text, name, lines, CodePage());
    return lines;
}

CStringArray Fields(std::string_view line) {
    CStringArray fields;
    SplitFields(line, fields, CodePage());
    return fields;
}

TEST(SplitFields, QuotingAndCommaRules) {
    struct Case {
        const char* line;
        CStringArray fields;
    };
    const Case cases[] = {
        {"a,,b", {"a", "", "b"}},
        {"a,b,", {"a", "b"}},
        {"a,b, ", {"a", "b"}},
        {",a", {"", "a"}},
        {"a ,b", {"a ", "b"}},
        {"'a,b'x,c", {"a,b", "c"}},
        {"\"never closed, here", {"never closed, here"}},
        {"x\"y,z", {"x\"y", "z"}},
        {"  a,  b", {"a", "b"}},
        {"   ", {""}},
        {"", {}},
        {"\xE9\xE9name,b", {"name", "b"}},
        {"\"a\",'b',\"\"", {"a", "b", ""}},
    };
    for (const Case& c : cases) EXPECT_EQ(Fields(c.line), c.fields) << c.line;
}

TEST(ReadSection, HeadersCommentsAndTrimming) {
    const char* text =
        "[files]  remark\r\n"
        "  one  \r\n"
        "; a comment\r\n"
        "two ; not a comment\r\n"
        "\r\n"
        "[Files.Win95]\r\n"
        "win95 only\r\n"
        "[Files]\r\n"
        "second section\r\n";
    EXPECT_EQ(Section(text, "Files"), (CStringArray{"one", "two ; not a comment"}));
    EXPECT_EQ(Section(text, "FILES.WIN95"), (CStringArray{"win95 only"}));
    EXPECT_TRUE(Section("[ Files]\nx\n", "Files").empty());
    EXPECT_TRUE(Section("a\n[Files]", "Files").empty());
    EXPECT_TRUE(Section("[Other]\nx\n", "Files").empty());
    EXPECT_EQ(Section("\t [Files]\n\xA0\xA0line\n  [next\n", "Files"), (CStringArray{"line"}));

    // Several sections in one pass, a name with "]" among them, each in the order asked.
    CStringArray lines;
    AppendSectionsLines("[A]\r\na\r\n[A]B]\r\nab\r\n[C]\r\nc\r\n", {"C", "A]B", "A", "D"}, lines, CodePage());
    EXPECT_EQ(lines, (CStringArray{"c", "ab", "a"}));
}

TEST(ReadSection, TextEndsAtFirstNulByte) {
    const std::string text("[A]\nbefore\n\0after\n[B]\nx\n", 24);
    EXPECT_EQ(Section(text, "A"), (CStringArray{"before"}));
    EXPECT_TRUE(Section(text, "B").empty());
}

TEST(FindKeyValue, FirstMatchingKeyWithoutBlankBeforeEquals) {
    EXPECT_EQ(FindKeyValue({"appname=My App"}, "AppName", CodePage()), "My App");
    EXPECT_EQ(FindKeyValue({"AppName = My App"}, "AppName", CodePage()), "");
    EXPECT_EQ(FindKeyValue({"AppName=\"Quoted\""}, "AppName", CodePage()), "\"Quoted\"");
    EXPECT_EQ(FindKeyValue({"AppName=", "AppName=Second"}, "AppName", CodePage()), "");
    EXPECT_EQ(FindKeyValue({"AppNameX=1"}, "AppName", CodePage()), "");
}

TEST(IsAbsolutePath, DrivesAndNetworkPaths) {
    EXPECT_TRUE(IsAbsolutePath("C:\\x"));
    EXPECT_TRUE(IsAbsolutePath("\\\\server\\share"));
    EXPECT_FALSE(IsAbsolutePath("C:"));
    EXPECT_FALSE(IsAbsolutePath("\\APP.EXE"));
    EXPECT_FALSE(IsAbsolutePath("APP.EXE"));
}

TEST(SplitRunLine, ProgramAndParameters) {
    struct Case {
        const char* line;
        const char* program;
        const char* parameters;
    };
    const Case cases[] = {
        {"CLEANUP.EXE,/silent", "CLEANUP.EXE", "/silent"},
        {"\"%apppath%\\Tool.exe\", -u", "%apppath%\\Tool.exe", "-u"},
        {"TOOL.EXE", "TOOL.EXE", ""},
        {"\"a,b\",c", "\"a", "b\",c"},
        {"\"open only", "open only", ""},
        {"\"\"", "\"\"", ""},
        {"x.exe  ,  %apppath% y", "x.exe", "%apppath% y"},
    };
    for (const Case& c : cases) {
        const RunLine run = SplitRunLine(c.line);
        EXPECT_EQ(run.program, c.program) << c.line;
        EXPECT_EQ(run.parameters, c.parameters) << c.line;
    }
}

TEST(ParseRegistryLine, NamesDataAndInvalidLines) {
    struct Case {
        const char* line;
        const char* keyPath;
        const char* valueName;
        const char* data;
    };
    const Case cases[] = {
        {"HKLM\\SOFTWARE\\Example\\Tool=Path=%apppath%", "HKLM\\SOFTWARE\\Example\\Tool", "Path", "%apppath%"},
        {"HKLM\\Software\\Example=\"x\"\"y\"=1", "HKLM\\Software\\Example", "x\"y", "1"},
        {"HKCU\\K=@=\"a\"\"b\"", "HKCU\\K", "", "a\"b"},
        {"HKCU\\K= name = data ", "HKCU\\K", "name", "data"},
        {"HKCU\\K=novalue", "HKCU\\K", "", ""},
        {"HKCU\\K=\"quoted\" =1", "HKCU\\K", "quoted", ""},
        {"HKCU\\K=\"unclosed", "HKCU\\K", "unclosed", ""},
        {"K =v=d", "K ", "v", "d"},
    };
    for (const Case& c : cases) {
        const auto entry = ParseRegistryLine(c.line);
        ASSERT_TRUE(entry) << c.line;
        EXPECT_EQ(entry->keyPath, c.keyPath) << c.line;
        EXPECT_EQ(entry->valueName, c.valueName) << c.line;
        EXPECT_EQ(entry->data, c.data) << c.line;
    }
    EXPECT_FALSE(ParseRegistryLine("=x"));
    EXPECT_FALSE(ParseRegistryLine("HKLM\\Software\\Example"));
}

TEST(Text, SignedDecimalLikeAtol) {
    EXPECT_EQ(ParseSignedDecimal("123"), 123);
    EXPECT_EQ(ParseSignedDecimal("-42"), -42);
    EXPECT_EQ(ParseSignedDecimal(""), 0);
    EXPECT_EQ(ParseSignedDecimal("-"), 0);
    EXPECT_EQ(ParseSignedDecimal("4-2"), 4);
    EXPECT_EQ(ParseSignedDecimal("4294967297"), 1);  // wraps instead of overflowing
}

}  // namespace
