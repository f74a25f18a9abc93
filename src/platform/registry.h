#pragma once
// Registry services, shaped after advapi32: the same arguments that matter, the same results.

#include <cstddef>
#include <cstdint>

#include "platform/types.h"

// A key handle. The four predefined roots carry the values of the Windows handles, so that
// ordering records by root orders them as the real handles do.
using RegKey = std::uint32_t;
constexpr RegKey kClassesRoot = 0x80000000u;
constexpr RegKey kCurrentUser = 0x80000001u;
constexpr RegKey kLocalMachine = 0x80000002u;
constexpr RegKey kUsers = 0x80000003u;

namespace reg {
constexpr std::uint32_t kRead = 0x20019;       // KEY_READ
constexpr std::uint32_t kAllAccess = 0xF003F;  // KEY_ALL_ACCESS

constexpr std::uint32_t kTypeNone = 0;
constexpr std::uint32_t kTypeString = 1;   // REG_SZ
constexpr std::uint32_t kTypeExpandString = 2;
constexpr std::uint32_t kTypeBinary = 3;
constexpr std::uint32_t kTypeDword = 4;    // REG_DWORD

constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;
}  // namespace reg

struct RegValue {
    std::uint32_t type = reg::kTypeNone;
    std::string data;  // the value's bytes exactly as stored
};

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // RegOpenKeyExA: opens subKey of an open key or root with the given access mask.
    virtual long OpenKey(RegKey parent, const CString& subKey, std::uint32_t access, RegKey& result) = 0;
    // RegCreateKeyA: opens subKey, creating it (and missing parents) when absent.
    virtual long CreateKey(RegKey parent, const CString& subKey, RegKey& result) = 0;
    virtual void CloseKey(RegKey key) = 0;
    // RegQueryValueExA with a buffer of maxBytes: kMoreData when the value is larger.
    // An empty name is the key's default value.
    virtual long QueryValue(RegKey key, const CString& name, std::size_t maxBytes, RegValue& result) = 0;
    virtual long SetValue(RegKey key, const CString& name, const RegValue& value) = 0;
    virtual long DeleteValue(RegKey key, const CString& name) = 0;
    // RegEnumKeyA with a name buffer of bufferSize bytes (the terminator included).
    virtual long EnumKey(RegKey key, std::uint32_t index, std::size_t bufferSize, CString& name) = 0;
    // RegQueryInfoKeyA: how many subkeys and values the key holds (a set default value counts).
    virtual long CountSubkeysAndValues(RegKey key, std::uint32_t& subkeys, std::uint32_t& values) = 0;
    // RegDeleteKeyA. Callers test for subkeys first: the 9x family deletes a whole tree here.
    virtual long DeleteKey(RegKey parent, const CString& subKey) = 0;
    // RegFlushKey: every change to the hive the key lies in is on the disk when it returns. Both
    // families otherwise write a hive lazily, and a power cut loses what was not yet written.
    virtual long FlushKey(RegKey key) = 0;
};
