// One run of an installation at a time. Two runs side by side would both read the record and
// both lower the shared counts; a run that waits instead goes on with whatever the first left.

#include "app/run_lock.h"

#include "app/uninst_app.h"
#include "text/text.h"

namespace {

constexpr char kAllSessionsPrefix[] = "Global\\";
constexpr char kLockPrefix[] = "Tallowmere UNINST ";
// Kernel object names end at MAX_PATH characters; the prefixes take the rest.
constexpr std::size_t kAppNameLimit = 200;

}  // namespace

CString InstallationLockName(const CString& appName, const CodePage& codePage, bool allSessions) {
    CString name = allSessions ? kAllSessionsPrefix : "";
    name += kLockPrefix;
    const CString folded = FoldAscii(appName, codePage);
    for (std::size_t i = 0; i < folded.size();) {
        const std::size_t size = codePage.CharacterSize(folded, i);
        if (i + size > kAppNameLimit) break;
        if (size == 1 && folded[i] == '\\') {
            name += '/';
        } else {
            name.append(folded, i, size);
        }
        i += size;
    }
    return name;
}

void CUninstApp::LockInstallation() {
    const bool allSessions = m_isWinNT && m_majorVersion >= 5;
    const CString name = InstallationLockName(m_appName, m_codePage, allSessions);
    m_runLock = m_platform.locks.OpenNamedMutex(name);
    if (!m_runLock) {
        Log("no lock for this installation could be had ('" + name + "'); going on without it");
        return;
    }
    MutexWait result = m_runLock->Wait(0);
    if (result == MutexWait::TimedOut) {
        Log("waiting for another run of this installation to end");
        result = m_runLock->Wait(kWaitForever);
        if (result == MutexWait::Taken) Log("the other run ended; going on");
    }
    if (result == MutexWait::Abandoned) {
        // A run stopped from outside; the journal lets this one finish its work.
        Log("the other run of this installation ended without letting go of its lock; going on");
    } else if (result == MutexWait::Failed) {
        Log("the wait for another run of this installation failed; going on");
    }
}
