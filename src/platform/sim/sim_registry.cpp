#include "platform/sim/sim_registry.h"

#include <functional>

#include "platform/sim/sim_fault.h"
#include "platform/sim/sim_text.h"

namespace {

constexpr std::uint32_t kWriteAccessBits = 0x0002 | 0x0004;  // KEY_SET_VALUE | KEY_CREATE_SUB_KEY

// A subkey path with the trailing backslashes that Windows tolerates removed; nullopt when a part
// inside it is empty, which Windows refuses.
std::optional<CStringArray> SplitKeyPath(const CString& path, const CodePage& codePage) {
    CStringArray parts = SimSplitPath(path, codePage);
    while (!parts.empty() && parts.back().empty()) parts.pop_back();
    for (const CString& part : parts) {
        if (part.empty()) return std::nullopt;
    }
    return parts;
}

CStringArray TestPathParts(const CString& path, const CodePage& codePage) {
    auto parts = SplitKeyPath(path, codePage);
    if (!parts) SimFault("sim registry: empty part in key path '" + path + "'");
    return *parts;
}

// The form the access rules are kept in: folded, no trailing backslash.
CString RuleKeyPath(const CString& path, const CodePage& codePage) {
    CString normal;
    for (const CString& part : TestPathParts(path, codePage)) normal += (normal.empty() ? "" : "\\") + SimFold(part, codePage);
    return normal;
}

CString RootName(RegKey root) {
    switch (root) {
    case kClassesRoot: return "HKCR";
    case kCurrentUser: return "HKCU";
    case kLocalMachine: return "HKLM";
    case kUsers: return "HKU";
    default: return "?";
    }
}

CString TextUpToNul(const CString& data) { return data.substr(0, data.find('\0')); }

template <typename Node>
std::shared_ptr<Node> DeepCopy(const Node& node) {
    auto copy = std::make_shared<Node>();
    copy->name = node.name;
    copy->values = node.values;
    for (const auto& subkey : node.subkeys) ValueAt(copy->subkeys, subkey.first) = DeepCopy(*subkey.second);
    return copy;
}

}  // namespace

SimRegistry::SimRegistry(SimTranscript& transcript, const SimSystem& system, SimPower& power)
    : m_transcript(transcript), m_system(system), m_power(power) {
    for (const RegKey root : {kClassesRoot, kCurrentUser, kLocalMachine, kUsers}) {
        ValueAt(m_roots, root) = std::make_shared<Node>();
    }
}

bool SimRegistry::IsRoot(RegKey key) {
    return key == kClassesRoot || key == kCurrentUser || key == kLocalMachine || key == kUsers;
}

void SimRegistry::AppendPart(CString& path, const CString& part) {
    // In place: a new string per part would make a deeply nested path take quadratic time.
    if (!path.empty() && !part.empty()) path += '\\';
    path += part;
}

CString SimRegistry::JoinPath(const CString& base, const CString& subKey) {
    if (base.empty()) return subKey;
    if (subKey.empty()) return base;
    return base + "\\" + subKey;
}

std::vector<RegKey> SimRegistry::HiveOf(RegKey root) {
    if (root == kLocalMachine || root == kClassesRoot) return {kLocalMachine, kClassesRoot};
    return {kCurrentUser, kUsers};
}

void SimRegistry::BeforeChange(RegKey root) {
    for (const RegKey member : HiveOf(root)) {
        if (!ContainsKey(m_flushed, member)) ValueAt(m_flushed, member) = DeepCopy(*FindByKey(m_roots, member)->second);
    }
}

long SimRegistry::FlushKey(RegKey key) {
    m_power.Use();
    std::shared_ptr<Node> node;
    Handle where;
    if (const long status = Resolve(key, node, where); status != reg::kSuccess) return status;
    for (const RegKey member : HiveOf(where.root)) EraseByKey(m_flushed, member);
    if ((where.root == kLocalMachine || where.root == kClassesRoot) && m_localMachineFlushed) {
        m_localMachineFlushed(where.root, where.path);
    }
    m_transcript.Record({SimEventKind::KeyFlushed, RootName(where.root) + "\\" + where.path, {}, reg::kSuccess, 0});
    return reg::kSuccess;
}

SimRegistry& SimRegistry::LoseUnflushed(RegKey root) {
    for (const RegKey member : HiveOf(root)) {
        const auto flushed = FindByKey(m_flushed, member);
        if (flushed == m_flushed.end()) continue;
        ValueAt(m_roots, member) = flushed->second;
        EraseByKey(m_flushed, member);
    }
    return *this;
}

SimRegistry& SimRegistry::OnLocalMachineFlush(std::function<void(RegKey, const CString&)> flushed) {
    m_localMachineFlushed = std::move(flushed);
    return *this;
}

long SimRegistry::Resolve(RegKey key, std::shared_ptr<Node>& node, Handle& where) const {
    if (IsRoot(key)) {
        node = FindByKey(m_roots, key)->second;
        where = Handle{node, key, {}, true};
        return reg::kSuccess;
    }
    const auto found = FindByKey(m_handles, key);
    if (found == m_handles.end()) return reg::kInvalidHandle;
    node = found->second.node.lock();
    if (!node) return reg::kKeyDeleted;
    where = found->second;
    return reg::kSuccess;
}

std::shared_ptr<SimRegistry::Node> SimRegistry::Find(RegKey root, const CString& path) const {
    const auto start = FindByKey(m_roots, root);
    if (start == m_roots.end()) return nullptr;
    std::shared_ptr<Node> node = start->second;
    for (const CString& part : TestPathParts(path, CurrentCodePage())) {
        const auto next = FindByKey(node->subkeys, SimFold(part, CurrentCodePage()));
        if (next == node->subkeys.end()) return nullptr;
        node = next->second;
    }
    return node;
}

std::shared_ptr<SimRegistry::Node> SimRegistry::FindOrCreate(RegKey root, const CString& path) {
    const auto start = FindByKey(m_roots, root);
    if (start == m_roots.end()) SimFault("sim registry: not a root key");
    std::shared_ptr<Node> node = start->second;
    for (const CString& part : TestPathParts(path, CurrentCodePage())) {
        std::shared_ptr<Node>& next = ValueAt(node->subkeys, SimFold(part, CurrentCodePage()));
        if (!next) {
            next = std::make_shared<Node>();
            next->name = part;
        }
        node = next;
    }
    return node;
}

RegKey SimRegistry::NewHandle(const std::shared_ptr<Node>& node, RegKey root, const CString& path, bool canWrite) {
    const RegKey handle = m_nextHandle;
    m_nextHandle += 4;
    ValueAt(m_handles, handle) = Handle{node, root, path, canWrite};
    return handle;
}

bool SimRegistry::HasRule(const std::vector<RuleKey>& rules, RegKey root, const CString& path) const {
    // Most machines have no rules; folding every key path the program names would cost it dearly.
    if (rules.empty()) return false;
    return ContainsSorted(rules, RuleKey{root, RuleKeyPath(path, CurrentCodePage())});
}

long SimRegistry::OpenKey(RegKey parent, const CString& subKey, std::uint32_t access, RegKey& result) {
    result = 0;
    std::shared_ptr<Node> node;
    Handle where;
    if (const long status = Resolve(parent, node, where); status != reg::kSuccess) return status;
    const auto parts = SplitKeyPath(subKey, CurrentCodePage());
    if (!parts) return reg::kBadPathname;
    CString path = where.path;
    for (const CString& part : *parts) {
        const auto next = FindByKey(node->subkeys, SimFold(part, CurrentCodePage()));
        if (next == node->subkeys.end()) return reg::kFileNotFound;
        node = next->second;
        AppendPart(path, part);
    }
    if (HasRule(m_denyOpen, where.root, path)) return reg::kAccessDenied;
    const bool wantsWrite = (access & ~reg::kRead) != 0;
    if (wantsWrite && HasRule(m_denyAllAccess, where.root, path)) return reg::kAccessDenied;
    result = NewHandle(node, where.root, path, (access & kWriteAccessBits) != 0);
    return reg::kSuccess;
}

long SimRegistry::CreateKey(RegKey parent, const CString& subKey, RegKey& result) {
    m_power.Use();
    result = 0;
    std::shared_ptr<Node> node;
    Handle where;
    if (const long status = Resolve(parent, node, where); status != reg::kSuccess) return status;
    const auto parts = SplitKeyPath(subKey, CurrentCodePage());
    if (!parts) return reg::kBadPathname;
    CString path = where.path;
    for (const CString& part : *parts) AppendPart(path, part);
    if (HasRule(m_failCreate, where.root, path) || HasRule(m_denyOpen, where.root, path)) {
        return reg::kAccessDenied;
    }
    BeforeChange(where.root);
    for (const CString& part : *parts) {
        std::shared_ptr<Node>& next = ValueAt(node->subkeys, SimFold(part, CurrentCodePage()));
        if (!next) {
            if (!where.canWrite) {
                EraseByKey(node->subkeys, SimFold(part, CurrentCodePage()));
                return reg::kAccessDenied;
            }
            next = std::make_shared<Node>();
            next->name = part;
        }
        node = next;
    }
    // RegCreateKeyA asks for the most access allowed: a key that refuses writing still opens.
    result = NewHandle(node, where.root, path, !HasRule(m_denyAllAccess, where.root, path));
    return reg::kSuccess;
}

void SimRegistry::CloseKey(RegKey key) { EraseByKey(m_handles, key); }

long SimRegistry::QueryValue(RegKey key, const CString& name, std::size_t maxBytes, RegValue& result) {
    std::shared_ptr<Node> node;
    Handle where;
    if (const long status = Resolve(key, node, where); status != reg::kSuccess) return status;
    const auto found = FindByKey(node->values, SimFold(name, CurrentCodePage()));
    if (found == node->values.end()) return reg::kFileNotFound;
    result.type = found->second.second.type;
    if (found->second.second.data.size() > maxBytes) {
        result.data.clear();
        return reg::kMoreData;
    }
    result.data = found->second.second.data;
    return reg::kSuccess;
}

long SimRegistry::SetValue(RegKey key, const CString& name, const RegValue& value) {
    m_power.Use();
    std::shared_ptr<Node> node;
    Handle where;
    if (const long status = Resolve(key, node, where); status != reg::kSuccess) return status;
    const auto result = [&](long status) {
        m_transcript.Record({SimEventKind::ValueSet, RootName(where.root) + "\\" + where.path, name, status, 0});
        return status;
    };
    if (!where.canWrite || HasRule(m_failWrites, where.root, where.path)) return result(reg::kAccessDenied);
    BeforeChange(where.root);
    auto& slot = ValueAt(node->values, SimFold(name, CurrentCodePage()));
    if (slot.first.empty()) slot.first = name;
    slot.second = value;
    return result(reg::kSuccess);
}

long SimRegistry::DeleteValue(RegKey key, const CString& name) {
    m_power.Use();
    std::shared_ptr<Node> node;
    Handle where;
    if (const long status = Resolve(key, node, where); status != reg::kSuccess) return status;
    const auto result = [&](long status) {
        m_transcript.Record({SimEventKind::ValueDeleted, RootName(where.root) + "\\" + where.path, name, status, 0});
        return status;
    };
    if (!where.canWrite || HasRule(m_failWrites, where.root, where.path)) return result(reg::kAccessDenied);
    BeforeChange(where.root);
    return result(EraseByKey(node->values, SimFold(name, CurrentCodePage())) ? reg::kSuccess : reg::kFileNotFound);
}

long SimRegistry::EnumKey(RegKey key, std::uint32_t index, std::size_t bufferSize, CString& name) {
    std::shared_ptr<Node> node;
    Handle where;
    if (const long status = Resolve(key, node, where); status != reg::kSuccess) return status;
    if (index >= node->subkeys.size()) return reg::kNoMoreItems;
    const CString& found = std::next(node->subkeys.begin(), index)->second->name;
    if (found.size() + 1 > bufferSize) return reg::kMoreData;
    name = found;
    return reg::kSuccess;
}

long SimRegistry::CountSubkeysAndValues(RegKey key, std::uint32_t& subkeys, std::uint32_t& values) {
    std::shared_ptr<Node> node;
    Handle where;
    if (const long status = Resolve(key, node, where); status != reg::kSuccess) return status;
    subkeys = static_cast<std::uint32_t>(node->subkeys.size());
    values = static_cast<std::uint32_t>(node->values.size());
    return reg::kSuccess;
}

long SimRegistry::DeleteKey(RegKey parent, const CString& subKey) {
    m_power.Use();
    std::shared_ptr<Node> node;
    Handle where;
    if (const long status = Resolve(parent, node, where); status != reg::kSuccess) return status;
    const auto parts = SplitKeyPath(subKey, CurrentCodePage());
    if (!parts) return reg::kBadPathname;
    CString path = where.path;
    for (const CString& part : *parts) AppendPart(path, part);

    const auto result = [&](long status) {
        m_transcript.Record({SimEventKind::KeyDeleted, RootName(where.root) + "\\" + path, {}, status, 0});
        return status;
    };
    if (path.empty()) return result(reg::kAccessDenied);
    const std::size_t cut = SimLastSeparator(path, CurrentCodePage());
    const std::shared_ptr<Node> owner = Find(where.root, cut == CString::npos ? CString() : path.substr(0, cut));
    const CString leaf = SimFold(cut == CString::npos ? path : path.substr(cut + 1), CurrentCodePage());
    if (!owner || !ContainsKey(owner->subkeys, leaf)) return result(reg::kFileNotFound);
    if (HasRule(m_denyOpen, where.root, path) || HasRule(m_denyAllAccess, where.root, path)) {
        return result(reg::kAccessDenied);
    }
    if (!FindByKey(owner->subkeys, leaf)->second->subkeys.empty() && !m_deleteWholeTrees) return result(reg::kAccessDenied);
    BeforeChange(where.root);
    EraseByKey(owner->subkeys, leaf);
    return result(reg::kSuccess);
}

SimRegistry& SimRegistry::AddKey(RegKey root, const CString& path) {
    FindOrCreate(root, path);
    return *this;
}

SimRegistry& SimRegistry::SetValue(RegKey root, const CString& path, const CString& name, const RegValue& value) {
    auto& slot = ValueAt(FindOrCreate(root, path)->values, SimFold(name, CurrentCodePage()));
    if (slot.first.empty()) slot.first = name;
    slot.second = value;
    return *this;
}

SimRegistry& SimRegistry::SetString(RegKey root, const CString& path, const CString& name, const CString& text) {
    return SetValue(root, path, name, RegValue{reg::kTypeString, text + '\0'});
}

SimRegistry& SimRegistry::SetDword(RegKey root, const CString& path, const CString& name, std::uint32_t number) {
    CString bytes(4, '\0');
    for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
    return SetValue(root, path, name, RegValue{reg::kTypeDword, bytes});
}

bool SimRegistry::KeyExists(RegKey root, const CString& path) const { return Find(root, path) != nullptr; }

std::optional<RegValue> SimRegistry::Value(RegKey root, const CString& path, const CString& name) const {
    const std::shared_ptr<Node> node = Find(root, path);
    if (!node) return std::nullopt;
    const auto found = FindByKey(node->values, SimFold(name, CurrentCodePage()));
    if (found == node->values.end()) return std::nullopt;
    return found->second.second;
}

std::optional<CString> SimRegistry::String(RegKey root, const CString& path, const CString& name) const {
    const auto value = Value(root, path, name);
    if (!value) return std::nullopt;
    return TextUpToNul(value->data);
}

std::optional<std::uint32_t> SimRegistry::Dword(RegKey root, const CString& path, const CString& name) const {
    const auto value = Value(root, path, name);
    if (!value || value->data.size() != 4) return std::nullopt;
    std::uint32_t number = 0;
    for (std::size_t i = 0; i < 4; ++i) number |= static_cast<std::uint32_t>(static_cast<unsigned char>(value->data[i])) << (8 * i);
    return number;
}

CStringArray SimRegistry::SubkeyNames(RegKey root, const CString& path) const {
    CStringArray names;
    if (const std::shared_ptr<Node> node = Find(root, path)) {
        for (const auto& entry : node->subkeys) names.push_back(entry.second->name);
    }
    return names;
}

SimRegistry& SimRegistry::DenyAllAccess(RegKey root, const CString& path) {
    InsertSorted(m_denyAllAccess, RuleKey{root, RuleKeyPath(path, CurrentCodePage())});
    return *this;
}

SimRegistry& SimRegistry::DenyOpen(RegKey root, const CString& path) {
    InsertSorted(m_denyOpen, RuleKey{root, RuleKeyPath(path, CurrentCodePage())});
    return *this;
}

SimRegistry& SimRegistry::FailWrites(RegKey root, const CString& path) {
    InsertSorted(m_failWrites, RuleKey{root, RuleKeyPath(path, CurrentCodePage())});
    return *this;
}

SimRegistry& SimRegistry::FailCreate(RegKey root, const CString& path) {
    InsertSorted(m_failCreate, RuleKey{root, RuleKeyPath(path, CurrentCodePage())});
    return *this;
}

SimRegistry& SimRegistry::DeleteWholeTrees(bool on) {
    m_deleteWholeTrees = on;
    return *this;
}

CStringArray SimRegistry::Contents() const {
    CStringArray lines;
    std::function<void(const CString&, const Node&)> visit = [&](const CString& path, const Node& node) {
        lines.push_back(path);
        for (const auto& value : node.values) {
            lines.push_back(path + " value '" + value.second.first + "' type " + std::to_string(value.second.second.type) +
                            " data " + value.second.second.data);
        }
        for (const auto& subkey : node.subkeys) visit(path + "\\" + subkey.second->name, *subkey.second);
    };
    for (const auto& root : m_roots) visit(RootName(root.first), *root.second);
    return lines;
}

const CodePage& SimRegistry::CurrentCodePage() const { return m_system.CodePageSetting(); }
