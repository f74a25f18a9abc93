// Deleting registry keys: a key goes only once its subkeys are gone.

#include "app/uninst_app.h"
#include "platform/plan/plan_format.h"

namespace {

constexpr std::size_t kSubkeyNameBuffer = 1044;

}  // namespace

bool CUninstApp::EnumSubkeyNames(RegKey root, const CString& keyPath, CStringArray& names) {
    IRegistry& registry = m_platform.registry;
    names.clear();
    RegKey key = 0;
    if (registry.OpenKey(root, keyPath, reg::kRead, key) != reg::kSuccess) return false;
    CString name;
    for (std::uint32_t index = 0; registry.EnumKey(key, index, kSubkeyNameBuffer, name) == reg::kSuccess; ++index) {
        names.push_back(name);
    }
    registry.CloseKey(key);
    return true;
}

bool CUninstApp::DeleteKeyIfLeaf(RegKey root, const CString& keyPath) {
    CStringArray names;
    if (!EnumSubkeyNames(root, keyPath, names) || !names.empty()) return false;
    return m_platform.registry.DeleteKey(root, keyPath) == reg::kSuccess;
}

bool CUninstApp::DeleteKeyTree(RegKey root, const CString& keyPath) {
    CStringArray names;
    if (!EnumSubkeyNames(root, keyPath, names)) return false;
    for (const CString& name : names) {
        if (!DeleteKeyTree(root, keyPath + "\\" + name)) return false;
    }
    if (m_platform.registry.DeleteKey(root, keyPath) != reg::kSuccess) return false;
    // Each key of a tree has its own line, so that the log names every key the run removed.
    CString event = "registry key removed: " + PlanRootName(root);
    event += '\\';
    event += keyPath;
    Log(event);
    return true;
}
