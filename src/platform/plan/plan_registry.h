#pragma once
// The registry of a dry run: every read goes to the real registry, every change is recorded
// instead of made and kept in an overlay, so that later reads see the registry as the run
// would have left it.

#include <optional>
#include <vector>

#include "platform/plan/plan_record.h"
#include "platform/registry.h"
#include "text/code_page.h"
#include "text/string_index.h"

class PlanRegistry : public IRegistry {
public:
    PlanRegistry(IRegistry& real, PlanRecorder& recorder, const CodePage& codePage)
        : m_real(real), m_recorder(recorder), m_codePage(codePage) {}
    ~PlanRegistry() override;
    PlanRegistry(const PlanRegistry&) = delete;
    PlanRegistry& operator=(const PlanRegistry&) = delete;

    long OpenKey(RegKey parent, const CString& subKey, std::uint32_t access, RegKey& result) override;
    long CreateKey(RegKey parent, const CString& subKey, RegKey& result) override;
    void CloseKey(RegKey key) override;
    long QueryValue(RegKey key, const CString& name, std::size_t maxBytes, RegValue& result) override;
    long SetValue(RegKey key, const CString& name, const RegValue& value) override;
    long DeleteValue(RegKey key, const CString& name) override;
    long EnumKey(RegKey key, std::uint32_t index, std::size_t bufferSize, CString& name) override;
    long CountSubkeysAndValues(RegKey key, std::uint32_t& subkeys, std::uint32_t& values) override;
    long DeleteKey(RegKey parent, const CString& subKey) override;
    // Nothing of the plan is written, so there is nothing to make durable, and nothing to report.
    long FlushKey(RegKey) override { return reg::kSuccess; }

private:
    // A key of the overlay: its root's name and its path, folded and without trailing backslashes.
    using KeyId = CString;
    struct Handle {
        RegKey root = 0;
        CString path;                  // as the caller spelt it
        std::optional<RegKey> real;    // the real key, where it exists
        bool canSetValues = false;
        std::optional<CStringArray> subkeys;  // the listing as of m_generation below
        unsigned listedAt = 0;
    };

    // The root and path that a handle or root and a subkey name; false for an unknown handle.
    bool Locate(RegKey parent, const CString& subKey, RegKey& root, CString& path);
    KeyId IdOf(RegKey root, const CString& path) const;
    // The key and the folded value name, apart by a byte that no name holds.
    CString ValueId(const KeyId& key, const CString& name) const;
    bool IsDeleted(const KeyId& id) const;
    bool IsCreated(const KeyId& id) const;
    bool Exists(RegKey root, const CString& path);
    CStringArray Subkeys(RegKey root, const CString& path, std::optional<RegKey> real);
    long ReadValue(const Handle& handle, const CString& name, std::size_t maxBytes, RegValue& result);
    std::optional<RegValue> CurrentValue(const Handle& handle, const CString& name);
    RegKey NewHandle(Handle handle);
    // The open handle of that number, or null.
    Handle* Find(RegKey key);
    // The handle and the plan's name of a value about to be set or deleted; a failure when the
    // handle is unknown, its key deleted, or it was opened without the right to set values.
    long WritableValue(RegKey key, PlanVerb verb, const CString& name, Handle*& handle, CString& item);
    CString Describe(RegKey root, const CString& path) const;
    void Changed() { ++m_generation; }

    IRegistry& m_real;
    PlanRecorder& m_recorder;
    const CodePage m_codePage;
    // Handle numbers count from kFirstHandle; a closed handle's number is given out again.
    std::vector<std::optional<Handle>> m_handles;
    std::vector<std::size_t> m_freeHandles;
    // Keys the run would create (with their path as first spelt) or delete (with none).
    StringMap<std::optional<CString>> m_keys;
    // Values set (present) or deleted (absent), by ValueId.
    StringMap<std::optional<RegValue>> m_values;
    unsigned m_generation = 1;
};
