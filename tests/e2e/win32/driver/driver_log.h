#pragma once
#include <cstdio>
#include <string>
#include <string_view>

// Appends tagged lines to the transcript that the Python side reads while the run goes on,
// so every line is flushed at once.
class DriverLog {
public:
    explicit DriverLog(const std::string& path);
    ~DriverLog();
    DriverLog(const DriverLog&) = delete;
    DriverLog& operator=(const DriverLog&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    void Line(std::string_view tag, std::string_view text);

private:
    std::FILE* m_file;
};

// One transcript line per item: line breaks and backslashes become two-character escapes.
std::string EscapeText(std::string_view text);
