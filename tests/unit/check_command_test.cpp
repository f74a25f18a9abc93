// The checker as a command: its arguments, exit codes, plain text and JSON.

#include <gtest/gtest.h>

#include <map>

#include "app/version.h"
#include "check/argument_words.h"
#include "check/check_command.h"
#include "check/check_options.h"
#include "check/checker.h"

namespace {

class FakeConsole : public ICheckConsole {
public:
    std::map<CString, CString> files;
    CString output;
    CString errors;

    ReadOutcome ReadWholeFile(const CString& path, std::uint32_t limit, CString& text) override {
        const auto found = files.find(path);
        if (found == files.end()) return ReadOutcome::Unreadable;
        if (found->second.size() > limit) return ReadOutcome::TooLarge;
        text = found->second;
        return ReadOutcome::Read;
    }
    void Write(std::string_view text) override { output += CString(text); }
    void WriteError(std::string_view text) override { errors += CString(text); }
    std::uint32_t SystemCodePage() override { return 1252; }
};

constexpr char kClean[] =
    "[SetupOptions]\nAppName=Demo\n[Files]\n1,1,SETUPPEL\\uninst.exe,%apppath%\\UNINST\\uninst.exe\n[UnInstall]\n"
    "%apppath%\\tool.exe\n";
constexpr char kHazard[] =
    "[SetupOptions]\nAppName=Demo\n[Files]\n1,1,SETUPPEL\\uninst.exe,%apppath%\\UNINST\\uninst.exe\n[UnInstall]\n"
    "%windir%\\win.ini\n";
constexpr char kError[] = "[SetupOptions]\nAppName=Demo\n[UnInstall]\n%nosuch%\\tool.exe\n";

int Check(FakeConsole& console, const CStringArray& arguments) { return RunCheckCommand(arguments, console); }

TEST(CheckArguments, OptionsAndTheirMistakes) {
    const ParsedArguments full = ParseCheckArguments(
        {"--family", "9x", "SETUP.INF", "--apppath=D:\\Tool\\", "--appcommon", "D:\\Common", "--startmenu", "D:\\Menu", "--json",
         "--codepage=932"});
    ASSERT_TRUE(full.options) << full.error;
    EXPECT_EQ(full.options->setupInf, "SETUP.INF");
    EXPECT_EQ(full.options->family, Family::Win9x);
    EXPECT_EQ(full.options->appPath, "D:\\Tool\\");
    EXPECT_EQ(full.options->appCommon, "D:\\Common");
    // Its closing backslash comes once the code page is known: the folder's last byte may be the
    // second of a character.
    EXPECT_EQ(full.options->startMenu, "D:\\Menu");
    EXPECT_TRUE(full.options->json);
    EXPECT_EQ(full.options->codePage, 932u);
    const ParsedArguments bare = ParseCheckArguments({"a.inf"});
    ASSERT_TRUE(bare.options) << bare.error;
    EXPECT_FALSE(bare.options->codePage);

    const struct {
        CStringArray arguments;
        const char* error;
    } wrong[] = {
        {{}, "no SETUP.INF"},
        {{"a.inf", "b.inf"}, "one SETUP.INF at a time"},
        {{"a.inf", "--apppath"}, "--apppath needs a value"},
        {{"a.inf", "--family", "os2"}, "--family takes 9x or nt"},
        {{"a.inf", "--verbose"}, "unknown option"},
        {{"a.inf", "--codepage", "65001"}, "--codepage takes a code page"},
        {{"a.inf", "--codepage", "9x"}, "--codepage takes a code page"},
        {{""}, "no SETUP.INF"},
    };
    for (const auto& example : wrong) {
        const ParsedArguments parsed = ParseCheckArguments(example.arguments);
        EXPECT_FALSE(parsed.options);
        EXPECT_NE(parsed.error.find(example.error), CString::npos) << parsed.error;
    }
    EXPECT_TRUE(ParseCheckArguments({"a.inf", "--help"}).usageAsked);
}

TEST(CheckArguments, WindowsCommandLinesSplitAsTheCRuntimeSplitsThem) {
    const struct {
        const char* commandLine;
        CStringArray words;
    } examples[] = {
        {"uninst-check.exe SETUP.INF --json", {"SETUP.INF", "--json"}},
        {"\"C:\\Tools\\uninst-check.exe\" \t \"My Setup\\SETUP.INF\"  ", {"My Setup\\SETUP.INF"}},
        {"x --apppath \"C:\\Program Files\\App\\\\\"", {"--apppath", "C:\\Program Files\\App\\"}},
        {"x a\\\\\\\"b c\\d", {"a\\\"b", "c\\d"}},
        {"x \"open quote runs to the end", {"open quote runs to the end"}},
        {"x \"\"", {""}},
        {"\"never closed", {}},
        {"", {}},
    };
    for (const auto& example : examples) EXPECT_EQ(SplitArgumentWords(example.commandLine, CodePage()), example.words) << example.commandLine;
}

TEST(CheckCommand, ExitCodesFollowTheWorstFinding) {
    FakeConsole console;
    console.files = {{"clean.inf", kClean}, {"hazard.inf", kHazard}, {"error.inf", kError}};
    EXPECT_EQ(Check(console, {"clean.inf"}), checkexit::kClean) << console.output;
    EXPECT_NE(console.output.find("0 errors, 0 hazards, 0 leftovers"), CString::npos) << console.output;
    EXPECT_EQ(Check(console, {"hazard.inf"}), checkexit::kHazards);
    EXPECT_NE(console.output.find("hazard.inf:6: hazard: resolves to 'C:\\WINDOWS\\win.ini'"), CString::npos)
        << console.output;
    EXPECT_NE(console.output.find("    6 | %windir%\\win.ini\n"), CString::npos) << console.output;
    EXPECT_EQ(Check(console, {"error.inf"}), checkexit::kErrors);
    EXPECT_NE(console.output.find("error.inf:4: error: '%nosuch%' is not a variable"), CString::npos) << console.output;
    EXPECT_TRUE(console.errors.empty());
}

TEST(CheckCommand, UsageMistakesAndUnreadableFilesAreErrors) {
    FakeConsole console;
    EXPECT_EQ(Check(console, {"--help"}), checkexit::kClean);
    EXPECT_NE(console.output.find("usage: uninst-check SETUP.INF"), CString::npos);
    EXPECT_EQ(Check(console, {"--bogus"}), checkexit::kErrors);
    EXPECT_NE(console.errors.find("unknown option '--bogus'"), CString::npos) << console.errors;

    console.output.clear();
    EXPECT_EQ(Check(console, {"missing.inf"}), checkexit::kErrors);
    EXPECT_NE(console.output.find("missing.inf: error: cannot read the file"), CString::npos) << console.output;
    EXPECT_EQ(console.output.find("Plan"), CString::npos) << console.output;

    console.files["huge.inf"] = CString(kCheckFileLimit + 1, 'x');
    console.output.clear();
    EXPECT_EQ(Check(console, {"huge.inf", "--json"}), checkexit::kErrors);
    EXPECT_NE(console.output.find("larger than 64 MiB"), CString::npos) << console.output;
    EXPECT_NE(console.output.find("\"uninstallerExitCode\": null"), CString::npos) << console.output;
}

// A build pipeline asks for the version alone: no file is read.
TEST(CheckCommand, VersionIsOneLineAndReadsNoFile) {
    FakeConsole console;
    EXPECT_EQ(Check(console, {"missing.inf", "--version", "--family", "os2"}), checkexit::kClean);
    EXPECT_EQ(console.output, "uninst-check " + CString(kProgramVersion) + "\n");
    EXPECT_TRUE(console.errors.empty()) << console.errors;
}

TEST(CheckCommand, JsonEscapesWhatTheFileHolds) {
    FakeConsole console;
    CString text = kHazard;
    text += "%nosuch%\\tool.exe\n%windir%\\\"quoted\"\\back\x01\xE9.txt\n";
    console.files["mixed.inf"] = text;
    EXPECT_EQ(Check(console, {"mixed.inf", "--json"}), checkexit::kErrors);
    const CString& json = console.output;
    EXPECT_NE(json.find("\"exitCode\": 2,\n  \"errors\": 1,\n  \"hazards\": 2,\n  \"leftovers\": 0,"), CString::npos)
        << json;
    EXPECT_NE(json.find("{\"kind\": \"error\", \"line\": 7, \"text\": \"%nosuch%\\\\tool.exe\", \"message\": "
                        "\"'%nosuch%' is not a variable: the uninstaller skips the line\"}"),
              CString::npos)
        << json;
    EXPECT_NE(json.find("\"line\": 8, \"text\": \"%windir%\\\\\\\"quoted\\\"\\\\back\\u0001\\u00E9.txt\""),
              CString::npos)
        << json;
    EXPECT_NE(json.find("\"plan\": [\n    \"  confirmation for 'Demo' -> Un-Install\""), CString::npos) << json;
    EXPECT_EQ(json.back(), '\n');
}

}  // namespace
