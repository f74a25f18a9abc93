// Self-registering modules remove their own registry entries while their files still exist.

#include "app/uninst_app.h"
#include "text/text.h"

namespace {


// "0x8000FFFF": eight upper-case digits.
CString HexStatus(std::int32_t status) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    const auto bits = static_cast<std::uint32_t>(status);
    CString text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(bits >> shift) & 0xFu];
    return text;
}

// A drive and its root, or a network path. ':' is never a trail byte and '\\' never a lead
// byte, so each of these bytes is a whole character in every code page.
bool IsFullPath(const CString& path) {
    const bool fromDriveRoot = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
    const bool network = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
    return fromDriveRoot || network;
}

}  // namespace

bool CUninstApp::UnregisterModules() {
    SetStatus(TextId::StatusModules);
    SetPercent(0);
    CStringArray lines;
    ReadSection("RegisterControl", lines);

    const int count = static_cast<int>(lines.size());
    for (int i = 0; i < count; ++i) {
        SetPercent(ScaledShare(100, i, count));
        const CString& line = lines[i];
        const CString step = JournalName(journal::kModule, static_cast<std::size_t>(i));
        if (!HasJournal()) {
            LogNotJournaled("module " + line);
            continue;
        }
        const std::optional<JournalEntry> earlier = ReadJournal(step);
        if (earlier && earlier->state == JournalState::Done) {
            Log("module already unregistered: " + line);
            continue;
        }
        if (earlier) Log("module unregistered again, a stop interrupted it: " + line);

        CString modulePath;
        bool loadable = true;
        if (!HasBackslash(line, m_codePage)) {
            modulePath = InAppFolder(line);
            // Outside a known application folder the system's search path would pick the
            // module, which may be another product's.
            loadable = IsAbsolutePath(modulePath);
        } else {
            modulePath = line;
            if (!ExpandVariables(modulePath)) {
                ShowMessage({TextId::ModuleNoPath, {{Piece::Line, line}}});
                continue;
            }
        }
        SetStatus({TextId::StatusModule, {{Piece::Path, modulePath}}});

        // As the system's registration tool loads it: a DLL that the module imports from its own
        // folder, such as its vendor's runtime, is found although the program's own search is
        // limited to the system folder. A relative path keeps the system's search, since the
        // altered one is undefined for it.
        const DependencySearch search =
            IsFullPath(modulePath) ? DependencySearch::ModuleFolderFirst : DependencySearch::Standard;
        const std::unique_ptr<IModule> module = loadable ? m_platform.modules.LoadModule(modulePath, search) : nullptr;
        if (!module) {
            Log("module not loaded: " + modulePath);
            ShowMessage({TextId::ModuleLoadFailed, {{Piece::Path, modulePath}}});
            continue;
        }
        if (!module->HasUnregisterExport()) {
            Log("module without DllUnregisterServer: " + modulePath);
            continue;
        }
        // Written before the call: a module whose earlier unregistration a stop interrupted
        // is called again, and since it may already be unregistered, a failure then is not
        // asked about.
        if (!WriteJournal(step, {JournalState::Started, modulePath})) {
            LogNotJournaled("module " + line);
            continue;
        }
        const std::int32_t status = module->CallUnregister();
        Log("module " + modulePath + ": DllUnregisterServer returned " + HexStatus(status));
        if (status != 0 && !earlier &&
            !AskYesNo({TextId::ModuleUnregisterFailed, {{Piece::Path, modulePath}}}, mb::kIconStop)) {
            // The user stopped here; a later run asks again.
            WithdrawJournal(step);
            return false;
        }
        WriteJournal(step, {JournalState::Done, modulePath});
    }
    FinishPhase(TextId::StatusModulesComplete);
    return true;
}
