// Loading the setup information, the file lines, the %name% expansion and the installation record.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <tuple>

#include "app/uninst_app.h"
#include "platform/sim/sim_machine.h"

namespace {

constexpr char kInf[] = "C:\\App\\SETUP.INF";
constexpr char kReadError[] = "Read error on 'SETUP.INF' - SETUP will now close";
constexpr char kNoUninstallEmpty[] =
    "UNINSTALL WARNING:  'No Uninstall' was specified in 'SETUP.INF' and no files are listed in the 'Uninstall' "
    "section - UNINSTALL will now close";
constexpr char kEmptyUninstall[] =
    "UNINSTALL WARNING:  no files listed in 'Uninstall' section of SETUP.INF - UNINSTALL will now close";
constexpr char kNoUninstallWarning[] =
    "WARNING:  'SETUP.INF' specifies 'No Uninstall' - UNINSTALL will still continue; however, it may not function "
    "properly";
constexpr char kMissingRecord[] = "Unable to get UNINSTALL information from registry";
constexpr char kRecord[] = "SOFTWARE\\Tallowmere\\UNINST\\Demo";
constexpr char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

class SetupInfoTest : public ::testing::Test {
protected:
    bool Load(const CString& text) {
        m_machine.files().AddFile(kInf, text);
        return LoadPrepared();
    }
    bool LoadPrepared() {
        m_app = std::make_unique<CUninstApp>(m_machine.platform());
        auto file = m_machine.platform().files.OpenForReading(kInf);
        EXPECT_TRUE(file);
        return m_app->LoadSetupInfo(std::move(file));
    }
    CStringArray Messages() const { return m_machine.transcript().MessageTexts(); }

    SimMachine m_machine;
    std::unique_ptr<CUninstApp> m_app;
};

const CString kMinimal = "[SetupOptions]\r\nAppName=Demo\r\n[UnInstall]\r\na.dll\r\n";

TEST_F(SetupInfoTest, ShortReadIsAReadError) {
    m_machine.files().AddFile(kInf, kMinimal).ShortenReads(kInf, 10);
    EXPECT_FALSE(LoadPrepared());
    EXPECT_EQ(Messages(), CStringArray{kReadError});
    EXPECT_TRUE(m_app->m_setupText.empty());
    EXPECT_EQ(m_machine.files().OpenFileCount(), 0);
}

TEST_F(SetupInfoTest, FailedReadAndFailedSizeAreReadErrors) {
    for (int failSize = 0; failSize < 2; ++failSize) {
        SimMachine machine;
        machine.files().AddFile(kInf, kMinimal);
        if (failSize) machine.files().FailSize(kInf); else machine.files().FailReads(kInf);
        CUninstApp app(machine.platform());
        EXPECT_FALSE(app.LoadSetupInfo(machine.platform().files.OpenForReading(kInf)));
        EXPECT_EQ(machine.transcript().MessageTexts(), CStringArray{kReadError});
        EXPECT_TRUE(app.m_setupText.empty());
        EXPECT_EQ(machine.files().OpenFileCount(), 0);
    }
}

TEST_F(SetupInfoTest, WholeTextKeptAndFileClosed) {
    EXPECT_TRUE(Load(kMinimal));
    EXPECT_EQ(m_app->m_setupText, kMinimal);
    EXPECT_EQ(m_app->m_appName, "Demo");
    EXPECT_EQ(m_app->m_uninstallFiles, CStringArray{"a.dll"});
    EXPECT_EQ(m_machine.files().OpenFileCount(), 0);
    EXPECT_TRUE(Messages().empty());
}

struct UninstallCase {
    const char* noUninstall;  // value of the key, nullptr for no key
    bool listed;
    bool loads;
    CStringArray messages;
};

TEST_F(SetupInfoTest, NoUninstallFlagAndEmptyUninstallSection) {
    const UninstallCase cases[] = {
        {nullptr, false, false, {kEmptyUninstall}},
        {"0", false, false, {kEmptyUninstall}},
        {"11", false, false, {kEmptyUninstall}},
        {"1", false, false, {kNoUninstallEmpty}},
        {"1", true, true, {kNoUninstallWarning}},
        {"0", true, true, {}},
        {"yes", true, true, {}},
    };
    for (const auto& c : cases) {
        SimMachine machine;
        CString text = "[SetupOptions]\r\nAppName=Demo\r\n";
        if (c.noUninstall) text += CString("NoUninstall = x\r\nNoUninstall=") + c.noUninstall + "  \r\n";
        text += "[UnInstall]\r\n; nothing\r\n";
        if (c.listed) text += "a.dll\r\n";
        text += "[SharedComponents]\r\nyes\r\n";
        machine.files().AddFile(kInf, text);
        CUninstApp app(machine.platform());
        SCOPED_TRACE(text);
        EXPECT_EQ(app.LoadSetupInfo(machine.platform().files.OpenForReading(kInf)), c.loads);
        EXPECT_EQ(machine.transcript().MessageTexts(), c.messages);
        EXPECT_EQ(app.m_sharedComponents.empty(), !c.loads);
    }
}

TEST_F(SetupInfoTest, FileListOrder) {
    const CString text =
        "[Files]\r\n1,2,f.dll\r\n"
        "[Files.Win95]\r\n1,2,w95.dll\r\n"
        "[Files.Win98]\r\n1,2,w98.dll\r\n"
        "[Options]\r\nOne,a,b\r\nShort,a\r\nTwo,a,b,c\r\n"
        "[Option.Short]\r\n1,2,short.dll\r\n"
        "[Option.One]\r\n1,2,one.dll\r\n"
        "[Option.One.Win98]\r\n1,2,one98.dll\r\n"
        "[Option.Two.Win98]\r\n1,2,two98.dll\r\n"
        "[Option.Two]\r\n1,2,two.dll\r\n1,2,two-b.dll\r\n"
        "[UnInstall.Shared]\r\nshared.dll\r\n"
        "[UnInstall]\r\nx\r\n";
    ASSERT_TRUE(Load(text));
    EXPECT_EQ(m_app->m_fileLines, (CStringArray{"1,2,f.dll", "1,2,w98.dll", "1,2,one.dll", "1,2,one98.dll",
                                                "1,2,two.dll", "1,2,two-b.dll", "1,2,two98.dll"}));
    EXPECT_EQ(m_app->m_uninstallShared, CStringArray{"shared.dll"});
}

TEST_F(SetupInfoTest, EmptySystemWordLooksUpSectionsEndingInAPoint) {
    m_machine.system().SetVersionEx(OsVersion{2, 3, 51});
    const CString text =
        "[Files.]\r\n1,2,plain.dll\r\n[Files.Win98]\r\n1,2,w98.dll\r\n"
        "[Options]\r\nOne,a,b\r\n[Option.One.]\r\n1,2,one.dll\r\n[UnInstall]\r\nx\r\n";
    ASSERT_TRUE(Load(text));
    EXPECT_EQ(m_app->m_osName, "");
    EXPECT_EQ(m_app->m_fileLines, (CStringArray{"1,2,plain.dll", "1,2,one.dll"}));
}

TEST_F(SetupInfoTest, FindAndResolveFileLines) {
    const CString text =
        "[Files]\r\n1,2\r\n"
        "1,2,SETUPPEL\\uninst.exe,\r\n"
        "1,2,SETUPPEL\\UNINST.EXE,%windir%\\u.exe\r\n"
        "1,2,b.dll,sub\\b.dll\r\n"
        "1,2,c.dll,%apppath%\\c.dll\r\n"
        "1,2,d.dll,%nosuch%\\d.dll\r\n"
        "1,2,e.dll,\\\\srv\\share\\e.dll\r\n"
        "[UnInstall]\r\nx\r\n";
    ASSERT_TRUE(Load(text));
    CUninstApp& app = *m_app;
    app.m_appPath = "C:\\APP";
    app.m_winDir = "C:\\WINDOWS\\";
    EXPECT_EQ(app.FindFileLine("setuppel\\UNINST.exe"), "1,2,SETUPPEL\\uninst.exe,");
    EXPECT_EQ(app.FindFileLine("missing.dll"), "");
    EXPECT_EQ(app.FindFileLine("2"), "");

    EXPECT_EQ(app.ResolveFileLine("1,2,SETUPPEL\\uninst.exe,"), "");  // a trailing comma adds no field
    EXPECT_EQ(app.ResolveFileLine("1,2,%windir%a.dll, ,x"), "C:\\APP%windir%a.dll");
    EXPECT_EQ(app.ResolveFileLine("1,2,%windir%a.dll,\"\",x"), "C:\\APP%windir%a.dll");
    EXPECT_EQ(app.ResolveFileLine("1,2,SETUPPEL\\UNINST.EXE,%windir%\\u.exe"), "C:\\WINDOWS\\u.exe");
    EXPECT_EQ(app.ResolveFileLine("1,2,b.dll,sub\\b.dll"), "C:\\APPsub\\b.dll");
    EXPECT_EQ(app.ResolveFileLine("1,2,c.dll,%apppath%\\c.dll"), "C:\\APP\\c.dll");
    EXPECT_EQ(app.ResolveFileLine("1,2,d.dll,%nosuch%\\d.dll"), "");
    EXPECT_EQ(app.ResolveFileLine("1,2,e.dll,\\\\srv\\share\\e.dll"), "\\\\srv\\share\\e.dll");
    EXPECT_EQ(app.ResolveFileLine("1,2,three.dll"), "");
}

// ---- %name% expansion ----

struct ExpandCase {
    const char* label;
    std::function<void(SimMachine&, CUninstApp&)> arrange;
    CString input;
    bool ok;
    CString result;
};

void NoSetup(SimMachine&, CUninstApp&) {}

void ProgramFilesDir(SimMachine& m, CUninstApp&) {
    m.registry().SetString(kLocalMachine, kCurrentVersion, "ProgramFilesDir", "D:\\Progs");
    m.registry().SetString(kLocalMachine, kCurrentVersion, "ProgramFilesPath", "E:\\Other");
}
void ProgramFilesPathOnly(SimMachine& m, CUninstApp&) {
    m.registry().SetString(kLocalMachine, kCurrentVersion, "ProgramFilesDir", "");
    m.registry().SetString(kLocalMachine, kCurrentVersion, "ProgramFilesPath", "E:\\Other\\");
}

TEST(ExpandVariablesTest, Table) {
    const ExpandCase cases[] = {
        {"apppath", NoSetup, "%apppath%\\x", true, "C:\\Apps\\Demo\\x"},
        {"appcommon", NoSetup, "%AppCommon%", true, "C:\\Common"},
        {"windir", NoSetup, "%WinDir%\\win.ini", true, "C:\\WINDOWS\\win.ini"},
        {"sysdir", NoSetup, "%sysdir%", true, "C:\\WINDOWS\\SYSTEM"},
        {"appname", NoSetup, "[%appname%]", true, "[Demo App]"},
        {"tmpdir", NoSetup, "%tmpdir%", true, "C:\\WINDOWS\\TEMP"},
        {"tmpdirFallback", [](SimMachine& m, CUninstApp&) { m.files().SetTempPath(""); }, "%tmpdir%", true,
         "C:\\WINDOWS\\TEMP"},
        {"tmpdriveFallback",
         [](SimMachine& m, CUninstApp& a) {
             m.files().SetTempPath("");
             a.m_winDir = "F:\\W\\";
         },
         "%tmpdrive%", true, "F:"},
        {"tmpdrive", [](SimMachine& m, CUninstApp&) { m.files().SetTempPath("T:\\TMP\\"); }, "%tmpdrive%", true,
         "T:"},
        {"appdrive", NoSetup, "%appdrive%\\x", true, "C:\\x"},
        {"windrive", [](SimMachine&, CUninstApp& a) { a.m_winDir = "G:\\WIN\\"; }, "%windrive%", true, "G:"},
        {"bootdrive", [](SimMachine&, CUninstApp& a) { a.m_winDir = "G:\\WIN\\"; }, "%bootdrive%", true, "G:"},
        {"sysdrive", [](SimMachine&, CUninstApp& a) { a.m_sysDir = "H:\\SYS\\"; }, "%sysdrive%", true, "H:"},
        {"programfilesDir", ProgramFilesDir, "%programfiles%", true, "D:\\Progs"},
        {"programfilesPath", ProgramFilesPathOnly, "%programfiles%", true, "E:\\Other"},
        {"programfilesFallback", NoSetup, "%programfiles%", true, "C:\\Program Files"},
        {"themedirDir", ProgramFilesDir, "%themedir%", true, "D:\\Progs\\Plus!\\Themes"},
        {"themedirPath", ProgramFilesPathOnly, "%themedir%", true, "E:\\Other\\Plus!\\Themes"},
        {"themedirFallback", NoSetup, "%themedir%", true, "C:\\WINDOWS\\Plus!\\Themes"},
        {"percentPair", NoSetup, "100%%", true, "100%"},
        {"loneTrailing", NoSetup, "100%", true, "100%"},
        {"escapedReference", NoSetup, "%%windir%%", true, "%windir%"},
        {"unknownName", NoSetup, "%windir%\\%nosuchname%\\x", false, "C:\\WINDOWS\\%nosuchname%\\x"},
        {"unclosed", NoSetup, "%windir%\\%windir", false, "C:\\WINDOWS\\%windir"},
        {"appdriveRelative", [](SimMachine&, CUninstApp& a) { a.m_appPath = "Apps\\Demo"; }, "%appdrive%", false,
         "%appdrive%"},
        {"appdriveShort", [](SimMachine&, CUninstApp& a) { a.m_appPath = "C:"; }, "%apppath%%appdrive%", false,
         "C:%appdrive%"},
        {"emptyAppPathIsValid", [](SimMachine&, CUninstApp& a) { a.m_appPath.clear(); }, "<%apppath%>", true,
         "<>"},
        {"windirInRoot", [](SimMachine&, CUninstApp& a) { a.m_winDir = "C:\\"; }, "%windir%\\x", true, "C:\\\\x"},
        {"valueWithPercentNotRescanned", [](SimMachine&, CUninstApp& a) { a.m_appName = "50%windir%"; },
         "%appname%%windir%", true, "50%windir%C:\\WINDOWS"},
        {"networkDrive", [](SimMachine&, CUninstApp& a) { a.m_appPath = "\\\\server\\share\\apps\\demo"; },
         "%appdrive%\\x", true, "\\\\server\\share\\x"},
    };
    for (const auto& c : cases) {
        SimMachine machine;
        CUninstApp app(machine.platform());
        app.m_appPath = "C:\\Apps\\Demo\\";
        app.m_appCommon = "C:\\Common\\";
        app.m_winDir = "C:\\WINDOWS\\";
        app.m_sysDir = "C:\\WINDOWS\\SYSTEM\\";
        app.m_appName = "Demo App";
        c.arrange(machine, app);
        CString text = c.input;
        EXPECT_EQ(app.ExpandVariables(text), c.ok) << c.label;
        EXPECT_EQ(text, c.result) << c.label;
        EXPECT_EQ(machine.registry().OpenHandleCount(), 0u) << c.label;
    }
}

// ---- The installation record ----

class InstallRecordTest : public ::testing::Test {
protected:
    CUninstApp& Read(const CString& appName = "Demo") {
        m_app = std::make_unique<CUninstApp>(m_machine.platform());
        m_app->m_appName = appName;
        m_app->ReadInstallRecord();
        return *m_app;
    }

    SimMachine m_machine;
    std::unique_ptr<CUninstApp> m_app;
};

TEST_F(InstallRecordTest, ValuesAndKeyLeftOpen) {
    m_machine.registry()
        .SetString(kLocalMachine, kRecord, "", "C:\\APP")
        .SetString(kLocalMachine, kRecord, "StartMenuFolderName", "C:\\Menu\\Demo")
        .SetString(kLocalMachine, CString(kRecord) + "\\AppCommon", "", "C:\\Common\\");
    CUninstApp& app = Read();
    EXPECT_EQ(app.m_appPath, "C:\\APP");
    EXPECT_EQ(app.m_startMenuFolder, "C:\\Menu\\Demo\\");
    EXPECT_EQ(app.m_appCommon, "C:\\Common\\");
    EXPECT_EQ(app.m_recordKeyPath, kRecord);
    EXPECT_TRUE(app.m_recordKey.has_value());
    EXPECT_EQ(m_machine.registry().OpenHandleCount(), 1u);
    EXPECT_TRUE(m_machine.transcript().MessageTexts().empty());
    m_app.reset();
    EXPECT_EQ(m_machine.registry().OpenHandleCount(), 0u);
}

TEST_F(InstallRecordTest, StartMenuFolderBackslashRule) {
    const std::pair<std::optional<CString>, CString> cases[] = {
        {CString("Menu\\"), "Menu\\"}, {CString(""), ""}, {std::nullopt, ""}, {CString("M"), "M\\"}};
    for (const auto& [stored, expected] : cases) {
        SimMachine machine;
        machine.registry().SetString(kLocalMachine, kRecord, "", "C:\\APP\\");
        if (stored) machine.registry().SetString(kLocalMachine, kRecord, "StartMenuFolderName", *stored);
        CUninstApp app(machine.platform());
        app.m_appName = "Demo";
        app.ReadInstallRecord();
        EXPECT_EQ(app.m_startMenuFolder, expected) << stored.value_or("<absent>");
    }
}

TEST_F(InstallRecordTest, TextStopsAtNulAndAnyTypeIsRead) {
    m_machine.registry()
        .SetValue(kLocalMachine, kRecord, "", RegValue{reg::kTypeBinary, CString("C:\\APP\0junk", 10)})
        .AddKey(kLocalMachine, CString(kRecord) + "\\AppCommon");
    CUninstApp& app = Read();
    EXPECT_EQ(app.m_appPath, "C:\\APP");
    EXPECT_EQ(app.m_appCommon, "");
    EXPECT_EQ(m_machine.registry().OpenHandleCount(), 1u);
}

TEST_F(InstallRecordTest, ValueOver4096BytesIsUnreadable) {
    const CString fits(4095, 'a');   // with its NUL: 4096 bytes
    const CString over(4096, 'b');   // with its NUL: 4097 bytes
    m_machine.registry()
        .SetString(kLocalMachine, kRecord, "", fits)
        .SetString(kLocalMachine, kRecord, "StartMenuFolderName", over)
        .SetString(kLocalMachine, CString(kRecord) + "\\AppCommon", "", over);
    CUninstApp& app = Read();
    EXPECT_EQ(app.m_appPath, fits);
    EXPECT_EQ(app.m_startMenuFolder, "");
    EXPECT_EQ(app.m_appCommon, "");
    EXPECT_TRUE(m_machine.transcript().MessageTexts().empty());
}

TEST_F(InstallRecordTest, MissingRefusingOrNamelessRecord) {
    // A refused record stops the run: read as missing, it would let the run go on and remove
    // only what the user may remove.
    constexpr char kNeedsRights[] =
        "UNINSTALL ERROR - You need administrator rights to remove Demo.\r\nLog on as an administrator and start "
        "UNINSTALL again.";
    const std::tuple<const char*, std::function<void(SimMachine&)>, bool, const char*> cases[] = {
        {"missing", [](SimMachine&) {}, true, kMissingRecord},
        {"refusesAllAccess",
         [](SimMachine& m) {
             m.registry().SetString(kLocalMachine, kRecord, "", "C:\\APP\\");
             m.registry().DenyAllAccess(kLocalMachine, kRecord);
         },
         false, kNeedsRights},
        {"refusesReading",
         [](SimMachine& m) {
             m.registry().SetString(kLocalMachine, kRecord, "", "C:\\APP\\");
             m.registry().DenyOpen(kLocalMachine, kRecord);
         },
         false, kNeedsRights},
    };
    for (const auto& [label, arrange, goesOn, message] : cases) {
        SimMachine machine;
        arrange(machine);
        CUninstApp app(machine.platform());
        app.m_appName = "Demo";
        EXPECT_EQ(app.ReadInstallRecord(), goesOn) << label;
        EXPECT_EQ(machine.transcript().MessageTexts(), CStringArray{message}) << label;
        // Of the three, only the missing record is one that a completed run leaves.
        EXPECT_EQ(app.m_recordAbsent, goesOn) << label;
        EXPECT_FALSE(app.m_recordKey.has_value()) << label;
        EXPECT_EQ(app.m_appPath, "") << label;
        EXPECT_EQ(app.m_appCommon, "") << label;
        EXPECT_EQ(app.m_startMenuFolder, "") << label;
        EXPECT_EQ(machine.registry().OpenHandleCount(), 0u) << label;
    }
}

TEST_F(InstallRecordTest, EmptyAppNameIsAMissingRecord) {
    // A record at the parent key itself must not be taken for this application's.
    for (const CString name : {"", "\\"}) {
        SimMachine machine;
        machine.registry().SetString(kLocalMachine, "SOFTWARE\\Tallowmere\\UNINST", "", "C:\\ALL\\");
        CUninstApp app(machine.platform());
        app.m_appName = name;
        app.ReadInstallRecord();
        EXPECT_EQ(machine.transcript().MessageTexts(), CStringArray{kMissingRecord}) << name;
        EXPECT_FALSE(app.m_recordKey.has_value());
        EXPECT_EQ(app.m_appPath, "");
        EXPECT_EQ(machine.registry().OpenHandleCount(), 0u);
    }
}

TEST_F(InstallRecordTest, NameWithBackslashReachesDeeper) {
    m_machine.registry().SetString(kLocalMachine, CString(kRecord) + "\\Sub", "", "C:\\DEEP");
    CUninstApp& app = Read("Demo\\Sub");
    EXPECT_EQ(app.m_appPath, "C:\\DEEP");
    EXPECT_EQ(app.m_recordKeyPath, CString(kRecord) + "\\Sub");
}

}  // namespace
