#include "driver_log.h"

DriverLog::DriverLog(const std::string& path) : m_file(std::fopen(path.c_str(), "ab")) {}

DriverLog::~DriverLog()
{
    if (m_file)
        std::fclose(m_file);
}

void DriverLog::Line(std::string_view tag, std::string_view text)
{
    if (!m_file)
        return;
    std::string line(tag);
    line += ' ';
    line += EscapeText(text);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), m_file);
    std::fflush(m_file);
}

std::string EscapeText(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\r': escaped += "\\r"; break;
        case '\n': escaped += "\\n"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}
