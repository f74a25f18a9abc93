#include "platform/plan/plan_registry.h"

#include "platform/plan/plan_format.h"
#include "text/text.h"

namespace {

constexpr RegKey kFirstHandle = 0x4000;
constexpr long kInvalidHandle = 6;  // ERROR_INVALID_HANDLE
constexpr long kKeyDeleted = 1018;  // ERROR_KEY_DELETED: the handle's key is gone
constexpr std::uint32_t kSetValueAccess = 0x0002;  // KEY_SET_VALUE
// Longer than any key name the registry allows, so that the listing never stops short.
constexpr std::size_t kNameBuffer = 65536;
constexpr std::size_t kAnyValueSize = static_cast<std::size_t>(-1);

bool IsRoot(RegKey key) { return key >= kClassesRoot && key <= kUsers; }

CString Join(const CString& base, const CString& subKey, const CodePage& codePage) {
    if (subKey.empty()) return base;
    if (base.empty()) return subKey;
    return CString(WithoutTrailingBackslashes(base, codePage)) + "\\" + subKey;
}

CString ParentOf(const CString& foldedPath, const CodePage& codePage) {
    const std::size_t cut = codePage.FindLast(foldedPath, '\\');
    return cut == CString::npos ? CString() : foldedPath.substr(0, cut);
}

}  // namespace

PlanRegistry::~PlanRegistry() {
    for (const auto& handle : m_handles) {
        if (handle && handle->real) m_real.CloseKey(*handle->real);
    }
}

bool PlanRegistry::Locate(RegKey parent, const CString& subKey, RegKey& root, CString& path) {
    if (IsRoot(parent)) {
        root = parent;
        path = subKey;
        return true;
    }
    const Handle* handle = Find(parent);
    if (!handle) return false;
    root = handle->root;
    path = Join(handle->path, subKey, m_codePage);
    return true;
}

PlanRegistry::KeyId PlanRegistry::IdOf(RegKey root, const CString& path) const {
    return FoldAscii(WithoutTrailingBackslashes(PlanRootName(root) + "\\" + path, m_codePage), m_codePage);
}

CString PlanRegistry::ValueId(const KeyId& key, const CString& name) const { return key + '\0' + FoldAscii(name, m_codePage); }

bool PlanRegistry::IsDeleted(const KeyId& id) const {
    if (m_keys.Empty() || IsCreated(id)) return false;
    // A deleted key takes everything below it along.
    for (std::size_t cut = m_codePage.Find(id, '\\'); cut != CString::npos; cut = m_codePage.Find(id, '\\', cut + 1)) {
        const std::optional<CString>* found = m_keys.Find(std::string_view(id).substr(0, cut));
        if (found && !*found) return true;
    }
    const std::optional<CString>* found = m_keys.Find(id);
    return found && !*found;
}

bool PlanRegistry::IsCreated(const KeyId& id) const {
    const std::optional<CString>* found = m_keys.Find(id);
    return found && *found;
}

bool PlanRegistry::Exists(RegKey root, const CString& path) {
    const KeyId id = IdOf(root, path);
    if (IsCreated(id)) return true;
    if (IsDeleted(id)) return false;
    RegKey key = 0;
    if (m_real.OpenKey(root, path, reg::kRead, key) != reg::kSuccess) return false;
    m_real.CloseKey(key);
    return true;
}

CStringArray PlanRegistry::Subkeys(RegKey root, const CString& path, std::optional<RegKey> real) {
    CStringArray names;
    StringIndex seen;
    const KeyId id = IdOf(root, path);
    if (real) {
        CString name;
        for (std::uint32_t index = 0; m_real.EnumKey(*real, index, kNameBuffer, name) == reg::kSuccess; ++index) {
            if (IsDeleted(IdOf(root, Join(path, name, m_codePage)))) continue;
            if (seen.Insert(FoldAscii(name, m_codePage)).second) names.push_back(name);
        }
    }
    for (std::size_t number = 0; number < m_keys.Size(); ++number) {
        const std::optional<CString>& created = m_keys.ValueAt(number);
        if (!created || ParentOf(m_keys.KeyAt(number), m_codePage) != id) continue;
        const CString name = created->substr(m_codePage.FindLast(*created, '\\') + 1);
        if (seen.Insert(FoldAscii(name, m_codePage)).second) names.push_back(name);
    }
    return names;
}

std::optional<RegValue> PlanRegistry::CurrentValue(const Handle& handle, const CString& name) {
    // The caller's handle may lack the right to query: a handle opened only to delete a value
    // cannot read it.
    Handle reader = handle;
    RegKey real = 0;
    const bool opened = handle.real && m_real.OpenKey(handle.root, handle.path, reg::kRead, real) == reg::kSuccess;
    if (opened) reader.real = real;
    RegValue value;
    const long status = ReadValue(reader, name, kAnyValueSize, value);
    if (opened) m_real.CloseKey(real);
    if (status != reg::kSuccess) return std::nullopt;
    return value;
}

long PlanRegistry::ReadValue(const Handle& handle, const CString& name, std::size_t maxBytes, RegValue& result) {
    const KeyId id = IdOf(handle.root, handle.path);
    if (IsDeleted(id)) return kKeyDeleted;
    if (const std::optional<RegValue>* overlay = m_values.Find(ValueId(id, name))) {
        if (!*overlay) return reg::kFileNotFound;
        result.type = (*overlay)->type;
        if ((*overlay)->data.size() > maxBytes) {
            result.data.clear();
            return reg::kMoreData;
        }
        result.data = (*overlay)->data;
        return reg::kSuccess;
    }
    if (!handle.real) return reg::kFileNotFound;
    return m_real.QueryValue(*handle.real, name, maxBytes, result);
}

RegKey PlanRegistry::NewHandle(Handle handle) {
    std::size_t index = m_handles.size();
    if (m_freeHandles.empty()) {
        m_handles.emplace_back();
    } else {
        index = m_freeHandles.back();
        m_freeHandles.pop_back();
    }
    m_handles[index] = std::move(handle);
    return kFirstHandle + static_cast<RegKey>(index);
}

PlanRegistry::Handle* PlanRegistry::Find(RegKey key) {
    if (key < kFirstHandle || key - kFirstHandle >= m_handles.size()) return nullptr;
    auto& slot = m_handles[key - kFirstHandle];
    return slot ? &*slot : nullptr;
}

CString PlanRegistry::Describe(RegKey root, const CString& path) const { return PlanRootName(root) + "\\" + path; }

long PlanRegistry::OpenKey(RegKey parent, const CString& subKey, std::uint32_t access, RegKey& result) {
    RegKey root = 0;
    CString path;
    if (!Locate(parent, subKey, root, path)) return kInvalidHandle;
    const KeyId id = IdOf(root, path);
    Handle handle;
    handle.root = root;
    handle.path = path;
    handle.canSetValues = (access & kSetValueAccess) != 0;
    if (!IsCreated(id)) {
        if (IsDeleted(id)) return reg::kFileNotFound;
        RegKey real = 0;
        const long status = m_real.OpenKey(root, path, access, real);
        if (status != reg::kSuccess) return status;
        handle.real = real;
    }
    result = NewHandle(std::move(handle));
    return reg::kSuccess;
}

long PlanRegistry::CreateKey(RegKey parent, const CString& subKey, RegKey& result) {
    RegKey root = 0;
    CString path;
    if (!Locate(parent, subKey, root, path)) return kInvalidHandle;
    if (Exists(root, path)) return OpenKey(root, path, reg::kAllAccess, result);

    m_recorder.Add(PlanVerb::CreateKey, Describe(root, path), planstate::kMissing, true);
    // The key and every missing key above it come into being.
    for (CString step(WithoutTrailingBackslashes(path, m_codePage)); !step.empty() && !Exists(root, step);
         step = step.substr(0, m_codePage.FindLast(step, '\\') == CString::npos ? 0 : m_codePage.FindLast(step, '\\'))) {
        const KeyId id = IdOf(root, step);
        m_keys[id] = step;
    }
    Changed();
    Handle handle;
    handle.root = root;
    handle.path = path;
    handle.canSetValues = true;
    result = NewHandle(std::move(handle));
    return reg::kSuccess;
}

void PlanRegistry::CloseKey(RegKey key) {
    Handle* handle = Find(key);
    if (!handle) return;
    if (handle->real) m_real.CloseKey(*handle->real);
    m_handles[key - kFirstHandle].reset();
    m_freeHandles.push_back(key - kFirstHandle);
}

long PlanRegistry::QueryValue(RegKey key, const CString& name, std::size_t maxBytes, RegValue& result) {
    const Handle* handle = Find(key);
    return handle ? ReadValue(*handle, name, maxBytes, result) : kInvalidHandle;
}

long PlanRegistry::WritableValue(RegKey key, PlanVerb verb, const CString& name, Handle*& handle, CString& item) {
    handle = Find(key);
    if (!handle) return kInvalidHandle;
    if (IsDeleted(IdOf(handle->root, handle->path))) return kKeyDeleted;
    item = Describe(handle->root, handle->path) + " value '" + name + "'";
    if (!handle->canSetValues) {
        m_recorder.Add(verb, item, planstate::kKeyOpenForReading, false);
        return reg::kAccessDenied;
    }
    return reg::kSuccess;
}

long PlanRegistry::SetValue(RegKey key, const CString& name, const RegValue& value) {
    Handle* handle = nullptr;
    CString item;
    if (const long status = WritableValue(key, PlanVerb::SetValue, name, handle, item); status != reg::kSuccess) {
        return status;
    }
    const auto current = CurrentValue(*handle, name);
    const bool changes = !current || current->type != value.type || current->data != value.data;
    const CString state = current ? "now " + DescribeRegistryValue(*current) : CString(planstate::kMissing);
    m_recorder.Add(PlanVerb::SetValue, item, state, changes, DescribeRegistryValue(value));
    m_values[ValueId(IdOf(handle->root, handle->path), name)] = value;
    return reg::kSuccess;
}

long PlanRegistry::DeleteValue(RegKey key, const CString& name) {
    Handle* handle = nullptr;
    CString item;
    if (const long status = WritableValue(key, PlanVerb::DeleteValue, name, handle, item); status != reg::kSuccess) {
        return status;
    }
    const auto current = CurrentValue(*handle, name);
    if (!current) {
        m_recorder.Add(PlanVerb::DeleteValue, item, planstate::kMissing, false);
        return reg::kFileNotFound;
    }
    m_recorder.Add(PlanVerb::DeleteValue, item, "now " + DescribeRegistryValue(*current), true);
    m_values[ValueId(IdOf(handle->root, handle->path), name)] = std::nullopt;
    return reg::kSuccess;
}

long PlanRegistry::EnumKey(RegKey key, std::uint32_t index, std::size_t bufferSize, CString& name) {
    Handle* found = Find(key);
    if (!found) return kInvalidHandle;
    Handle& handle = *found;
    if (IsDeleted(IdOf(handle.root, handle.path))) return kKeyDeleted;
    // Listed once per state of the overlay: callers enumerate index by index.
    if (!handle.subkeys || handle.listedAt != m_generation) {
        handle.subkeys = Subkeys(handle.root, handle.path, handle.real);
        handle.listedAt = m_generation;
    }
    if (index >= handle.subkeys->size()) return reg::kNoMoreItems;
    const CString& listedName = (*handle.subkeys)[index];
    if (listedName.size() + 1 > bufferSize) return reg::kMoreData;
    name = listedName;
    return reg::kSuccess;
}

long PlanRegistry::CountSubkeysAndValues(RegKey key, std::uint32_t& subkeys, std::uint32_t& values) {
    if (IsRoot(key)) return m_real.CountSubkeysAndValues(key, subkeys, values);
    const Handle* handle = Find(key);
    if (!handle) return kInvalidHandle;
    const KeyId id = IdOf(handle->root, handle->path);
    if (IsDeleted(id)) return kKeyDeleted;
    // The real key's values, less those the run would delete, and those it would add.
    std::uint32_t realSubkeys = 0;
    std::uint32_t realValues = 0;
    RegKey reader = 0;
    const bool opened = handle->real && m_real.OpenKey(handle->root, handle->path, reg::kRead, reader) == reg::kSuccess;
    if (opened && m_real.CountSubkeysAndValues(reader, realSubkeys, realValues) != reg::kSuccess) realValues = 0;
    long count = realValues;
    const CString prefix = id + '\0';
    for (std::size_t number = 0; number < m_values.Size(); ++number) {
        const CString& valueId = m_values.KeyAt(number);
        const std::optional<RegValue>& value = m_values.ValueAt(number);
        if (valueId.compare(0, prefix.size(), prefix) != 0) continue;
        RegValue ignored;
        const long status = opened ? m_real.QueryValue(reader, valueId.substr(prefix.size()), 0, ignored) : reg::kFileNotFound;
        const bool real = status == reg::kSuccess || status == reg::kMoreData;
        if (value && !real) ++count;
        if (!value && real) --count;
    }
    if (opened) m_real.CloseKey(reader);
    values = static_cast<std::uint32_t>(count < 0 ? 0 : count);
    subkeys = static_cast<std::uint32_t>(Subkeys(handle->root, handle->path, handle->real).size());
    return reg::kSuccess;
}

long PlanRegistry::DeleteKey(RegKey parent, const CString& subKey) {
    RegKey root = 0;
    CString path;
    if (!Locate(parent, subKey, root, path)) return kInvalidHandle;
    const KeyId id = IdOf(root, path);
    const CString item = Describe(root, path);
    if (!Exists(root, path)) {
        m_recorder.Add(PlanVerb::DeleteKey, item, planstate::kMissing, false);
        return reg::kFileNotFound;
    }
    std::optional<RegKey> real;
    RegKey opened = 0;
    if (!IsCreated(id) && m_real.OpenKey(root, path, reg::kRead, opened) == reg::kSuccess) real = opened;
    const CStringArray subkeys = Subkeys(root, path, real);
    if (real) m_real.CloseKey(*real);
    if (!subkeys.empty()) {
        CString names;
        for (const CString& name : subkeys) names += (names.empty() ? "" : ", ") + name;
        m_recorder.Add(PlanVerb::DeleteKey, item, "holds subkeys " + names + ": refused", false);
        return reg::kAccessDenied;
    }
    m_recorder.Add(PlanVerb::DeleteKey, item, "exists, no subkeys", true);
    m_keys[id] = std::nullopt;
    const CString values = ValueId(id, CString());
    m_values.EraseKeysIf([&](const CString& valueId) { return valueId.compare(0, values.size(), values) == 0; });
    Changed();
    return reg::kSuccess;
}
