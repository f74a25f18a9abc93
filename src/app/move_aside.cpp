// A file in use goes at the restart under a name of our own, so that its own name is free at once:
// a reinstall before the restart writes its files in peace, and the folders that held the file
// can go now.

#include "app/uninst_app.h"
#include "text/text.h"

namespace {

// Where the four hexadecimal digits go, and the extension.
constexpr char kAsideNameTail[] = "0000.TMP";
constexpr std::uint32_t kAsideNumbers = 0x10000;
constexpr char kKeptNameWarning[] =
    " (held open without delete sharing); a reinstall before the restart would lose the file of that "
    "name, which is deleted then";
constexpr char kNoFreeNameNote[] = " (no name of our own is free on its volume)";

}  // namespace

std::optional<CString> CUninstApp::AsideNameFor(const CString& path) {
    // A rename stays on its volume; MoveFileA would otherwise copy, and a file in use cannot
    // then be deleted, so the copy would be one more thing left.
    const CString drive = GetDriveRoot(path);
    if (drive.empty()) return std::nullopt;
    CString folder = FolderOf(path, m_codePage);
    const auto privateFolder = PrivateFolderOf(m_platform.system.ModuleFileName());
    if (privateFolder && EqualsNoCase(GetDriveRoot(*privateFolder), drive, m_codePage)) folder = WithTrailingBackslash(*privateFolder, m_codePage);
    CString candidate = folder;
    candidate += kTempPrefix;
    const std::size_t digits = candidate.size();
    candidate += kAsideNameTail;
    for (std::uint32_t number = 0; number < kAsideNumbers; ++number) {
        // Four upper-case hexadecimal digits, as the system's temporary names have them.
        for (std::size_t i = 0; i < 4; ++i) candidate[digits + i] = "0123456789ABCDEF"[(number >> (12 - 4 * i)) & 0xF];
        if (!m_platform.files.GetAttributes(candidate)) return candidate;
    }
    return std::nullopt;
}

void CUninstApp::QueueFileInUse(const CString& path) {
    const auto aside = AsideNameFor(path);
    // The new name is queued, durably, before the move: a stop in between leaves the file under
    // its own name for a second run, and a queued name that holds nothing does no harm.
    if (aside && QueueDeletionAtRestart(*aside)) {
        FlushRestartQueue();
        // Paths are compared by their short forms, which a name that holds nothing has no more.
        const CString shortPath = ShortFormOf(path);
        const bool moved = m_platform.files.Move(path, *aside);
        CString event = moved ? "moved aside: " : "not moved aside: ";
        event += path;
        event += moved ? " -> " : kKeptNameWarning;
        if (moved) event += *aside;
        Log(event);
        if (moved) {
            // Its own name too: a folder that held it and stays for another reason, such as a
            // process's current folder, is still queued after it.
            m_queuedFiles.push_back(*aside);
            m_queuedFiles.push_back(shortPath);
            return;
        }
    }
    if (!aside) Log("not moved aside: " + path + kNoFreeNameNote);
    if (QueueDeletionAtRestart(path, aside ? &*aside : nullptr)) m_queuedFiles.push_back(path);
}
