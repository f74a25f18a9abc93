// The command line of both instances, the relaunch line between them, the system word and the
// unattended switches.

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/os_detection.h"
#include "app/run_log.h"
#include "app/unattended.h"

namespace {

TEST(CommandLine, WorkingCopySwitchIgnoresCase) {
    EXPECT_TRUE(IsWorkingCopySwitch("/uninst"));
    EXPECT_TRUE(IsWorkingCopySwitch("/UnInst=1,x"));
    EXPECT_FALSE(IsWorkingCopySwitch("/UNINS"));
    EXPECT_FALSE(IsWorkingCopySwitch(" /UNINST"));
    EXPECT_FALSE(IsWorkingCopySwitch(""));
}

TEST(CommandLine, UninstValue) {
    struct Case {
        const char* arguments;
        std::int32_t threadId;
        const char* path;  // nullptr: none
    };
    const Case cases[] = {
        {"/UNINST", 0, nullptr},
        {"/UNINSTX", 0, nullptr},
        {"/UNINST=", 0, nullptr},
        {"/UNINST=   ", 0, nullptr},
        {"/UNINST=123,C:\\APP\\UNINST\\UNINST.EXE /X", 123, "C:\\APP\\UNINST\\UNINST.EXE"},
        {"/uninst=-42,C:\\A.EXE", -42, "C:\\A.EXE"},
        {"/UNINST=,C:\\APP\\UNINST.EXE", 0, "C:\\APP\\UNINST.EXE"},
        {"/UNINST=C:\\MY,DIR\\UNINST.EXE", 0, "C:\\MY,DIR\\UNINST.EXE"},
        {"/UNINST=123,", 123, nullptr},
        {"/UNINST=7,C:\\My App\\UNINST.EXE", 7, "C:\\My"},
        {"/UNINST=7,\"C:\\My App\\UNINST.EXE\" /S", 7, "C:\\My App\\UNINST.EXE"},
        {"/UNINST=99999999999,C:\\X", 1215752191, "C:\\X"},
        {"/UNINST=C:\\\xC4\xD6\\U.EXE", 0, "C:\\\xC4\xD6\\U.EXE"},
    };
    for (const Case& c : cases) {
        const UninstSwitch parsed = ParseUninstArguments(c.arguments);
        EXPECT_EQ(parsed.waitingThreadId, c.threadId) << c.arguments;
        if (c.path) {
            ASSERT_TRUE(parsed.programPath) << c.arguments;
            EXPECT_EQ(*parsed.programPath, c.path) << c.arguments;
        } else {
            EXPECT_FALSE(parsed.programPath) << c.arguments;
        }
    }
}

TEST(CommandLine, RelaunchLine) {
    EXPECT_EQ(BuildRelaunchCommandLine("C:\\TEMP\\~UN1.tmp", 123, "C:\\PROG~1\\UNINST.EXE", ""),
              "\"C:\\TEMP\\~UN1.tmp\" /UNINST=123,C:\\PROG~1\\UNINST.EXE");
    EXPECT_EQ(BuildRelaunchCommandLine("C:\\T\\~UN2.tmp", -5, "C:\\A.EXE", "/X y"),
              "\"C:\\T\\~UN2.tmp\" /UNINST=-5,C:\\A.EXE /X y");
    // A path that would be cut at its blank reaches the copy whole.
    const CString quoted = BuildRelaunchCommandLine("C:\\T\\~UN3.tmp", 9, "C:\\My App\\UNINST.EXE", "");
    EXPECT_EQ(quoted, "\"C:\\T\\~UN3.tmp\" /UNINST=9,\"C:\\My App\\UNINST.EXE\"");
    const UninstSwitch back = ParseUninstArguments(quoted.substr(quoted.find("/UNINST")));
    EXPECT_EQ(back.waitingThreadId, 9);
    EXPECT_EQ(back.programPath.value_or(""), "C:\\My App\\UNINST.EXE");
}

TEST(CommandLine, ProgramTitle) {
    EXPECT_EQ(ProgramTitle("C:\\Users\\me\\Temp\\~UN3425.tmp", CodePage()), "~UN3425");
    EXPECT_EQ(ProgramTitle("C:\\APP\\UNINST\\uninst.exe", CodePage()), "uninst");
    EXPECT_EQ(ProgramTitle("noext", CodePage()), "noext");
}

TEST(OsDetection, WordForEveryRow) {
    EXPECT_EQ(OsNameFor(true, 3, 51), "");
    EXPECT_EQ(OsNameFor(true, 4, 0), "WinNT4");
    EXPECT_EQ(OsNameFor(true, 5, 1), "WinNT5");
    EXPECT_EQ(OsNameFor(true, 10, 0), "WinNT5");
    EXPECT_EQ(OsNameFor(false, 3, 10), "");
    EXPECT_EQ(OsNameFor(false, 4, 0), "Win95");
    EXPECT_EQ(OsNameFor(false, 4, 9), "Win95");
    EXPECT_EQ(OsNameFor(false, 4, 10), "Win98");
    EXPECT_EQ(OsNameFor(false, 4, 90), "Win98");
}

TEST(Unattended, SwitchesAnywhereAnyCase) {
    const UnattendedOptions none = ParseUnattendedSwitches("/UNINST=1,C:\\A\\UNINST.EXE /X");
    EXPECT_EQ(none.quietness, Quietness::Normal);
    EXPECT_FALSE(none.logPath);
    EXPECT_FALSE(none.wait);

    const UnattendedOptions all =
        ParseUnattendedSwitches("/UNINST=1,\"C:\\My /S\\UNINST.EXE\" /silent /Wait /log=\"C:\\my log.txt\" other");
    EXPECT_EQ(all.quietness, Quietness::Silent);
    EXPECT_TRUE(all.wait);
    EXPECT_EQ(all.logPath.value_or("?"), "C:\\my log.txt");

    EXPECT_EQ(ParseUnattendedSwitches("/s").quietness, Quietness::VerySilent);
    EXPECT_EQ(ParseUnattendedSwitches("/VERYSILENT /SILENT").quietness, Quietness::VerySilent);
    EXPECT_EQ(ParseUnattendedSwitches("/UNINST /LOG=C:\\l.txt next").logPath.value_or("?"), "C:\\l.txt");
    EXPECT_EQ(ParseUnattendedSwitches("/LOG=").logPath.value_or("?"), "");
    EXPECT_EQ(ParseUnattendedSwitches("/SILENTLY /WAITING /SS").quietness, Quietness::Normal);
}

TEST(RunLog, OneLinePerEvent) {
    const LocalTime time{2026, 12, 7, 9, 5, 3, 42};
    EXPECT_EQ(FormatLogLine(time, "copy", "message: a\r\nb -> OK"),
              "2026-12-07 09:05:03.042 [copy] message: a\\r\\nb -> OK\r\n");
}

TEST(RunLog, RenameSectionKeepsEveryDeletion) {
    EXPECT_EQ(AddRenameDeletion("", "C:\\A.EXE"), "[Rename]\r\nNUL=C:\\A.EXE\r\n");
    EXPECT_EQ(AddRenameDeletion("[rename]\r\nNUL=C:\\TEMP\\~UN1.TMP\r\n", "C:\\A.EXE"),
              "[rename]\r\nNUL=C:\\A.EXE\r\nNUL=C:\\TEMP\\~UN1.TMP\r\n");
    EXPECT_EQ(AddRenameDeletion("[Other]\r\nx=1", "C:\\A.EXE"), "[Other]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A.EXE\r\n");
}

}  // namespace
