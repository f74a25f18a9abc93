#include "app/run_log.h"

#include "text/text.h"

namespace {

// The number in at least `width` digits, zeros in front. Formatted by hand: the C library's
// formatting is a large piece, and the Windows build links none of it.
CString Padded(int value, std::size_t width) {
    CString digits = std::to_string(value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

}  // namespace

CString FormatLogLine(const LocalTime& time, std::string_view instance, std::string_view text) {
    const CString stamp = Padded(time.year, 4) + "-" + Padded(time.month, 2) + "-" + Padded(time.day, 2) + " " +
                          Padded(time.hour, 2) + ":" + Padded(time.minute, 2) + ":" + Padded(time.second, 2) + "." +
                          Padded(time.milliseconds, 3);
    return stamp + " [" + CString(instance) + "] " + EscapeLineBreaks(text) + "\r\n";
}
