// uninst-check on the build machine: the checker's console over the C library's files.

#include <cstdio>
#include <memory>

#include "check/check_command.h"

namespace {

constexpr std::uint32_t kWesternCodePage = 1252;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

class HostConsole : public ICheckConsole {
public:
    ReadOutcome ReadWholeFile(const CString& path, std::uint32_t limit, CString& text) override {
        const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
        if (!file) return ReadOutcome::Unreadable;
        text.clear();
        char buffer[65536];
        std::size_t count = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
            if (text.size() + count > limit) return ReadOutcome::TooLarge;
            text.append(buffer, count);
        }
        return std::ferror(file.get()) ? ReadOutcome::Unreadable : ReadOutcome::Read;
    }
    void Write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), stdout); }
    void WriteError(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), stderr); }
    // The build machine has no ANSI code page of its own: Western, unless --codepage says otherwise.
    std::uint32_t SystemCodePage() override { return kWesternCodePage; }
};

}  // namespace

int main(int argc, char** argv) {
    CStringArray arguments(argv + 1, argv + argc);
    HostConsole console;
    return RunCheckCommand(arguments, console);
}
