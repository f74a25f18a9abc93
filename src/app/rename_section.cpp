#include "app/rename_section.h"

#include "text/text.h"

CString AddRenameDeletion(std::string_view iniText, std::string_view path) {
    const CString entry = "NUL=" + CString(path) + "\r\n";
    std::size_t position = 0;
    while (position < iniText.size()) {
        const auto feed = iniText.find('\n', position);
        const std::size_t next = feed == std::string_view::npos ? iniText.size() : feed + 1;
        if (StartsWithAsciiNoCase(TrimLeftWhiteSpace(iniText.substr(position, next - position)), "[Rename]")) {
            CString result(iniText.substr(0, next));
            if (feed == std::string_view::npos) result += "\r\n";
            return result + entry + CString(iniText.substr(next));
        }
        position = next;
    }
    CString result(iniText);
    if (!result.empty() && result.back() != '\n') result += "\r\n";
    return result + "[Rename]\r\n" + entry;
}

CString WithoutRenameDeletion(std::string_view iniText, std::string_view path) {
    // The line stands as AddRenameDeletion wrote it, whole after a line feed, which no character
    // of a double-byte code page holds as its second byte.
    const CString entry = "\nNUL=" + CString(path) + "\r\n";
    CString result(iniText);
    const auto found = result.find(entry);
    if (found != CString::npos) result.erase(found + 1, entry.size() - 1);
    return result;
}
