#pragma once
// The registry through advapi32. Keys that the caller leaves open are closed when the object goes.

#include <vector>

#include "platform/registry.h"

class Win32Registry : public IRegistry {
public:
    Win32Registry() = default;
    ~Win32Registry() override;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;

    long OpenKey(RegKey parent, const CString& subKey, std::uint32_t access, RegKey& result) override;
    long CreateKey(RegKey parent, const CString& subKey, RegKey& result) override;
    void CloseKey(RegKey key) override;
    long QueryValue(RegKey key, const CString& name, std::size_t maxBytes, RegValue& result) override;
    long SetValue(RegKey key, const CString& name, const RegValue& value) override;
    long DeleteValue(RegKey key, const CString& name) override;
    long EnumKey(RegKey key, std::uint32_t index, std::size_t bufferSize, CString& name) override;
    long CountSubkeysAndValues(RegKey key, std::uint32_t& subkeys, std::uint32_t& values) override;
    long DeleteKey(RegKey parent, const CString& subKey) override;
    long FlushKey(RegKey key) override;

private:
    long Opened(long status, void* handle, RegKey& result);

    // Few keys are open at a time; a tree would bring in a prebuilt library piece.
    std::vector<RegKey> m_openKeys;
};
