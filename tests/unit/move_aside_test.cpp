// Files in use leave their names free before the restart: where each one goes, what stays under
// its own name, that a reinstall before the restart keeps its files, and which pauses the quiet
// modes skip.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/sim/sim_text.h"
#include "text/code_page.h"
#include "working_copy_run.h"

namespace {

using namespace working_copy_run;

const CodePage kSingleByte;  // every path here is ASCII
constexpr char kFirstAside[] = "C:\\WINDOWS\\TEMP\\~UN5B20\\~UN0000.TMP";
constexpr char kCopySwitch[] = "/UNINST=0,C:\\App\\UNINST\\UNINST.EXE";

class MoveAsideTest : public WorkingCopyRunTest {
protected:
    void SetUp() override {
        WorkingCopyRunTest::SetUp();
        // The fresh machine's own program, which would keep the application folder.
        m_machine.platform().files.Delete("C:\\App\\UNINST.EXE");
    }
};

// ---- Where a file in use goes ----

enum class Hold { Running, SharingDeletion, WithoutSharing };

struct AsideCase {
    const char* label;
    bool nt;
    const char* file;
    Hold hold;
    const char* module;     // the running working copy
    CStringArray taken;     // names that exist before the run
    const char* holder;     // the name that holds the file after the run, and is queued
    const char* keptBecause = "held open without delete sharing";  // when it keeps its name
};

// Every name of our own in the private folder but the working copy's, which holds the last one.
CStringArray EveryOtherAsideName() {
    CStringArray names;
    for (unsigned number = 0; number < 0x10000; ++number) {
        char name[16];
        std::snprintf(name, sizeof name, "\\~UN%04X.TMP", number);
        const CString path = kPrivateFolder + CString(name);
        if (!SimEqualsNoCase(path, kWorkingCopy, kSingleByte)) names.push_back(path);
    }
    return names;
}

class AsideRuleTest : public MoveAsideTest, public ::testing::WithParamInterface<AsideCase> {};

TEST_P(AsideRuleTest, TheFileGoesAtTheRestartUnderTheName) {
    const AsideCase& c = GetParam();
    if (c.nt) m_machine.system().UseWindowsNt4();
    if (!SimEqualsNoCase(c.module, kWorkingCopy, kSingleByte)) m_machine.system().SetModuleFileName(c.module);
    m_machine.files().AddFile(c.module, "program").AddFile(c.file, "data");
    for (const CString& name : c.taken) m_machine.files().AddFile(name, "someone else's");
    switch (c.hold) {
        case Hold::Running: m_machine.files().MarkInUse(c.file); break;
        case Hold::SharingDeletion: m_machine.files().MarkHeldOpenSharingDelete(c.file); break;
        case Hold::WithoutSharing: m_machine.files().MarkHeldOpen(c.file); break;
    }
    WriteSetup({c.file});
    EXPECT_EQ(Run(CString(kCopySwitch) + " /SILENT /LOG=C:\\Logs\\run.log"), 0);

    const bool moved = !SimEqualsNoCase(c.holder, c.file, kSingleByte);
    EXPECT_EQ(m_machine.files().FileContent(c.holder), CString("data")) << Dump();
    EXPECT_EQ(m_machine.files().FileExists(c.file), !moved);
    for (const CString& name : c.taken) EXPECT_EQ(m_machine.files().FileContent(name), CString("someone else's"));
    if (moved) {
        EXPECT_TRUE(Logged("moved aside: " + CString(c.file) + " -> " + c.holder)) << Log();
    } else {
        EXPECT_NE(Log().find("] not moved aside: " + CString(c.file) + " (" + c.keptBecause + ")"), CString::npos) << Log();
    }
    // What the restart deletes names the holder; a new name queued and then not used holds nothing.
    if (c.nt) {
        const CStringArray& pending = m_machine.files().PendingRestartDeletions();
        EXPECT_NE(std::find(pending.begin(), pending.end(), c.holder), pending.end()) << Dump();
        for (const CString& name : pending) {
            EXPECT_TRUE(SimEqualsNoCase(name, c.holder, kSingleByte) || !m_machine.files().FileExists(name) ||
                        SimEqualsNoCase(name, c.module, kSingleByte))
                << name;
        }
    } else {
        EXPECT_EQ(m_machine.files().ProfileValues(kWininit, "Rename", "NUL"), (CStringArray{c.module, c.holder}))
            << m_machine.files().FileContent(kWininit).value_or("");
    }
    m_machine.files().Restart();
    EXPECT_FALSE(m_machine.files().FileExists(c.holder));
    for (const CString& name : c.taken) EXPECT_TRUE(m_machine.files().FileExists(name));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AsideRuleTest,
    ::testing::Values(
        AsideCase{"NtRunningProgramToThePrivateFolder", true, "C:\\App\\tool.exe", Hold::Running, kWorkingCopy, {},
                  kFirstAside},
        AsideCase{"NtDeleteSharingToThePrivateFolder", true, "C:\\App\\notes.doc", Hold::SharingDeletion,
                  kWorkingCopy, {}, kFirstAside},
        AsideCase{"NtWithoutSharingKeepsItsName", true, "C:\\App\\notes.doc", Hold::WithoutSharing, kWorkingCopy, {},
                  "C:\\App\\notes.doc"},
        AsideCase{"NtOtherVolumeStaysBesideItself", true, "D:\\Shared\\tool.exe", Hold::Running, kWorkingCopy, {},
                  "D:\\Shared\\~UN0000.TMP"},
        AsideCase{"NtTakenNamesArePassedOver", true, "C:\\App\\tool.exe", Hold::Running, kWorkingCopy,
                  {kFirstAside, "C:\\WINDOWS\\TEMP\\~UN5B20\\~UN0001.TMP"}, "C:\\WINDOWS\\TEMP\\~UN5B20\\~UN0002.TMP"},
        AsideCase{"NtNoPrivateFolderBesideItself", true, "C:\\App\\tool.exe", Hold::Running,
                  "C:\\WINDOWS\\TEMP\\~UN3A1F.tmp", {"C:\\App\\~UN0000.TMP"}, "C:\\App\\~UN0001.TMP"},
        AsideCase{"NtEveryNameTakenKeepsItsName", true, "C:\\App\\tool.exe", Hold::Running, kWorkingCopy,
                  EveryOtherAsideName(), "C:\\App\\tool.exe",
                  "no name of our own is free on its volume"},
        AsideCase{"Win9xRunningProgramKeepsItsName", false, "C:\\App\\tool.exe", Hold::Running, kWorkingCopy, {},
                  "C:\\App\\tool.exe"},
        AsideCase{"Win9xDeleteSharingKeepsItsName", false, "C:\\App\\notes.doc", Hold::SharingDeletion, kWorkingCopy,
                  {}, "C:\\App\\notes.doc"}),
    [](const ::testing::TestParamInfo<AsideCase>& info) { return CString(info.param.label); });

// ---- A reinstall before the restart ----

TEST_F(MoveAsideTest, ReinstallBeforeTheRestartKeepsItsFilesOnNt) {
    m_machine.system().UseWindowsNt4();
    m_machine.files().AddFile("C:\\App\\tool.exe", "old").AddFile("C:\\App\\DATA\\notes.doc", "old");
    m_machine.files().MarkInUse("C:\\App\\tool.exe").MarkHeldOpenSharingDelete("C:\\App\\DATA\\notes.doc");
    WriteSetup({"%apppath%\\tool.exe", "%apppath%\\DATA\\notes.doc"});
    // With /WAIT the first instance runs from the installed uninstaller until the very end.
    m_machine.files().MarkInUse(kInstalledCopy);
    EXPECT_EQ(Run(CString(kCopySwitch) + " /VERYSILENT /WAIT"), 3010);
    // Every name is free at once, and the folders that held the files are gone now.
    EXPECT_FALSE(m_machine.files().FolderExists("C:\\App")) << Dump();

    for (const char* path : {"C:\\App\\tool.exe", "C:\\App\\DATA\\notes.doc", kInstalledCopy, kSetupInf}) {
        m_machine.files().AddFile(path, "new");
    }
    m_machine.files().Restart();
    CStringArray left;
    for (const CString& path : m_machine.files().FilePaths()) {
        if (path.rfind("C:\\App", 0) == 0 || path.rfind(kPrivateFolder, 0) == 0) left.push_back(path);
    }
    EXPECT_EQ(left, (CStringArray{"C:\\App\\DATA\\notes.doc", "C:\\App\\tool.exe", kSetupInf, kInstalledCopy}));
    for (const CString& path : left) EXPECT_EQ(m_machine.files().FileContent(path), CString("new")) << path;
    EXPECT_FALSE(m_machine.files().FolderExists(kPrivateFolder));
    EXPECT_TRUE(m_machine.files().PendingRestartDeletions().empty());
}

// ---- Pauses ----

struct PauseCase {
    const char* label;
    const char* switches;
    std::vector<std::uint32_t> pauses;
};

class PauseTest : public MoveAsideTest, public ::testing::WithParamInterface<PauseCase> {};

TEST_P(PauseTest, OnlyAWatchedWindowIsWaitedFor) {
    m_machine.files().AddFile("C:\\App\\a.dll");
    WriteSetup({"%apppath%\\a.dll"});
    m_machine.ui().AnswerConfirmation(mb::kIdOk);
    EXPECT_EQ(Run(CString("/UNINST=77,C:\\App\\UNINST\\UNINST.EXE") + GetParam().switches), 0);
    EXPECT_FALSE(m_machine.files().FileExists("C:\\App\\a.dll"));
    // The release of the first instance waits in every mode: that is what lets its file go.
    EXPECT_EQ(m_machine.transcript().Pauses(), GetParam().pauses) << Dump();
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PauseTest,
    ::testing::Values(PauseCase{"Person", "", {250, 250, 250, 250, 500, 250, 250, 1000}},
                      PauseCase{"Silent", " /SILENT", {250, 250, 250, 250, 500, 250, 250, 1000}},
                      PauseCase{"VerySilent", " /VERYSILENT", {500}}, PauseCase{"ShortVerySilent", " /s", {500}}),
    [](const ::testing::TestParamInfo<PauseCase>& info) { return CString(info.param.label); });

}  // namespace
