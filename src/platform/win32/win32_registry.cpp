#include "platform/win32/win32_registry.h"

#include <algorithm>

#include <windows.h>

#include <string>

namespace {

// The predefined roots are sign-extended in a 64-bit program, as the system headers define them.
HKEY ToHandle(RegKey key) {
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(key)));
}

}  // namespace

Win32Registry::~Win32Registry() {
    for (const RegKey key : m_openKeys) RegCloseKey(ToHandle(key));
}

long Win32Registry::Opened(long status, void* handle, RegKey& result) {
    if (status == ERROR_SUCCESS) {
        result = static_cast<RegKey>(reinterpret_cast<std::uintptr_t>(handle));
        m_openKeys.push_back(result);
    }
    return status;
}

long Win32Registry::OpenKey(RegKey parent, const CString& subKey, std::uint32_t access, RegKey& result) {
    // The handle is read only after the call has filled it: as two arguments of one call the
    // order of the two would be the compiler's choice.
    HKEY handle = nullptr;
    const long status = RegOpenKeyExA(ToHandle(parent), subKey.c_str(), 0, access, &handle);
    return Opened(status, handle, result);
}

long Win32Registry::CreateKey(RegKey parent, const CString& subKey, RegKey& result) {
    HKEY handle = nullptr;
    const long status = RegCreateKeyA(ToHandle(parent), subKey.c_str(), &handle);
    return Opened(status, handle, result);
}

void Win32Registry::CloseKey(RegKey key) {
    // Predefined roots and keys this object did not open are not ours to close.
    const auto open = std::find(m_openKeys.begin(), m_openKeys.end(), key);
    if (open == m_openKeys.end()) return;
    m_openKeys.erase(open);
    RegCloseKey(ToHandle(key));
}

long Win32Registry::QueryValue(RegKey key, const CString& name, std::size_t maxBytes, RegValue& result) {
    // The size is asked first so that a generous limit costs no memory beyond the value itself;
    // the value may grow between the two calls, hence the loop.
    for (;;) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        long status = RegQueryValueExA(ToHandle(key), name.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS) return status;
        result.type = type;
        if (size > maxBytes) {
            result.data.clear();
            return reg::kMoreData;
        }
        std::string data(size, '\0');
        status = RegQueryValueExA(ToHandle(key), name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return status;
        data.resize(size);
        result.type = type;
        result.data = std::move(data);
        return reg::kSuccess;
    }
}

long Win32Registry::SetValue(RegKey key, const CString& name, const RegValue& value) {
    return RegSetValueExA(ToHandle(key), name.c_str(), 0, value.type,
                          reinterpret_cast<const BYTE*>(value.data.data()), static_cast<DWORD>(value.data.size()));
}

long Win32Registry::DeleteValue(RegKey key, const CString& name) {
    return RegDeleteValueA(ToHandle(key), name.c_str());
}

long Win32Registry::EnumKey(RegKey key, std::uint32_t index, std::size_t bufferSize, CString& name) {
    std::string buffer(bufferSize + 1, '\0');
    const long status = RegEnumKeyA(ToHandle(key), index, buffer.data(), static_cast<DWORD>(bufferSize));
    if (status == ERROR_SUCCESS) name.assign(buffer.c_str());
    return status;
}

long Win32Registry::CountSubkeysAndValues(RegKey key, std::uint32_t& subkeys, std::uint32_t& values) {
    DWORD subkeyCount = 0;
    DWORD valueCount = 0;
    const long status = RegQueryInfoKeyA(ToHandle(key), nullptr, nullptr, nullptr, &subkeyCount, nullptr, nullptr,
                                         &valueCount, nullptr, nullptr, nullptr, nullptr);
    subkeys = subkeyCount;
    values = valueCount;
    return status;
}

long Win32Registry::DeleteKey(RegKey parent, const CString& subKey) {
    return RegDeleteKeyA(ToHandle(parent), subKey.c_str());
}

long Win32Registry::FlushKey(RegKey key) { return RegFlushKey(ToHandle(key)); }
