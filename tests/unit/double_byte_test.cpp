// Japanese, Chinese and Korean systems: a character can take two bytes, and its second byte can
// be a backslash (932, 936, 950) or an ASCII letter (all four). The same installation is removed
// on each code page, with its folders recorded without their closing backslash, so that every
// folder ends in such a character; the Western code page shows that single-byte systems behave
// as before.

#include <gtest/gtest.h>

#include <cstring>

#include "app/run_lock.h"
#include "app/uninst_app.h"
#include "check/checker.h"
#include "phases/folder_chain.h"
#include "platform/sim/sim_machine.h"
#include "setupinfo/setup_text.h"
#include "text/text.h"

namespace {

struct CodePageCase {
    std::uint32_t number;
    const char* name;      // a folder name whose last character is the risky one
    const char* common;    // the common folder's name: one such character
    const char* letter;    // a character whose second byte is "A", or plain "A" on a single-byte system
    const char* twin;      // the same lead byte before "a": another character, or "a"
    bool doubleByte;
};

void PrintTo(const CodePageCase& c, std::ostream* out) { *out << c.number; }

const CodePageCase kCases[] = {
    // 計算表 and 能: 表 is 0x95 0x5C, 能 0x94 0x5C; ア is 0x83 0x41.
    {932, "\x8C\x76\x8E\x5A\x95\x5C", "\x94\x5C", "\x83\x41", "\x83\x61", true},
    // 中文 and 乗 (0x81 0x5C).
    {936, "\xD6\xD0\xCE\xC4\x81\x5C", "\x81\x5C", "\x81\x41", "\x81\x61", true},
    // 한국 and 갂 (0x81 0x41): no second byte is a backslash here, but letters are.
    {949, "\xC7\xD1\xB1\xB9\x81\x41", "\x81\x41", "\x81\x41", "\x81\x61", true},
    // 許功蓋: every one of them ends in 0x5C; 乙 is 0xA4 0x41.
    {950, "\xB3\x5C\xA5\x5C\xBB\x5C", "\xA5\x5C", "\xA4\x41", "\xA4\x61", true},
    {1252, "Caf\xE9", "\xC6", "A", "a", false},
};

class DoubleByteText : public ::testing::TestWithParam<CodePageCase> {
protected:
    const CodePage m_codePage = *CodePage::Known(GetParam().number);
};

TEST_P(DoubleByteText, ABackslashIsOneOnlyWhereItIsACharacter) {
    const CodePageCase& c = GetParam();
    const CString folder = CString("C:\\ACC\\") + c.name;
    EXPECT_FALSE(EndsWithBackslash(folder, m_codePage));
    EXPECT_EQ(WithTrailingBackslash(folder, m_codePage), folder + "\\");
    EXPECT_EQ(WithTrailingBackslash(folder + "\\", m_codePage), folder + "\\");
    EXPECT_EQ(WithoutTrailingBackslashBeyondRoot(folder, m_codePage), folder);
    EXPECT_EQ(WithoutTrailingBackslashBeyondRoot(folder + "\\", m_codePage), folder);
    EXPECT_EQ(WithoutTrailingBackslashes(folder + "\\\\", m_codePage), folder);
    EXPECT_EQ(FolderOf(folder, m_codePage), "C:\\ACC\\");
    EXPECT_EQ(FolderOf(folder + "\\" + c.common + ".DLL", m_codePage), folder + "\\");
    EXPECT_FALSE(HasBackslash(CString(c.name) + c.common, m_codePage));
    EXPECT_EQ(m_codePage.FindLast(folder, '\\'), 6u);
    EXPECT_EQ(m_codePage.Find(CString(c.common) + "\\x", '\\'), std::strlen(c.common));
    // Lead bytes in a row pair up among themselves, from the start of the text or from the last
    // byte that is not one: after an odd number of them the backslash is a second byte.
    const CString lead(1, c.common[0]);
    EXPECT_EQ(EndsWithBackslash(lead + lead + lead + "\\", m_codePage), !c.doubleByte);
    EXPECT_TRUE(EndsWithBackslash("C:\\" + lead + lead + "\\", m_codePage));
    EXPECT_EQ(m_codePage.FindLast("A\\" + lead + lead + lead + "\\" + lead, '\\'), c.doubleByte ? 1u : 5u);
    EXPECT_EQ(m_codePage.FindLast(lead + "\\" + lead + "\\", '\\'), c.doubleByte ? CString::npos : 3u);
    EXPECT_TRUE(m_codePage.IsCharacterStart(lead, 1));
}

TEST_P(DoubleByteText, LettersFoldOnlyWhereTheyAreCharacters) {
    const CodePageCase& c = GetParam();
    // The second byte of a character is never folded: the twin is another character.
    EXPECT_EQ(EqualsNoCase(c.letter, c.twin, m_codePage), !c.doubleByte);
    EXPECT_EQ(FoldAscii(CString("X") + c.letter, m_codePage), CString("x") + (c.doubleByte ? c.letter : c.twin));
    EXPECT_TRUE(EqualsNoCase(CString("ACC\\") + c.letter, CString("acc\\") + c.letter, m_codePage));
    EXPECT_EQ(StartsWithNoCase(CString(c.twin) + "x", c.letter, m_codePage), !c.doubleByte);
    // A suffix that begins inside a character does not end the text.
    EXPECT_EQ(EndsWithNoCase(CString(c.name) + "\\", "\\", m_codePage), true);
    EXPECT_EQ(EndsWithNoCase(c.letter, "A", m_codePage), !c.doubleByte);
}

TEST_P(DoubleByteText, SectionsAndFieldsKeepTheirCharacters) {
    const CodePageCase& c = GetParam();
    // A section name whose character's second byte is a bracket, a line that starts with a
    // double-byte character, and a field that does.
    const CString bracketName = c.doubleByte && GetParam().number != 949 ? "\x83\x5D" : "X";
    const CString text = CString("[Option.") + bracketName + "]\r\n" + c.name + ".EXE\r\n[UnInstall]\r\n" + c.common +
                         "\\" + c.name + "\r\n";
    CStringArray lines;
    ReadSectionLines(text, "Option." + bracketName, lines, m_codePage);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], CString(c.name) + ".EXE");

    ReadSectionLines(text, "UnInstall", lines, m_codePage);
    ASSERT_EQ(lines.size(), 1u);
    // A single-byte system takes bytes from 128 up for blanks at a line's start, as it always did.
    EXPECT_EQ(lines[0], c.doubleByte ? CString(c.common) + "\\" + c.name : CString("\\") + c.name);

    CStringArray fields;
    SplitFields(CString("1,1,") + c.letter + "x.dll, " + c.common, fields, m_codePage);
    EXPECT_EQ(fields.at(2), CString(c.letter) + "x.dll");
    // A single-byte system skips bytes from 128 up as blanks, and a field of nothing else is none.
    ASSERT_EQ(fields.size(), c.doubleByte ? 4u : 3u);
    if (c.doubleByte) {
        EXPECT_EQ(fields[3], c.common);
    }
}

TEST_P(DoubleByteText, TheFolderWalkStopsAtItsBound) {
    const CodePageCase& c = GetParam();
    const CString common = CString("C:\\ACC\\Common\\") + c.common;
    EXPECT_EQ(FoldersToRemove({common + "\\LIB\\"}, {common}, m_codePage),
              (CStringArray{common + "\\LIB\\", common + "\\"}));
}

TEST_P(DoubleByteText, TheLockNameKeepsEveryCharacterWhole) {
    const CodePageCase& c = GetParam();
    const CString prefix = "Tallowmere UNINST ";
    // Only a backslash that is a character of its own becomes a slash.
    EXPECT_EQ(InstallationLockName(CString(c.name) + "\\Sub" + c.letter, m_codePage, false),
              prefix + FoldAscii(c.name, m_codePage) + "/sub" + (c.doubleByte ? c.letter : c.twin));
    // Cut at a character to a length the system takes.
    CString longName = "X";
    for (int i = 0; i < 150; ++i) longName += c.common;
    const CString kept = InstallationLockName(longName, m_codePage, true).substr(CString("Global\\").size() + prefix.size());
    // 200 bytes at most: 99 two-byte characters after the X, or the whole single-byte name.
    EXPECT_EQ(kept.size(), c.doubleByte ? 199u : longName.size());
    EXPECT_EQ(kept, FoldAscii(longName.substr(0, kept.size()), m_codePage));
}

INSTANTIATE_TEST_SUITE_P(CodePages, DoubleByteText, ::testing::ValuesIn(kCases));

// The whole installation named in the code page's characters, each folder recorded without its
// closing backslash.
constexpr char kRecordPath[] = "SOFTWARE\\Tallowmere\\UNINST\\ACC";
constexpr char kWorkingCopy[] = "C:\\WINDOWS\\TEMP\\~UN3A1F.tmp";

struct Installation {
    CString app;
    CString common;
    CString menu;
    CString setupText;
};

Installation LayInstallation(SimMachine& machine, const CodePageCase& c) {
    machine.system().SetCodePage(c.number).UseWindowsNt4();
    Installation laid;
    laid.app = CString("C:\\ACC\\") + c.name;
    laid.common = CString("C:\\ACC\\Common\\") + c.common;
    laid.menu = CString("C:\\ACC\\Menu\\") + c.name;
    const CString name = c.name;
    laid.setupText = "[SetupOptions]\r\nAppName=ACC\r\n"
                     "[Files]\r\n1,1,SETUPPEL\\uninst.exe,%apppath%\\UNINST\\uninst.exe\r\n"
                     "[UnInstall]\r\n%apppath%\\" + name + ".EXE\r\n%apppath%\\" + c.common + "\\" + c.letter +
                     ".dat\r\n%apppath%\\" + c.common + "\\" + c.twin + ".dat\r\n%appcommon%\\" + name + ".DLL\r\n"
                     "[RegistryKeys]\r\nHKLM\\SOFTWARE\\ACC\\" + name + "=Version=1\r\nHKLM\\SOFTWARE\\ACC\\" + name + "\\" +
                     c.letter + "=x=1\r\n"
                     "[AddShortcut]\r\nx,y," + name + ".lnk\r\n";

    SimFiles& files = machine.files();
    files.AddFile(kWorkingCopy, "program")
        .AddFile(laid.app + "\\UNINST\\uninst.exe", "program")
        .AddFile(laid.app + "\\UNINST\\SETUP.INF", laid.setupText)
        .AddFile(laid.app + "\\" + name + ".EXE", "x")
        .AddFile(laid.app + "\\" + c.common + "\\" + c.letter + ".dat", "x")
        .AddFile(laid.app + "\\" + c.common + "\\" + c.twin + ".dat", "x")
        .AddFile(laid.common + "\\" + name + ".DLL", "x")
        .AddFile(laid.menu + "\\" + name + ".lnk", "x")
        .AddFile(laid.menu + "\\Un-Install.LNK", "x");
    // What a cut join would name; the letter's twin in [UnInstall] above is another file, which
    // byte folding would take for the same one and leave.
    files.AddFile(laid.app + name + ".EXE", "keep").AddFolder("C:\\ACC\\Menu\\Other");

    SimRegistry& registry = machine.registry();
    registry.SetString(kLocalMachine, kRecordPath, "", laid.app)
        .SetString(kLocalMachine, kRecordPath, "StartMenuFolderName", laid.menu)
        .SetString(kLocalMachine, CString(kRecordPath) + "\\AppCommon", "", laid.common)
        .SetString(kLocalMachine, "SOFTWARE\\ACC\\" + name, "Version", "1")
        .SetString(kLocalMachine, "SOFTWARE\\ACC\\" + name + "\\" + c.letter, "", "x")
        .SetString(kLocalMachine, "SOFTWARE\\ACC\\" + CString(c.twin), "", "keep");
    machine.system()
        .SetArgumentText("/UNINST=77," + laid.app + "\\UNINST\\uninst.exe")
        .SetModuleFileName(kWorkingCopy);
    return laid;
}

class DoubleByteRun : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(DoubleByteRun, RemovesTheWholeInstallationAndNothingBeside) {
    const CodePageCase& c = GetParam();
    SimMachine machine;
    const Installation laid = LayInstallation(machine, c);
    {
        CUninstApp app(machine.platform());
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(app.ExitCode(), 0);
    }
    const CString dump = machine.transcript().Dump();
    EXPECT_TRUE(machine.transcript().MessageBoxes().empty()) << dump;
    const CString name = c.name;
    for (const CString& gone : {laid.app, laid.common, laid.menu}) {
        EXPECT_FALSE(machine.files().FolderExists(gone)) << gone << "\n" << dump;
    }
    EXPECT_FALSE(machine.registry().KeyExists(kLocalMachine, "SOFTWARE\\ACC\\" + name)) << dump;
    EXPECT_FALSE(machine.registry().KeyExists(kLocalMachine, kRecordPath)) << dump;

    EXPECT_TRUE(machine.files().FileExists(laid.app + name + ".EXE")) << dump;
    // The bounds are the common and start-menu folders: nothing above them goes.
    EXPECT_TRUE(machine.files().FolderExists("C:\\ACC\\Common")) << dump;
    EXPECT_TRUE(machine.files().FolderExists("C:\\ACC\\Menu\\Other")) << dump;
    EXPECT_TRUE(machine.registry().KeyExists(kLocalMachine, "SOFTWARE\\ACC\\" + CString(c.twin))) << dump;
}

TEST_P(DoubleByteRun, TheCheckerPlansTheSameInstallation) {
    const CodePageCase& c = GetParam();
    SimMachine machine;
    const Installation laid = LayInstallation(machine, c);
    CheckOptions options;
    options.appPath = laid.app;
    options.appCommon = laid.common;
    options.startMenu = laid.menu + "\\";
    options.codePage = c.number;
    const CheckResult result = CheckSetupText(laid.setupText, options);
    CString plan;
    for (const CString& line : result.plan) plan += line + "\n";
    for (const Finding& finding : result.findings) {
        EXPECT_NE(finding.kind, FindingKind::Leftover) << finding.message << "\n" << plan;
    }
    const CString name = c.name;
    for (const CString& removed : {laid.app + "\\" + name + ".EXE", laid.common + "\\" + name + ".DLL",
                                   laid.menu + "\\" + name + ".lnk", "SOFTWARE\\ACC\\" + name}) {
        EXPECT_NE(plan.find(removed + "\n"), CString::npos) << removed << "\n" << plan;
    }
    EXPECT_EQ(plan.find(laid.app + name + ".EXE"), CString::npos) << plan;
    EXPECT_EQ(result.runExitCode, 0) << plan;
}

INSTANTIATE_TEST_SUITE_P(CodePages, DoubleByteRun, ::testing::ValuesIn(kCases));

}  // namespace
