// The least work any uninstaller must do for an installation, done directly: the list file names
// each file, registry key, shared count and folder, and nothing is read, checked or shown besides.
// Lines: "file <path>", "key <root> <subkey>", "count <path> <n>", "folder <path>", and
// "flush <root> <subkey>" for the hives the uninstaller flushes, which the floor flushes after the
// keys, timing those calls alone.
// Exit code 0 when every step succeeded, 1 otherwise (the failures are printed), 2 for a bad list.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

struct KeyLine {
    HKEY root;
    std::string subKey;
};

struct CountLine {
    std::string path;
    DWORD count;
};

struct Work {
    std::vector<std::string> files;
    std::vector<KeyLine> keys;
    std::vector<CountLine> counts;
    std::vector<std::string> folders;
    std::vector<KeyLine> flushes;
};

class OwnedKey {
public:
    OwnedKey() = default;
    OwnedKey(const OwnedKey&) = delete;
    OwnedKey& operator=(const OwnedKey&) = delete;
    ~OwnedKey() {
        if (m_key) RegCloseKey(m_key);
    }
    HKEY* Receive() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

bool ParseRoot(const std::string& name, HKEY& root) {
    if (name == "HKLM") root = HKEY_LOCAL_MACHINE;
    else if (name == "HKCU") root = HKEY_CURRENT_USER;
    else if (name == "HKCR") root = HKEY_CLASSES_ROOT;
    else if (name == "HKU") root = HKEY_USERS;
    else return false;
    return true;
}

bool ParseLine(const std::string& line, Work& work) {
    const std::size_t space = line.find(' ');
    if (space == std::string::npos) return false;
    const std::string tag = line.substr(0, space);
    const std::string rest = line.substr(space + 1);
    if (tag == "file") {
        work.files.push_back(rest);
    } else if (tag == "folder") {
        work.folders.push_back(rest);
    } else if (tag == "key") {
        const std::size_t split = rest.find(' ');
        KeyLine key;
        if (split == std::string::npos || !ParseRoot(rest.substr(0, split), key.root)) return false;
        key.subKey = rest.substr(split + 1);
        work.keys.push_back(key);
    } else if (tag == "flush") {
        const std::size_t split = rest.find(' ');
        KeyLine key;
        if (!ParseRoot(rest.substr(0, split), key.root)) return false;
        if (split != std::string::npos) key.subKey = rest.substr(split + 1);
        work.flushes.push_back(key);
    } else if (tag == "count") {
        // Paths hold blanks, so the count is the last word.
        const std::size_t split = rest.rfind(' ');
        if (split == std::string::npos) return false;
        const std::string number = rest.substr(split + 1);
        char* end = nullptr;
        const unsigned long count = std::strtoul(number.c_str(), &end, 10);
        if (number.empty() || *end != '\0') return false;
        work.counts.push_back({rest.substr(0, split), static_cast<DWORD>(count)});
    } else {
        return false;
    }
    return true;
}

std::size_t Depth(const std::string& path) { return static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\')); }

// A key or folder can go only after everything below it, so the deepest go first.
template <typename T, typename PathOf>
void SortDeepestFirst(std::vector<T>& items, PathOf pathOf) {
    std::stable_sort(items.begin(), items.end(),
                     [&](const T& a, const T& b) { return Depth(pathOf(a)) > Depth(pathOf(b)); });
}

int Report(const char* what, const std::string& path, long error) {
    std::printf("floor: %s failed (%ld): %s\n", what, error, path.c_str());
    return 1;
}

int DoWork(Work& work) {
    int failures = 0;
    OwnedKey shared;
    const long opened = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                        shared.Receive(), nullptr);
    if (opened != ERROR_SUCCESS && !work.counts.empty()) return Report("opening SharedDLLs", kSharedDllsKey, opened);
    for (const CountLine& line : work.counts) {
        const long status = RegSetValueExA(shared.Get(), line.path.c_str(), 0, REG_DWORD,
                                           reinterpret_cast<const BYTE*>(&line.count), sizeof line.count);
        if (status != ERROR_SUCCESS) failures += Report("count", line.path, status);
    }

    SortDeepestFirst(work.keys, [](const KeyLine& key) -> const std::string& { return key.subKey; });
    for (const KeyLine& key : work.keys) {
        const long status = RegDeleteKeyA(key.root, key.subKey.c_str());
        if (status != ERROR_SUCCESS) failures += Report("key", key.subKey, status);
    }

    LARGE_INTEGER frequency{};
    LARGE_INTEGER started{};
    LARGE_INTEGER ended{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    for (const KeyLine& key : work.flushes) {
        OwnedKey opened;
        long status = RegOpenKeyExA(key.root, key.subKey.c_str(), 0, KEY_READ, opened.Receive());
        if (status == ERROR_SUCCESS) status = RegFlushKey(opened.Get());
        if (status != ERROR_SUCCESS) failures += Report("flush", key.subKey, status);
    }
    QueryPerformanceCounter(&ended);
    std::printf("floor: %zu flushes in %.3f ms\n", work.flushes.size(),
                1000.0 * static_cast<double>(ended.QuadPart - started.QuadPart) / static_cast<double>(frequency.QuadPart));

    for (const std::string& path : work.files) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(path.c_str())) failures += Report("file", path, static_cast<long>(GetLastError()));
    }

    SortDeepestFirst(work.folders, [](const std::string& path) -> const std::string& { return path; });
    for (const std::string& path : work.folders) {
        if (!RemoveDirectoryA(path.c_str())) failures += Report("folder", path, static_cast<long>(GetLastError()));
    }
    return failures;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: floor <list file>\n");
        return 2;
    }
    std::ifstream list(argv[1]);
    if (!list) {
        std::printf("floor: cannot read %s\n", argv[1]);
        return 2;
    }
    Work work;
    std::string line;
    while (std::getline(list, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (!ParseLine(line, work)) {
            std::printf("floor: bad line: %s\n", line.c_str());
            return 2;
        }
    }
    const int failures = DoWork(work);
    std::printf("floor: %zu files, %zu keys, %zu counts, %zu folders, %d failures\n", work.files.size(),
                work.keys.size(), work.counts.size(), work.folders.size(), failures);
    return failures == 0 ? 0 : 1;
}
