#pragma once
// One run of an installation at a time: the name of the mutex that every run of the installation
// takes before it reads the installation record.

#include "platform/types.h"
#include "text/code_page.h"

// The mutex's name for the application: its letters folded, since the record's key is found
// without regard to case, and its backslashes turned into slashes, which kernel object names
// may not hold. A name too long for the system is cut at a character: installations whose names
// differ only beyond that share one mutex, which costs at most a wait. With allSessions the name
// is one of every session's (the systems with sessions, from Windows 2000 on), so that runs of
// two users, or of a service and a user, find each other.
CString InstallationLockName(const CString& appName, const CodePage& codePage, bool allSessions);
