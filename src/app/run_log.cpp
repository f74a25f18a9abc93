#include "app/run_log.h"

#include <cstdio>

#include "setupinfo/text.h"

CString FormatLogLine(const LocalTime& time, std::string_view instance, std::string_view text) {
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second, time.milliseconds);
    CString line = CString(stamp) + " [" + CString(instance) + "] ";
    for (char byte : text) {
        if (byte == '\r') {
            line += "\\r";
        } else if (byte == '\n') {
            line += "\\n";
        } else {
            line += byte;
        }
    }
    return line + "\r\n";
}

CString AddRenameDeletion(std::string_view iniText, std::string_view path) {
    const CString entry = "NUL=" + CString(path) + "\r\n";
    std::size_t position = 0;
    while (position < iniText.size()) {
        const auto feed = iniText.find('\n', position);
        const std::size_t next = feed == std::string_view::npos ? iniText.size() : feed + 1;
        if (StartsWithNoCase(TrimLeftWhiteSpace(iniText.substr(position, next - position)), "[Rename]")) {
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
