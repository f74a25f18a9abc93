// The registry phase on its own: which listed keys go, in which order, what is reported, and
// the keys it must never delete.

#include <gtest/gtest.h>

#include "app/uninst_app.h"
#include "platform/sim/sim_machine.h"

namespace {

constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class RegistryPhaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_app.m_appPath = "C:\\App\\";
        m_app.m_appName = "Demo";
        m_app.m_progress = m_machine.ui().CreateProgressWindow("Demo", Language::English());
    }
    void Remove(const CString& lines) {
        m_app.m_setupText = "[RegistryKeys]\r\n" + lines;
        m_app.RemoveRegistryEntries();
    }
    // The keys that RegDeleteKey removed, in the order it did.
    CStringArray Deleted() const {
        CStringArray keys;
        for (const SimEvent& e : m_machine.transcript().EventsOf(SimEventKind::KeyDeleted)) {
            if (e.number == reg::kSuccess) keys.push_back(e.text);
        }
        return keys;
    }
    CStringArray Texts() const { return m_machine.transcript().MessageTexts(); }
    CString Dump() const { return m_machine.transcript().Dump(); }

    SimMachine m_machine;
    CUninstApp m_app{m_machine.platform()};
};

class ParentChildOrderTest : public RegistryPhaseTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ParentChildOrderTest, ChildGoesFirstThenParent) {
    m_machine.registry().SetString(kLocalMachine, "SOFTWARE\\Example", "Ver", "1");
    m_machine.registry().SetString(kLocalMachine, "SOFTWARE\\Example\\Tool", "Path", "C:\\App");
    Remove(GetParam());
    EXPECT_EQ(Deleted(), (CStringArray{"HKLM\\SOFTWARE\\Example\\Tool", "HKLM\\SOFTWARE\\Example"})) << Dump();
    EXPECT_TRUE(m_machine.registry().KeyExists(kLocalMachine, "SOFTWARE"));
    EXPECT_TRUE(Texts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Orders, ParentChildOrderTest,
    ::testing::Values("HKLM\\SOFTWARE\\Example=Ver=1\r\nHKLM\\SOFTWARE\\Example\\Tool=Path=%apppath%\r\n",
                      "HKLM\\SOFTWARE\\Example\\Tool=Path=%apppath%\r\nHKLM\\SOFTWARE\\Example=Ver=1\r\n"));

TEST_F(RegistryPhaseTest, SeveralLinesForOneKeyDeleteItOnceSilently) {
    m_machine.registry()
        .SetString(kCurrentUser, "Software\\Example", "A", "1")
        .SetString(kCurrentUser, "Software\\Example", "B", "2");
    Remove("HKCU\\Software\\Example=A=1\r\nHKCU\\Software\\Example=B=2\r\nHKCU\\Software\\Example=@=x\r\n");
    EXPECT_FALSE(m_machine.registry().KeyExists(kCurrentUser, "Software\\Example"));
    EXPECT_EQ(m_machine.transcript().Count(SimEventKind::KeyDeleted), 1u) << Dump();
    EXPECT_TRUE(Texts().empty());
}

TEST_F(RegistryPhaseTest, ListedKeyWithAnUnlistedSubkeyStaysWithItsValues) {
    m_machine.registry().SetString(kLocalMachine, "Software\\Example", "Ver", "1");
    m_machine.registry().AddKey(kLocalMachine, "Software\\Example\\Other");
    Remove("HKLM\\Software\\Example=Ver=1\r\n");
    EXPECT_EQ(m_machine.registry().String(kLocalMachine, "Software\\Example", "Ver"), "1");
    EXPECT_TRUE(m_machine.registry().KeyExists(kLocalMachine, "Software\\Example\\Other"));
    EXPECT_TRUE(Deleted().empty()) << Dump();
    EXPECT_TRUE(Texts().empty());
}

struct PrefixCase {
    const char* prefix;
    RegKey root;
};

class RootPrefixTest : public RegistryPhaseTest, public ::testing::WithParamInterface<PrefixCase> {};

TEST_P(RootPrefixTest, PrefixInAnyCaseSelectsItsRootOnly) {
    const RegKey roots[] = {kClassesRoot, kCurrentUser, kLocalMachine, kUsers};
    for (RegKey root : roots) m_machine.registry().AddKey(root, ".DEFAULT\\Example");
    Remove(CString(GetParam().prefix) + ".DEFAULT\\Example=v=1\r\n");
    for (RegKey root : roots) {
        EXPECT_EQ(m_machine.registry().KeyExists(root, ".DEFAULT\\Example"), root != GetParam().root)
            << std::hex << root;
    }
    EXPECT_TRUE(Texts().empty()) << Dump();
}

INSTANTIATE_TEST_SUITE_P(Prefixes, RootPrefixTest,
                         ::testing::Values(PrefixCase{"hklm\\", kLocalMachine},
                                           PrefixCase{"Hkey_Local_Machine\\", kLocalMachine},
                                           PrefixCase{"hKcU\\", kCurrentUser},
                                           PrefixCase{"hkey_current_user\\", kCurrentUser}, PrefixCase{"Hku\\", kUsers},
                                           PrefixCase{"HKEY_users\\", kUsers}, PrefixCase{"hkcr\\", kClassesRoot},
                                           PrefixCase{"hkey_CLASSES_root\\", kClassesRoot}));

TEST_F(RegistryPhaseTest, UnrecognisedRootIsWarnedAndTakenWholeUnderClassesRoot) {
    m_machine.registry().AddKey(kClassesRoot, "HKEY_LOCAL_MACHINE").AddKey(kClassesRoot, "hklm");
    m_machine.registry().AddKey(kClassesRoot, "Unrooted\\Demo");
    Remove("HKEY_LOCAL_MACHINE=v=1\r\nhklm=v\r\nUnrooted\\%appname%=v=1\r\n");
    EXPECT_EQ(Texts(), (CStringArray{"WARNING:  key 'HKEY_LOCAL_MACHINE' not recognized - using 'HKEY_CLASSES_ROOT'",
                                     "WARNING:  key 'hklm' not recognized - using 'HKEY_CLASSES_ROOT'",
                                     "WARNING:  key 'Unrooted\\Demo' not recognized - using 'HKEY_CLASSES_ROOT'"}))
        << Dump();
    EXPECT_EQ(Deleted(), (CStringArray{"HKCR\\Unrooted\\Demo", "HKCR\\hklm", "HKCR\\HKEY_LOCAL_MACHINE"}));
}

TEST_F(RegistryPhaseTest, InvalidAndUnexpandableLinesAreSkippedWithTheirMessages) {
    for (const char* key : {"Software\\Example", "Software\\Data", "Software\\Name", "Software\\Ok"}) {
        m_machine.registry().AddKey(kLocalMachine, key);
    }
    Remove(
        "=x\r\nHKLM\\Software\\Example\r\nHKLM\\Software\\Data=v=%apppath%\\%nosuch%\r\n"
        "HKLM\\Software\\Name=%nosuch%=1\r\nHKLM\\%nosuch%\\Key=v=1\r\nHKLM\\Software\\Ok=v=1\r\n");
    EXPECT_EQ(
        Texts(),
        (CStringArray{
            "Skipping invalid registry entry - '=x'", "Skipping invalid registry entry - 'HKLM\\Software\\Example'",
            "WARNING:  skipping registry entry 'HKLM\\Software\\Data=v=%apppath%\\%nosuch%' due to an error in "
            "string expansion",
            "WARNING:  skipping registry entry 'HKLM\\Software\\Name=%nosuch%=1' due to an error in string "
            "expansion",
            "WARNING:  skipping registry entry 'HKLM\\%nosuch%\\Key=v=1' due to an error in string expansion"}))
        << Dump();
    EXPECT_EQ(Deleted(), CStringArray{"HKLM\\Software\\Ok"});
    const auto boxes = m_machine.transcript().MessageBoxes();
    for (const SimMessageBox& box : boxes) {
        EXPECT_EQ(box.Buttons(), mb::kOk);
        EXPECT_EQ(box.Icon(), mb::kIconExclamation);
    }
}

TEST_F(RegistryPhaseTest, QuotedValueNameWithDoubledQuotesStillDeletesTheKey) {
    m_machine.registry().SetString(kLocalMachine, "Software\\Example", "x\"y", "1");
    Remove("HKLM\\Software\\Example=\"x\"\"y\"=1\r\n");
    EXPECT_EQ(Deleted(), CStringArray{"HKLM\\Software\\Example"}) << Dump();
    EXPECT_TRUE(Texts().empty());
}

TEST_F(RegistryPhaseTest, WalkRunsFromTheLastRootAndPathBackwardsWithItsPercentages) {
    m_machine.registry().AddKey(kClassesRoot, "Example.Doc").AddKey(kCurrentUser, "Software\\Example");
    m_machine.registry().AddKey(kLocalMachine, "Software\\a").AddKey(kLocalMachine, "Software\\B");
    m_machine.registry().AddKey(kUsers, ".DEFAULT\\Example");
    Remove(
        "HKLM\\Software\\a=v=1\r\nHKCR\\Example.Doc=v=1\r\nHKU\\.DEFAULT\\Example=v=1\r\nbad line\r\n"
        "HKCU\\Software\\Example=v=1\r\nHKLM\\Software\\B=v=1\r\n");
    // Paths compare without case, so "B" sorts after "a" and goes first.
    EXPECT_EQ(Deleted(), (CStringArray{"HKU\\.DEFAULT\\Example", "HKLM\\Software\\B", "HKLM\\Software\\a",
                                       "HKCU\\Software\\Example", "HKCR\\Example.Doc"}))
        << Dump();
    // Six lines (one invalid), then five records, then the uninstall entry and the end.
    EXPECT_EQ(m_machine.transcript().Percents(),
              (std::vector<int>{0, 0, 8, 16, 25, 33, 41, 50, 60, 70, 80, 90, 99, 100}));
    EXPECT_EQ(m_machine.transcript().Statuses(),
              (CStringArray{"REMOVING REGISTRY ENTRIES...", "REMOVING REGISTRY ENTRIES...\nCOMPLETE!"}));
    EXPECT_EQ(m_machine.transcript().Pauses(), std::vector<std::uint32_t>{250});
}

class UninstallEntryTest : public RegistryPhaseTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(UninstallEntryTest, EntryGoesWithItsSubkeysListedOrNot) {
    const CString entry = CString(kUninstallKey) + "\\Demo";
    m_machine.registry().SetString(kLocalMachine, entry, "DisplayName", "Demo");
    m_machine.registry().SetString(kLocalMachine, entry + "\\Sub\\Deeper", "x", "1");
    m_machine.registry().AddKey(kLocalMachine, CString(kUninstallKey) + "\\Other");
    Remove(GetParam());
    EXPECT_FALSE(m_machine.registry().KeyExists(kLocalMachine, entry)) << Dump();
    EXPECT_EQ(m_machine.registry().SubkeyNames(kLocalMachine, kUninstallKey), CStringArray{"Other"});
    EXPECT_TRUE(Texts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Listing, UninstallEntryTest,
    ::testing::Values("",
                      "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo=DisplayName=Demo\r\n"
                      "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo\\Sub=x=1\r\n"));

class EmptyAppNameTest : public RegistryPhaseTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EmptyAppNameTest, LeavesTheListOfInstalledPrograms) {
    m_app.m_appName = GetParam();
    // Without subkeys in the way, a deletion aimed at the list itself would succeed.
    m_machine.registry().SetString(kLocalMachine, kUninstallKey, "Keep", "1");
    Remove("");
    EXPECT_EQ(m_machine.registry().String(kLocalMachine, kUninstallKey, "Keep"), "1") << Dump();
    EXPECT_EQ(m_machine.transcript().Count(SimEventKind::KeyDeleted), 0u);
}

INSTANTIATE_TEST_SUITE_P(Names, EmptyAppNameTest, ::testing::Values("", "\\", "\\\\"));

struct SharedKeyCase {
    const char* line;
    RegKey root;
    const char* path;
    const char* removedValue;
};

class SharedKeyTest : public RegistryPhaseTest, public ::testing::WithParamInterface<SharedKeyCase> {};

TEST_P(SharedKeyTest, OnlyTheNamedValueGoes) {
    const SharedKeyCase& c = GetParam();
    m_machine.registry().SetString(c.root, c.path, c.removedValue, "mine");
    m_machine.registry().SetString(c.root, c.path, "Theirs", "keep");
    Remove(CString(c.line) + "\r\n");
    EXPECT_TRUE(m_machine.registry().KeyExists(c.root, c.path)) << Dump();
    EXPECT_FALSE(m_machine.registry().Value(c.root, c.path, c.removedValue));
    EXPECT_EQ(m_machine.registry().String(c.root, c.path, "Theirs"), "keep");
    EXPECT_EQ(m_machine.transcript().Count(SimEventKind::KeyDeleted), 0u);
    EXPECT_TRUE(Texts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SharedKeyTest,
    ::testing::Values(SharedKeyCase{"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run=Demo=C:\\App\\d.exe",
                                    kLocalMachine, kRunKey, "Demo"},
                      SharedKeyCase{"hkcu\\software\\microsoft\\windows\\currentversion\\run\\=\"My \"\"Tool\"\"\"=x",
                                    kCurrentUser, kRunKey, "My \"Tool\""},
                      SharedKeyCase{"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall=Demo=1",
                                    kLocalMachine, kUninstallKey, "Demo"},
                      SharedKeyCase{"HKCR\\CLSID=@=x", kClassesRoot, "CLSID", ""},
                      SharedKeyCase{"HKLM\\SOFTWARE=Demo=1", kLocalMachine, "SOFTWARE", "Demo"},
                      SharedKeyCase{"HKCU\\Environment=DEMO_HOME=%apppath%", kCurrentUser, "Environment",
                                    "DEMO_HOME"}));

}  // namespace
