// The checker's findings: one small SETUP.INF per kind of finding, the reader it shares with the
// uninstaller, hostile files, and the run it pictures.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "check/check_paths.h"
#include "check/check_probe.h"
#include "check/checker.h"
#include "check/numbered_sections.h"
#include "setupinfo/setup_text.h"

namespace {

// A clean file: everything it installs is removed, every path lies in the application folder.
constexpr char kHead[] =
    "[SetupOptions]\r\n"
    "AppName=Demo\r\n"
    "[Files]\r\n"
    "1,1,SETUPPEL\\uninst.exe,%apppath%\\UNINST\\uninst.exe\r\n"
    "1,1,tool.exe,%apppath%\\tool.exe\r\n";
constexpr char kUninstall[] =
    "[UnInstall]\r\n"
    "%apppath%\\tool.exe\r\n";

struct Expected {
    FindingKind kind;
    int line;
    const char* words;  // a part of the message
};

CString Describe(const Findings& findings) {
    CString text;
    for (const Finding& finding : findings) {
        text += std::to_string(static_cast<int>(finding.kind)) + " line " + std::to_string(finding.lineNumber) + ": " +
                finding.message + "\n";
    }
    return text;
}

// Leftovers are compared only where asked: a file the uninstaller stops on leaves everything.
void ExpectFindings(const CString& setupText, const std::vector<Expected>& expected, bool withLeftovers = false) {
    Findings findings = CheckSetupText(setupText, CheckOptions{}).findings;
    if (!withLeftovers) {
        findings.erase(std::remove_if(findings.begin(), findings.end(),
                                      [](const Finding& finding) { return finding.kind == FindingKind::Leftover; }),
                       findings.end());
    }
    ASSERT_EQ(findings.size(), expected.size()) << setupText << "\n" << Describe(findings);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Finding& finding = findings[i];
        EXPECT_EQ(finding.kind, expected[i].kind) << Describe(findings);
        EXPECT_EQ(finding.lineNumber, expected[i].line) << Describe(findings);
        EXPECT_NE(finding.message.find(expected[i].words), CString::npos) << Describe(findings);
    }
}

TEST(CheckFindings, CleanFileHasNoneAndItsRunRemovesEverything) {
    const CheckResult result = CheckSetupText(CString(kHead) + kUninstall, CheckOptions{});
    EXPECT_TRUE(result.findings.empty()) << Describe(result.findings);
    EXPECT_EQ(CheckExitCode(result.findings), checkexit::kClean);
    EXPECT_EQ(result.runExitCode, 0);
    const auto has = [&](const CString& line) {
        return std::find(result.plan.begin(), result.plan.end(), line) != result.plan.end();
    };
    EXPECT_TRUE(has("  delete file C:\\Program Files\\App\\tool.exe"));
    EXPECT_TRUE(has("  delete file C:\\Program Files\\App\\UNINST\\uninst.exe"));
    EXPECT_TRUE(has("  remove folder C:\\Program Files\\App"));
    EXPECT_TRUE(has("  delete key HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo"));
}

TEST(CheckFindings, Errors) {
    const CString head = kHead;
    const CString uninstall = kUninstall;
    ExpectFindings(head + "[UnInstall]\r\n", {{FindingKind::Error, 6, "no [UnInstall] lines"}});
    ExpectFindings("[SetupOptions]\r\nAppName=\r\n" + CString(kHead).substr(30) + uninstall,
                   {{FindingKind::Error, 2, "AppName is empty"}});
    ExpectFindings("[Files]\r\n1,1,SETUPPEL\\uninst.exe,%apppath%\\UNINST\\uninst.exe\r\n" + uninstall,
                   {{FindingKind::Error, 0, "no AppName"}});
    ExpectFindings(head + uninstall + "%nosuch%\\x.dll\r\n", {{FindingKind::Error, 8, "'%nosuch%' is not a variable"}});
    ExpectFindings(head + uninstall + "%apppath%\\100%.txt\r\n", {{FindingKind::Error, 8, "never closes"}});
    ExpectFindings(head + uninstall + "[RegistryKeys]\r\nHKEY_LOCAL\\Software\\Demo=a=b\r\n",
                   {{FindingKind::Error, 9, "no root the uninstaller knows"}});
    ExpectFindings(head + uninstall + "[RegistryKeys]\r\nHKLM\\Software\\Demo\r\n=a=b\r\n",
                   {{FindingKind::Error, 9, "no '='"}, {FindingKind::Error, 10, "begins with '='"}});
    ExpectFindings(head + uninstall + "[RegistryKeys]\r\nHKLM\\Software\\Demo=\"open=1\r\n",
                   {{FindingKind::Error, 9, "never closes"}});
    ExpectFindings(head + uninstall + "[ExecuteOnUninstall]\r\n,x\r\n\"%apppath%\\a b.exe,1\r\n\" \",x\r\n",
                   {{FindingKind::Error, 9, "no program before the comma: the uninstaller skips the line"},
                    {FindingKind::Error, 10, "opening quote never closes"},
                    {FindingKind::Error, 11, "no program before the comma: the uninstaller skips the line"}});
    ExpectFindings(head + "1,1,\"data.bin,%apppath%\\data.bin\r\n" + uninstall,
                   {{FindingKind::Error, 6, "quoted field never closes"}, {FindingKind::Error, 6, "no destination"}});
    ExpectFindings("[SetupOptions]\r\nAppName=Demo\r\n[Files]\r\n1,1,tool.exe,%apppath%\\tool.exe\r\n" + uninstall,
                   {{FindingKind::Error, 3, "no file line installs SETUPPEL\\uninst.exe"}});
    ExpectFindings("[SetupOptions]\r\nAppName=Demo\r\n[Files]\r\n1,1,SETUPPEL\\uninst.exe,%bad%\\uninst.exe\r\n" +
                       uninstall,
                   {{FindingKind::Error, 4, "'%bad%' is not a variable"},
                    {FindingKind::Error, 4, "names no path: the uninstaller deletes %apppath%\\UNINST\\uninst.exe"}});
    ExpectFindings(head + uninstall + "[AddShortcut]\r\n1,1\r\n", {{FindingKind::Error, 9, "fewer than 3 fields"}});
}

TEST(CheckFindings, Hazards) {
    const CString head = kHead;
    const CString uninstall = kUninstall;
    ExpectFindings(head + uninstall + "%windir%\\win.ini\r\n", {{FindingKind::Hazard, 8, "'C:\\WINDOWS\\win.ini', outside"}});
    ExpectFindings(head + uninstall + "%apppath%\\..\\..\\WINDOWS\\win.ini\r\n", {{FindingKind::Hazard, 8, "outside"}});
    ExpectFindings(head + uninstall + "readme.txt\r\n",
                   {{FindingKind::Hazard, 8, "relative path"}});
    ExpectFindings(head + uninstall + "%APPPATH%\\TOOL.EXE\r\n", {{FindingKind::Hazard, 8, "the same path as line 7"}});
    ExpectFindings(head + uninstall + "[ExecuteOnUninstall]\r\nclean.exe,/quiet\r\n[RegisterControl]\r\nctl.ocx\r\n",
                   {{FindingKind::Hazard, 9, "bare name"}, {FindingKind::Hazard, 11, "bare name"}});
    ExpectFindings(head + uninstall + "[RegistryKeys]\r\nHKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run=Demo=x\r\n"
                                      "HKCU\\=a=b\r\nHKCR\\CLSID=@=\r\n",
                   {{FindingKind::Hazard, 9, "is shared"}, {FindingKind::Hazard, 10, "is a root"},
                    {FindingKind::Hazard, 11, "is shared"}});
    ExpectFindings(head + uninstall + "%sysdir%\\shared.dll\r\n[UnInstall.Shared]\r\n%sysdir%\\shared.dll\r\n"
                                      "[SharedComponents]\r\nyes\r\n",
                   {{FindingKind::Hazard, 8, "'C:\\WINDOWS\\SYSTEM32\\shared.dll', outside"},
                    {FindingKind::Hazard, 8, "also listed in [UnInstall.Shared] (line 10)"}});
    ExpectFindings(head + uninstall + "[UnInstall.Shared]\r\n%sysdir%\\shared.dll\r\n",
                   {{FindingKind::Hazard, 8, "[SharedComponents] is empty"}});
}

// Where a path lies is decided on its normal form; a path already in that form is held as it
// stands, so both ways must agree on every kind of part.
TEST(CheckPaths, NormalFormAndFolderScope) {
    const CodePage western = *CodePage::Known(1252);
    const CodePage japanese = *CodePage::Known(932);
    const struct {
        const char* path;
        const CodePage& codePage;
        const char* normal;
        bool inApp;  // held by the scope of C:\App
    } rows[] = {
        {"C:\\App\\a.txt", western, "C:\\App\\a.txt", true},
        {"c:\\app", western, "c:\\app", true},
        {"C:\\App\\.\\a.txt", western, "C:\\App\\a.txt", true},
        {"C:\\App\\\\a.txt", western, "C:\\App\\a.txt", true},
        {"C:\\App\\", western, "C:\\App", true},
        {"C:\\App\\sub\\..\\a.txt", western, "C:\\App\\a.txt", true},
        {"C:\\App\\\\..\\..\\WINDOWS", western, "C:\\WINDOWS", false},
        {"C:\\..\\..\\App\\a.txt", western, "C:\\App\\a.txt", true},
        {"C:\\AppData\\a.txt", western, "C:\\AppData\\a.txt", false},
        {"\\\\srv\\share\\..\\x", western, "\\\\srv\\x", false},
        {"\\a\\..\\b", western, "\\b", false},
        {"", western, "", false},
        // A trail byte 0x5C is no separator: the part it ends is a name, not an empty part.
        {"C:\\App\\\x83\x5C", japanese, "C:\\App\\\x83\x5C", true},
        {"C:\\App\\\x83\x5C\\..\\..\\a", japanese, "C:\\a", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(NormalisedPath(row.path, row.codePage), row.normal);
        EXPECT_EQ(FolderScope("C:\\App", row.codePage).Holds(row.path), row.inApp);
    }
    EXPECT_FALSE(FolderScope("App", western).Holds("App\\a.txt"));
}

TEST(CheckFindings, LeftoversAreInstalledFilesTheRunLeavesAndTheirFolders) {
    ExpectFindings(CString(kHead) + "1,1,extra.dat,%apppath%\\Data\\extra.dat\r\n" + kUninstall,
                   {{FindingKind::Leftover, 6, "C:\\Program Files\\App\\Data\\extra.dat"},
                    {FindingKind::Leftover, 0, "folder stays: C:\\Program Files\\App"},
                    {FindingKind::Leftover, 0, "folder stays: C:\\Program Files\\App\\Data"}},
                   true);
    // A file of another family's section is not installed on this one.
    ExpectFindings(CString(kHead) + "[Files.Win98]\r\n1,1,old.dll,%apppath%\\old.dll\r\n" + kUninstall, {}, true);
}

TEST(CheckFindings, TheNineXFamilyReadsItsOwnSectionsAndQueuesTheCopyInWininit) {
    CheckOptions options;
    options.family = Family::Win9x;
    const CheckResult result =
        CheckSetupText(CString(kHead) + "[Files.Win98]\r\n1,1,old.dll,%sysdir%\\old.dll\r\n" + kUninstall, options);
    ASSERT_EQ(result.findings.size(), 1u) << Describe(result.findings);
    EXPECT_EQ(result.findings[0].kind, FindingKind::Leftover);
    EXPECT_EQ(result.findings[0].message, "installed here and still there after the run: C:\\WINDOWS\\SYSTEM\\old.dll");
    EXPECT_EQ(result.plan.back(), "  write file C:\\WINDOWS\\WININIT.INI");
}

TEST(CheckFindings, ExitCodeIsTheWorstKind) {
    EXPECT_EQ(CheckExitCode({}), checkexit::kClean);
    EXPECT_EQ(CheckExitCode({{FindingKind::Leftover, 0, {}, {}}}), checkexit::kHazards);
    EXPECT_EQ(CheckExitCode({{FindingKind::Hazard, 1, {}, {}}, {FindingKind::Leftover, 0, {}, {}}}), checkexit::kHazards);
    EXPECT_EQ(CheckExitCode({{FindingKind::Leftover, 0, {}, {}}, {FindingKind::Error, 3, {}, {}}}), checkexit::kErrors);
}

TEST(CheckHostileInput, NulBytesAndHighBytesAreFindings) {
    CString text = CString(kHead) + kUninstall + "%apppath%\\a";
    text += '\0';
    text += "b.txt\r\n[RegistryKeys]\r\nnot seen\r\n";
    ExpectFindings(text, {{FindingKind::Error, 8, "NUL byte"}});

    ExpectFindings(CString(kHead) + kUninstall + "\xC4rger.txt\r\n",
                   {{FindingKind::Error, 8, "bytes 128-255"}, {FindingKind::Hazard, 8, "relative path"}});
}

TEST(CheckHostileInput, RandomBytesHugeLinesAndQuotesEndInFindings) {
    std::mt19937 random(16);
    for (int round = 0; round < 20; ++round) {
        // No NUL byte: the checker reads nothing after one, and the noise is to reach the parsers.
        CString noise(4096, '\0');
        for (char& byte : noise) byte = static_cast<char>(1 + random() % 255);
        // Sections among the noise. The registry noise starts with a letter, so that its first
        // line is read whatever bytes the noise starts with.
        const CString head = "[UnInstall]\n" + noise + "\n[RegistryKeys]\n";
        const CString text = head + "X" + noise.substr(100) + "\n[Files]\n" + noise.substr(7);
        const CheckResult result = CheckSetupText(text, CheckOptions{});
        EXPECT_EQ(CheckExitCode(result.findings), checkexit::kErrors);
        // The registry lines' parser read the noise: the first of its lines, which begins with a
        // letter, has a finding of its own (every line there has one, from "=" to the root).
        const int firstRegistryLine = static_cast<int>(std::count(head.begin(), head.end(), '\n')) + 1;
        EXPECT_TRUE(std::any_of(result.findings.begin(), result.findings.end(),
                                [&](const Finding& finding) { return finding.lineNumber == firstRegistryLine; }))
            << "round " << round << "\n" << Describe(result.findings);
    }

    const CString longLine(1 << 20, 'x');
    const CheckResult huge = CheckSetupText(CString(kHead) + kUninstall + "%apppath%\\" + longLine + "\r\n" +
                                                "[RegistryKeys]\r\nHKLM\\" + longLine + "=\"" + longLine + "\r\n",
                                            CheckOptions{});
    ASSERT_FALSE(huge.findings.empty());
    EXPECT_EQ(huge.findings.back().lineNumber, 10);
    EXPECT_NE(huge.findings.back().message.find("never closes"), CString::npos);
}

TEST(CheckReader, NumberedSectionsAreTheUninstallersLines) {
    const CString text =
        "  [files] remark\r\n; note\r\n1,1,a\r\n\r\n  \t2,2,b  \r\n[Files.Win98]\r\n[files]\r\nsecond\r\n"
        "[Option.x]]\r\nbracket\r\n[UnInstall]\r\n\xE9\xE9name\r\n[Un";
    for (const char* name : {"Files", "files.win98", "Option.x]", "UnInstall", "Missing"}) {
        CStringArray expected;
        ReadSectionLines(text, name, expected, CodePage());
        CStringArray got;
        for (const NumberedLine& line : NumberedText(text, CodePage()).Section(name)) got.push_back(line.text);
        EXPECT_EQ(got, expected) << name;
    }
    const NumberedLines files = NumberedText(text, CodePage()).Section("Files");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].number, 3);
    EXPECT_EQ(files[1].number, 5);
    EXPECT_TRUE(NumberedText(text, CodePage()).Section("UnInstall").at(0).lostBytes);
}

TEST(CheckReader, InstalledFilesFollowTheUninstallersFileList) {
    const CString text =
        "[SetupOptions]\nAppName=Demo\n[Files]\n1,1,a.exe,%apppath%\\a.exe\n[Files.WinNT5]\n1,1,b.dll,,x\n"
        "[Options]\nExtra,1,1\nextra,1,1\nShort,1\n[Option.Extra]\n1,1,c.dat,C:\\Data\\c.dat\n[Option.Extra.WinNT5]\n"
        "1,1,d.dat,d.dat\n[UnInstall]\nx\n";
    CheckProbe probe(text, CheckOptions{});
    CStringArray lines;
    CStringArray paths;
    for (const InstalledFile& file : probe.InstalledFiles()) {
        lines.push_back(file.line.text);
        paths.push_back(file.path);
    }
    EXPECT_EQ(lines, probe.App().m_fileLines);
    EXPECT_EQ(paths, (CStringArray{"C:\\Program Files\\App\\a.exe", "C:\\Program Files\\App\\b.dll", "C:\\Data\\c.dat",
                                   "C:\\Program Files\\App\\d.dat"}));
}

}  // namespace
