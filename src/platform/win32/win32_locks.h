#pragma once
// Named mutexes through kernel32.

#include "platform/locks.h"

class Win32Locks : public ILocks {
public:
    std::unique_ptr<INamedMutex> OpenNamedMutex(const CString& name) override;
};
