#pragma once
// The in-memory registry: a tree under the four roots with case-insensitive key and value names,
// typed values, handles that carry their access, and keys that refuse chosen operations.
// Each hive keeps the state it had at its last flush, which a power cut brings back: HKLM with
// HKCR in it, and the users' hive with HKCU in it, each on its own, as both families write a hive
// lazily and RegFlushKey writes the one hive it is given.

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/sim_power.h"
#include "platform/sim/sorted_lookup.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/transcript.h"

namespace reg {
// Results the sim gives beside those the core names.
constexpr long kInvalidHandle = 6;    // ERROR_INVALID_HANDLE: never opened, or closed
constexpr long kBadPathname = 161;    // ERROR_BAD_PATHNAME: an empty part inside a path
constexpr long kKeyDeleted = 1018;    // ERROR_KEY_DELETED: the handle's key is gone
}  // namespace reg

class SimRegistry : public IRegistry {
public:
    SimRegistry(SimTranscript& transcript, const SimSystem& system, SimPower& power);

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

    // Test API. Paths are relative to a root, parts separated by single backslashes; missing
    // keys on the way are created.
    SimRegistry& AddKey(RegKey root, const CString& path);
    SimRegistry& SetValue(RegKey root, const CString& path, const CString& name, const RegValue& value);
    // REG_SZ with its terminating NUL stored, as setup programs write strings.
    SimRegistry& SetString(RegKey root, const CString& path, const CString& name, const CString& text);
    SimRegistry& SetDword(RegKey root, const CString& path, const CString& name, std::uint32_t number);
    bool KeyExists(RegKey root, const CString& path) const;
    std::optional<RegValue> Value(RegKey root, const CString& path, const CString& name) const;
    // A string value's text up to its first NUL; nullopt when absent.
    std::optional<CString> String(RegKey root, const CString& path, const CString& name) const;
    std::optional<std::uint32_t> Dword(RegKey root, const CString& path, const CString& name) const;
    // The direct subkeys' names in enumeration order; empty when the key is missing.
    CStringArray SubkeyNames(RegKey root, const CString& path) const;
    // Every key and every value with its type and bytes, one line each, for comparing states.
    CStringArray Contents() const;

    // The key refuses opening with more than read access (and CreateKey gives a read-only handle).
    SimRegistry& DenyAllAccess(RegKey root, const CString& path);
    // The key refuses every open, and so its deletion.
    SimRegistry& DenyOpen(RegKey root, const CString& path);
    // SetValue and DeleteValue on the key fail with kAccessDenied.
    SimRegistry& FailWrites(RegKey root, const CString& path);
    // CreateKey reaching this path fails with kAccessDenied, whether or not the key exists.
    SimRegistry& FailCreate(RegKey root, const CString& path);
    // The 9x family's RegDeleteKeyA: a key goes with all its subkeys. Off by default (NT).
    SimRegistry& DeleteWholeTrees(bool on = true);

    // What a power cut does to the hive that root lies in: every change since its last flush is
    // undone. The test API's own changes count as flushed.
    SimRegistry& LoseUnflushed(RegKey root);
    // Called with the flushed key's root and path whenever a key of HKLM's hive is flushed: the
    // queue of deletions at the restart lies in it.
    SimRegistry& OnLocalMachineFlush(std::function<void(RegKey, const CString&)> flushed);

    // Handles opened or created and not yet closed; the roots do not count.
    std::size_t OpenHandleCount() const { return m_handles.size(); }

private:
    struct Node {
        CString name;
        SortedPairs<CString, std::shared_ptr<Node>> subkeys;        // by folded name
        SortedPairs<CString, std::pair<CString, RegValue>> values;  // by folded name
    };
    struct Handle {
        std::weak_ptr<Node> node;
        RegKey root = 0;
        CString path;  // folded, for the access rules
        bool canWrite = false;
    };
    using RuleKey = std::pair<RegKey, CString>;

    // Resolves a handle to its node and full path; a result code when it cannot.
    long Resolve(RegKey key, std::shared_ptr<Node>& node, Handle& where) const;
    std::shared_ptr<Node> Find(RegKey root, const CString& path) const;
    std::shared_ptr<Node> FindOrCreate(RegKey root, const CString& path);
    RegKey NewHandle(const std::shared_ptr<Node>& node, RegKey root, const CString& path, bool canWrite);
    bool HasRule(const std::vector<RuleKey>& rules, RegKey root, const CString& path) const;
    static CString JoinPath(const CString& base, const CString& subKey);
    static void AppendPart(CString& path, const CString& part);
    static bool IsRoot(RegKey key);
    // The roots that lie in the same hive as root, root among them.
    static std::vector<RegKey> HiveOf(RegKey root);
    // Keeps the hive's flushed state before its first change since the flush.
    void BeforeChange(RegKey root);

    SimTranscript& m_transcript;
    const CodePage& CurrentCodePage() const;
    const SimSystem& m_system;
    SimPower& m_power;
    SortedPairs<RegKey, std::shared_ptr<Node>> m_roots;
    SortedPairs<RegKey, Handle> m_handles;
    RegKey m_nextHandle = 0x1000;
    // The access rules, each sorted.
    std::vector<RuleKey> m_denyAllAccess;
    std::vector<RuleKey> m_denyOpen;
    std::vector<RuleKey> m_failWrites;
    std::vector<RuleKey> m_failCreate;
    bool m_deleteWholeTrees = false;
    // The flushed state of each root whose hive changed since its last flush.
    SortedPairs<RegKey, std::shared_ptr<Node>> m_flushed;
    std::function<void(RegKey, const CString&)> m_localMachineFlushed;
};
