#include "app/run_log.h"

#include "text/text.h"

namespace {

// The number in at least `width` digits, zeros in front, and the separator after it. Formatted
// by hand: the C library's formatting is a large piece, and the Windows build links none of it.
// Appended to the line in place: a string for each piece would cost code at every step.
void AppendPadded(CString& line, int value, std::size_t width, char separator) {
    const CString digits = std::to_string(value);
    if (digits.size() < width) line.append(width - digits.size(), '0');
    line += digits;
    line += separator;
}

}  // namespace

CString FormatLogLine(const LocalTime& time, std::string_view instance, std::string_view text) {
    CString line;
    AppendPadded(line, time.year, 4, '-');
    AppendPadded(line, time.month, 2, '-');
    AppendPadded(line, time.day, 2, ' ');
    AppendPadded(line, time.hour, 2, ':');
    AppendPadded(line, time.minute, 2, ':');
    AppendPadded(line, time.second, 2, '.');
    AppendPadded(line, time.milliseconds, 3, ' ');
    line += '[';
    line += instance;
    line += "] ";
    line += EscapeLineBreaks(text);
    line += "\r\n";
    return line;
}
