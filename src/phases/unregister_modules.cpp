// Self-registering modules remove their own registry entries while their files still exist.

#include "app/uninst_app.h"
#include "setupinfo/text.h"

namespace {

constexpr char kTitleStatus[] = "UN-REGISTERING DLL's...";
constexpr char kModuleStatus[] = "UN-REGISTERING DLL's...\n";
constexpr char kCompleteStatus[] = "UN-REGISTERING DLL's... COMPLETE!";
constexpr char kNoPathPrefix[] = "INTERNAL ERROR - unable to get path for ";
constexpr char kLoadFailedPrefix[] = "WARNING:  attempt to un-register ";
constexpr char kLoadFailedSuffix[] =
    " failed. This file will not be correctly uninstalled.\r\nAlthough it is not likely to affect any installed "
    "applications, you should be aware that the registry entries for this file may not be properly removed, which "
    "could theoretically hamper system performance, though it is not likely to do so in actual practice.";
constexpr char kUnregisterFailedPrefix[] = "DllUnregisterServer() returns ERROR in ";
constexpr char kUnregisterFailedSuffix[] = "\r\nDo you want to continue with UNINSTALL?";

// "0x8000FFFF": eight upper-case digits.
CString HexStatus(std::int32_t status) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    const auto bits = static_cast<std::uint32_t>(status);
    CString text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(bits >> shift) & 0xFu];
    return text;
}

}  // namespace

bool CUninstApp::UnregisterModules() {
    SetStatus(kTitleStatus);
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
                ShowMessage(kNoPathPrefix + line);
                continue;
            }
        }
        SetStatus(kModuleStatus + modulePath);

        const std::unique_ptr<IModule> module = loadable ? m_platform.modules.LoadModule(modulePath) : nullptr;
        if (!module) {
            Log("module not loaded: " + modulePath);
            ShowMessage(kLoadFailedPrefix + modulePath + kLoadFailedSuffix);
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
            !AskYesNo(kUnregisterFailedPrefix + modulePath + kUnregisterFailedSuffix, mb::kIconStop)) {
            // The user stopped here; a later run asks again.
            WithdrawJournal(step);
            return false;
        }
        WriteJournal(step, {JournalState::Done, modulePath});
    }
    FinishPhase(kCompleteStatus);
    return true;
}
