#pragma once
// Self-registering modules through kernel32.

#include "platform/modules.h"

class Win32Modules : public IModules {
public:
    std::unique_ptr<IModule> LoadModule(const CString& path, DependencySearch search) override;
};
