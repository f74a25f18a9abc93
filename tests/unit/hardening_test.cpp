// Hostile and oversized input: setup information that is empty, binary, huge or malformed, paths
// beyond 260 characters, and files and keys that refuse to go. The run must end with its normal
// outcome or its message, and delete nothing the installation does not own.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <random>
#include <set>

#include "app/uninst_app.h"
#include "platform/sim/sim_machine.h"
#include "text/text.h"

namespace {

constexpr char kRecordPath[] = "SOFTWARE\\Tallowmere\\UNINST\\Demo";
constexpr char kUninstallEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo";
constexpr char kWorkingCopy[] = "C:\\WINDOWS\\TEMP\\~UN3A1F.tmp";
constexpr char kEmptyUninstall[] =
    "UNINSTALL WARNING:  no files listed in 'Uninstall' section of SETUP.INF - UNINSTALL will now close";
constexpr char kHeader[] = "[SetupOptions]\r\nAppName=Demo\r\n[UnInstall]\r\n";

// Bytes from a fixed seed, so that every run sees the same "random" file.
CString RandomBytes(std::size_t size, bool withNul, std::uint32_t seed) {
    std::mt19937 generator(seed);
    CString bytes;
    bytes.reserve(size);
    while (bytes.size() < size) {
        const char byte = static_cast<char>(generator() & 0xFFu);
        if (byte != '\0' || withNul) bytes += byte;
    }
    return bytes;
}

CString Repeat(const CString& piece, std::size_t times) {
    CString text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

class HardeningTest : public ::testing::Test {
protected:
    // An installation in folder (ending in a backslash), its SETUP.INF and uninstaller in the
    // folder's UNINST subfolder.
    void Install(const CString& setupText, const CString& folder = "C:\\App\\") {
        m_folder = folder;
        m_machine.system().SetModuleFileName(kWorkingCopy);
        m_machine.files().AddFile(kWorkingCopy, "program");
        m_machine.files().AddFile(folder + "UNINST\\UNINST.EXE", "program");
        m_machine.files().AddFile(folder + "UNINST\\SETUP.INF", setupText);
        m_machine.registry().SetString(kLocalMachine, kRecordPath, "", folder);
    }
    int Run() {
        m_machine.system().SetArgumentText("/UNINST=77," + m_folder + "UNINST\\UNINST.EXE");
        m_before = m_machine.files().FilePaths();
        CUninstApp app(m_machine.platform());
        EXPECT_FALSE(app.InitInstance());
        return app.ExitCode();
    }
    // The files that were there before the run and are gone after it, in case-insensitive order.
    CStringArray Removed() {
        const CStringArray after = m_machine.files().FilePaths();
        const std::set<CString> left(after.begin(), after.end());
        CStringArray removed;
        for (const CString& path : m_before) {
            if (left.count(path) == 0) removed.push_back(path);
        }
        return removed;
    }
    // The run's own two files beside SETUP.INF, which every completed run deletes.
    CStringArray WithOwnFiles(CStringArray paths) const {
        paths.push_back(m_folder + "UNINST\\SETUP.INF");
        paths.push_back(m_folder + "UNINST\\UNINST.EXE");
        std::sort(paths.begin(), paths.end(), [](const CString& a, const CString& b) {
            return FoldAscii(a, CodePage()) < FoldAscii(b, CodePage());
        });
        return paths;
    }
    CStringArray Texts() const { return m_machine.transcript().MessageTexts(); }
    std::size_t Count(SimEventKind kind) const { return m_machine.transcript().Count(kind); }
    // Without the texts of huge events, which would drown a failure message.
    CString Dump() const {
        const CString dump = m_machine.transcript().Dump();
        return dump.size() > 4000 ? dump.substr(0, 4000) + "..." : dump;
    }

    SimMachine m_machine;
    CString m_folder;
    CStringArray m_before;
};

// ---- Setup information without anything to remove ----

struct UnusableSetupCase {
    const char* label;
    std::function<CString()> text;
};

class UnusableSetupTest : public HardeningTest, public ::testing::WithParamInterface<UnusableSetupCase> {};

TEST_P(UnusableSetupTest, StopsWithTheEmptyListMessageBeforeTouchingAnything) {
    Install(GetParam().text());
    m_machine.files().AddFile("C:\\App\\a.dll");
    EXPECT_EQ(Run(), 1603);
    EXPECT_EQ(Texts(), CStringArray{kEmptyUninstall}) << Dump();
    EXPECT_EQ(Count(SimEventKind::ConfirmationDialog), 0u);
    EXPECT_EQ(Count(SimEventKind::FileDeleted), 0u);
    EXPECT_EQ(Count(SimEventKind::KeyDeleted), 0u);
    EXPECT_EQ(Count(SimEventKind::RestartDeletion), 0u);
    EXPECT_TRUE(Removed().empty());
    EXPECT_EQ(m_machine.files().OpenFileCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UnusableSetupTest,
    ::testing::Values(UnusableSetupCase{"Empty", [] { return CString(); }},
                      UnusableSetupCase{"RandomBytes", [] { return RandomBytes(256 * 1024, true, 1); }},
                      UnusableSetupCase{"RandomBytesWithoutNul", [] { return RandomBytes(256 * 1024, false, 2); }},
                      // Everything lies behind the NUL that ends the text.
                      UnusableSetupCase{"NulFirst",
                                        [] { return CString(1, '\0') + kHeader + "%apppath%\\a.dll\r\n"; }}),
    [](const ::testing::TestParamInfo<UnusableSetupCase>& info) { return CString(info.param.label); });

// ---- Binary bytes and NUL bytes around usable sections ----

TEST_F(HardeningTest, BinaryBytesAroundTheSectionsAreSkippedOrNeverRead) {
    // Control bytes and bytes from 128 up are blank: skipped before headers and lines.
    const CString text = RandomBytes(64 * 1024, false, 3) + "\n" +
                         "\x01\xFF\x80 [SetupOptions]\xFE\r\n"
                         "\x1F\xA0" "AppName=Demo\r\n"
                         "\x85[UnInstall]\r\n"
                         "\x90\x02%apppath%\\a.dll\r\n"
                         "\xFF;\x80%apppath%\\comment.dll\r\n"
                         "[Junk]\r\n" +
                         RandomBytes(64 * 1024, false, 4);
    Install(text);
    m_machine.files().AddFile("C:\\App\\a.dll").AddFile("C:\\App\\comment.dll");
    EXPECT_EQ(Run(), 0);
    const auto dialogs = m_machine.transcript().EventsOf(SimEventKind::ConfirmationDialog);
    ASSERT_EQ(dialogs.size(), 1u) << Dump();
    EXPECT_EQ(dialogs[0].text, "Demo");
    EXPECT_TRUE(Texts().empty()) << Dump();
    EXPECT_EQ(Removed(), WithOwnFiles({"C:\\App\\a.dll"}));
}

TEST_F(HardeningTest, TextEndsAtTheFirstNulByte) {
    // Were the NUL skipped instead, the line would name a.dll.bak, and the later sections
    // would be read.
    const CString text = CString(kHeader) + "%apppath%\\b.dll\r\n%apppath%\\a.dll" + CString(1, '\0') +
                         ".bak\r\n%apppath%\\c.dll\r\n[RegistryKeys]\r\nHKLM\\Software\\Demo=v=1\r\n"
                         "[ExecuteOnUninstall]\r\nTOOL.EXE\r\n";
    Install(text);
    m_machine.files().AddFile("C:\\App\\a.dll").AddFile("C:\\App\\a.dll.bak").AddFile("C:\\App\\b.dll");
    m_machine.files().AddFile("C:\\App\\c.dll");
    m_machine.registry().AddKey(kLocalMachine, "Software\\Demo");
    m_machine.processes().RegisterProgram("C:\\App\\TOOL.EXE", SimProgram::ExitingWith(0));
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Removed(), WithOwnFiles({"C:\\App\\a.dll", "C:\\App\\b.dll"})) << Dump();
    EXPECT_TRUE(m_machine.registry().KeyExists(kLocalMachine, "Software\\Demo"));
    EXPECT_TRUE(m_machine.processes().ShellCalls().empty());
    EXPECT_TRUE(Texts().empty());
}

// ---- Size ----

TEST_F(HardeningTest, FiftyMegabyteSetupInfWithItsSectionsAtTheEnd) {
    const std::size_t size = 50u * 1024 * 1024;
    CString text = "[Readme]\r\n";
    text.reserve(size + 1024);
    const CString filler = Repeat("0123456789", 9) + "abcdefgh\r\n";
    while (text.size() < size) text += filler;
    text +=
        "[SetupOptions]\r\nAppName=Demo\r\n[Options]\r\nExtra,a,b\r\n[Option.Extra]\r\n1,2,x.dll,%apppath%\\x.dll\r\n"
        "[UnInstall]\r\n%apppath%\\a.dll\r\n[RegistryKeys]\r\nHKLM\\Software\\Demo=v=1\r\n";
    Install(text);
    m_machine.files().AddFile("C:\\App\\a.dll").AddFile("C:\\App\\keep.dll");
    m_machine.registry().AddKey(kLocalMachine, "Software\\Demo");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Removed(), WithOwnFiles({"C:\\App\\a.dll"})) << Dump();
    EXPECT_FALSE(m_machine.registry().KeyExists(kLocalMachine, "Software\\Demo"));
    EXPECT_TRUE(Texts().empty());
}

TEST(LongListTest, ManyOptionsAndLongReferenceRunsCostOnePass) {
    // Sizes at which work per option over the whole text, or an edit per reference that moves
    // the rest of the line, would run for hours.
    const int optionCount = 60000;
    CString options = "[Options]\r\n";
    CString sections;
    for (int i = 0; i < optionCount; ++i) {
        const CString name = "Opt" + std::to_string(i);
        options += name + ",a,b\r\n";
        sections += "[Option." + name + "]\r\n1,2," + name + ".dll\r\n";
    }
    // Listed again in another case: the same sections, whose lines no lookup could reach.
    options += "OPT0,a,b\r\n";
    SimMachine machine;
    machine.files().AddFile("C:\\App\\SETUP.INF", CString(kHeader) + "a.dll\r\n" + options + sections);
    CUninstApp app(machine.platform());
    ASSERT_TRUE(app.LoadSetupInfo(machine.platform().files.OpenForReading("C:\\App\\SETUP.INF")));
    ASSERT_EQ(app.m_fileLines.size(), static_cast<std::size_t>(optionCount));
    EXPECT_EQ(app.m_fileLines.front(), "1,2,Opt0.dll");
    EXPECT_EQ(app.m_fileLines.back(), "1,2,Opt59999.dll");
    EXPECT_EQ(app.FindFileLine("opt59999.DLL"), "1,2,Opt59999.dll");

    app.m_winDir = "C:\\WINDOWS\\";
    CString percents = Repeat("%%", 2 * 1024 * 1024);
    EXPECT_TRUE(app.ExpandVariables(percents));
    EXPECT_EQ(percents, CString(2 * 1024 * 1024, '%'));
    CString references = Repeat("%windir%\\", 400000) + "%broken";
    EXPECT_FALSE(app.ExpandVariables(references));
    EXPECT_EQ(references, Repeat("C:\\WINDOWS\\", 400000) + "%broken");
}

TEST(ScaledShareTest, PercentagesPastTwentyMillionItems) {
    EXPECT_EQ(ScaledShare(100, 1, 3), 33);
    EXPECT_EQ(ScaledShare(100, 21474837, 21474838), 99);
    EXPECT_EQ(ScaledShare(100, INT_MAX - 1, INT_MAX), 99);
    EXPECT_EQ(ScaledShare(50, 43000000, 43000001), 49);
}

TEST_F(HardeningTest, HundredThousandByteLines) {
    const CString deepFile = "C:\\App\\deep\\" + CString(100000 - 12, 'L');
    const CString percentFile = "C:\\App\\" + CString(50000, '%');
    const CString unclosedFile = "C:\\App\\" + CString(99990, 'u') + "%tail";
    const CString text = CString(kHeader) + deepFile + "\r\n" + Repeat("%%", 50000) + "\r\n" + "%apppath%\\" +
                         CString(99990, 'u') + "%tail\r\n" +
                         "[RegistryKeys]\r\nHKLM\\Software\\Demo=v=" + Repeat("%%", 50000) + "\r\n" +
                         "HKLM\\Software\\Long=\"" + CString(100000, 'n') + "\r\n" +
                         "[ExecuteOnUninstall]\r\nTOOL.EXE," + CString(100000, 'p') + "\r\n";
    Install(text);
    m_machine.files().AddFile(deepFile).AddFile(percentFile).AddFile(unclosedFile);
    m_machine.registry().AddKey(kLocalMachine, "Software\\Demo").AddKey(kLocalMachine, "Software\\Long");
    m_machine.processes().RegisterProgram("C:\\App\\TOOL.EXE", SimProgram::ExitingWith(0));
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Removed(), WithOwnFiles({deepFile, percentFile})) << Dump();
    EXPECT_FALSE(m_machine.files().FolderExists("C:\\App\\deep"));
    EXPECT_FALSE(m_machine.registry().KeyExists(kLocalMachine, "Software\\Demo"));
    EXPECT_FALSE(m_machine.registry().KeyExists(kLocalMachine, "Software\\Long"));
    const auto& calls = m_machine.processes().ShellCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].parameters, CString(100000, 'p'));
    EXPECT_TRUE(Texts().empty());
}

// ---- Unterminated quotes and percent signs ----

TEST_F(HardeningTest, UnterminatedQuotesAndPercentSignsInEverySection) {
    constexpr char kShared[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    const CString text = CString(kHeader) +
                         "%apppath%\\data\\%unclosed.txt\r\n%apppath%\\100%\r\n\"C:\\App\\quoted.txt\r\n"
                         "[UnInstall.Shared]\r\n%windir%\\%shared.dll\r\n[SharedComponents]\r\nyes\r\n"
                         "[Files]\r\n1,2,SETUPPEL\\uninst.exe,\"%apppath%\\UNINST\\uninst.exe\r\n"
                         "[ExecuteOnUninstall]\r\n\"%apppath%\\tool.exe\r\n%apppath%\\%broken.exe\r\n"
                         "[RegisterControl]\r\n%sysdir%\\%ctl.ocx\r\n"
                         "[RegistryKeys]\r\nHKLM\\Software\\Quoted=\"never closed=1\r\n"
                         "HKLM\\Software\\Pct=v=%apppath%\\%x\r\n"
                         "[AddShortcut]\r\nx,y,\"Demo.lnk\r\n";
    Install(text);
    m_machine.registry().SetString(kLocalMachine, kRecordPath, "StartMenuFolderName", "C:\\Menu\\Demo");
    m_machine.files().AddFile("C:\\App\\data\\%unclosed.txt").AddFile("C:\\App\\100%");
    m_machine.files().AddFile("C:\\App\\quoted.txt").AddFile("C:\\Menu\\Demo\\Demo.lnk");
    m_machine.registry().SetDword(kLocalMachine, kShared, "C:\\WINDOWS\\%shared.dll", 1);
    m_machine.registry().AddKey(kLocalMachine, "Software\\Quoted").AddKey(kLocalMachine, "Software\\Pct");
    m_machine.processes().RegisterProgram("C:\\App\\tool.exe", SimProgram::ExitingWith(0));
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Texts(),
              (CStringArray{"WARNING:  UNINSTALL cannot execute C:\\App\\%broken.exe\r\nOne or more files or "
                            "subsystems may not be correctly uninstalled",
                            "INTERNAL ERROR - unable to get path for %sysdir%\\%ctl.ocx",
                            "WARNING:  skipping registry entry 'HKLM\\Software\\Pct=v=%apppath%\\%x' due to an error "
                            "in string expansion"}))
        << Dump();
    const auto& calls = m_machine.processes().ShellCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, "C:\\App\\tool.exe");
    EXPECT_EQ(m_machine.registry().Dword(kLocalMachine, kShared, "C:\\WINDOWS\\%shared.dll"), 1u);
    EXPECT_FALSE(m_machine.registry().KeyExists(kLocalMachine, "Software\\Quoted"));
    EXPECT_TRUE(m_machine.registry().KeyExists(kLocalMachine, "Software\\Pct"));
    // The quote stays part of an UnInstall path, which is then relative and names no file.
    EXPECT_EQ(Removed(), WithOwnFiles({"C:\\App\\100%", "C:\\Menu\\Demo\\Demo.lnk"}));
}

// ---- Paths beyond 260 characters ----

TEST_F(HardeningTest, InstallationUnderAFolderOfMoreThan260Characters) {
    const CString folder = "C:\\" + CString(150, 'P') + "\\" + CString(150, 'Q') + "\\";
    const CString menu = "C:\\WINDOWS\\Start Menu\\Programs\\" + CString(280, 'M');
    Install(CString(kHeader) + "a.dll\r\n%apppath%\\sub\\b.dll\r\n[AddShortcut]\r\nx,y,Demo.lnk\r\n", folder);
    m_machine.registry().SetString(kLocalMachine, kRecordPath, "StartMenuFolderName", menu);
    const CStringArray owned = {folder + "a.dll", folder + "sub\\b.dll", menu + "\\Demo.lnk",
                                menu + "\\Un-Install.LNK"};
    for (const CString& path : owned) m_machine.files().AddFile(path);
    // Files named by what a path cut at 259 or 260 characters would name.
    CStringArray bystanders;
    for (const CString& path : owned) {
        for (std::size_t cut : {259u, 260u}) {
            const CString shorter = path.substr(0, cut);
            if (shorter.back() != '\\') bystanders.push_back(shorter);
        }
    }
    for (const CString& path : bystanders) m_machine.files().AddFile(path);
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(Texts().empty()) << Dump();
    EXPECT_EQ(Removed(), WithOwnFiles(owned)) << Dump();
    for (const CString& path : bystanders) EXPECT_TRUE(m_machine.files().FileExists(path)) << path;
    EXPECT_FALSE(m_machine.files().FolderExists(folder + "sub"));
    EXPECT_FALSE(m_machine.files().FolderExists(folder + "UNINST"));
    EXPECT_FALSE(m_machine.files().FolderExists(menu));
}

// ---- Files and keys that refuse ----

TEST_F(HardeningTest, ReadOnlyFilesGoAndBusyOnesStaySilently) {
    Install(CString(kHeader) + "%apppath%\\ro\\a.dll\r\n%apppath%\\busy\\b.dll\r\n%apppath%\\busy\\c.dat\r\n"
                               "%apppath%\\busy\\d.dll\r\n");
    m_machine.files().AddFile("C:\\App\\ro\\a.dll", {}, kAttributeReadOnly);
    m_machine.files().AddFile("C:\\App\\busy\\b.dll").MarkInUse("C:\\App\\busy\\b.dll");
    m_machine.files().AddFile("C:\\App\\busy\\c.dat").MarkHeldOpen("C:\\App\\busy\\c.dat");
    m_machine.files().AddFile("C:\\App\\busy\\d.dll", {}, kAttributeReadOnly).MarkInUse("C:\\App\\busy\\d.dll");
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(Texts().empty()) << Dump();
    EXPECT_EQ(Removed(), WithOwnFiles({"C:\\App\\ro\\a.dll"}));
    EXPECT_FALSE(m_machine.files().FolderExists("C:\\App\\ro"));
    EXPECT_TRUE(m_machine.files().FolderExists("C:\\App\\busy"));
    EXPECT_EQ(Count(SimEventKind::RestartDeletion), 0u);
}

TEST_F(HardeningTest, RecordKeyWithoutAllAccessStopsTheRunBeforeAnythingIsTouched) {
    Install(CString(kHeader) + "a.dll\r\n%apppath%\\b.dll\r\nC:\\Data\\c.txt\r\n");
    m_machine.registry().SetString(kLocalMachine, kRecordPath, "StartMenuFolderName", "C:\\Menu\\Demo");
    m_machine.registry().DenyAllAccess(kLocalMachine, kRecordPath);
    const CStringArray bystanders = {"C:\\App\\a.dll", "C:\\App\\b.dll", "C:\\a.dll", "C:\\b.dll",
                                     "C:\\UNINST\\uninst.exe", "C:\\Menu\\Demo\\Un-Install.LNK"};
    for (const CString& path : bystanders) m_machine.files().AddFile(path);
    m_machine.files().AddFile("C:\\Data\\c.txt");
    EXPECT_EQ(Run(), 1603);
    EXPECT_EQ(Texts(), CStringArray{"UNINSTALL ERROR - You need administrator rights to remove Demo.\r\nLog on as an "
                                    "administrator and start UNINSTALL again."})
        << Dump();
    EXPECT_EQ(Count(SimEventKind::ConfirmationDialog), 0u);
    EXPECT_EQ(Removed(), CStringArray{}) << Dump();
    EXPECT_EQ(m_machine.registry().String(kLocalMachine, kRecordPath, ""), "C:\\App\\");
    EXPECT_EQ(m_machine.registry().OpenHandleCount(), 0u);
}

TEST_F(HardeningTest, KeysThatCannotBeDeletedStayAndTheRunGoesOn) {
    Install(CString(kHeader) + "%apppath%\\a.dll\r\n[RegistryKeys]\r\nHKLM\\Software\\Locked=v=1\r\n"
                               "HKLM\\Software\\Parent=v=1\r\nHKLM\\Software\\Parent\\Locked=v=1\r\n"
                               "HKLM\\Software\\Free=v=1\r\n");
    m_machine.files().AddFile("C:\\App\\a.dll");
    auto& registry = m_machine.registry();
    registry.AddKey(kLocalMachine, "Software\\Locked").AddKey(kLocalMachine, "Software\\Parent\\Locked");
    registry.AddKey(kLocalMachine, "Software\\Free");
    registry.DenyOpen(kLocalMachine, "Software\\Locked").DenyOpen(kLocalMachine, "Software\\Parent\\Locked");
    const CString entry = kUninstallEntry;
    registry.AddKey(kLocalMachine, entry + "\\A").AddKey(kLocalMachine, entry + "\\B");
    registry.AddKey(kLocalMachine, entry + "\\C").DenyOpen(kLocalMachine, entry + "\\B");
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(Texts().empty()) << Dump();
    EXPECT_FALSE(registry.KeyExists(kLocalMachine, "Software\\Free"));
    EXPECT_TRUE(registry.KeyExists(kLocalMachine, "Software\\Locked"));
    EXPECT_TRUE(registry.KeyExists(kLocalMachine, "Software\\Parent\\Locked"));
    // The entry's subkeys go in order until one refuses; it and the rest stay, and so the entry.
    EXPECT_EQ(registry.SubkeyNames(kLocalMachine, entry), (CStringArray{"B", "C"}));
    EXPECT_EQ(Removed(), WithOwnFiles({"C:\\App\\a.dll"}));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

}  // namespace
