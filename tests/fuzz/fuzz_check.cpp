// The checker over arbitrary bytes: its arguments and the file it checks. It must neither crash
// nor read the file otherwise than the uninstaller, and its exit code must match its findings.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "check/argument_words.h"
#include "check/check_command.h"
#include "check/check_options.h"
#include "check/check_probe.h"
#include "check/checker.h"
#include "setupinfo/setup_text.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// One argument quoted for a Windows command line, by the C runtime's rules: backslashes double
// only before a quote, and a double-byte character passes whole. nullopt for an argument that
// ends in a lone lead byte, which would take the closing quote as its second byte.
std::optional<CString> Quoted(std::string_view argument, const CodePage& codePage) {
    CString quoted = "\"";
    std::size_t backslashes = 0;
    for (std::size_t i = 0; i < argument.size();) {
        const std::size_t size = codePage.CharacterSize(argument, i);
        if (size == 1 && codePage.IsLeadByte(argument[i])) return std::nullopt;
        if (size == 1 && argument[i] == '\\') {
            ++backslashes;
        } else {
            if (size == 1 && argument[i] == '"') quoted.append(backslashes + 1, '\\');
            backslashes = 0;
        }
        quoted.append(argument.substr(i, size));
        i += size;
    }
    quoted.append(backslashes, '\\');
    return quoted + "\"";
}

class FuzzConsole : public ICheckConsole {
public:
    explicit FuzzConsole(std::string_view text) : m_text(text) {}
    ReadOutcome ReadWholeFile(const CString&, std::uint32_t limit, CString& text) override {
        if (m_text.size() > limit) return ReadOutcome::TooLarge;
        text = CString(m_text);
        return ReadOutcome::Read;
    }
    void Write(std::string_view text) override { m_written += text.size(); }
    void WriteError(std::string_view text) override { m_written += text.size(); }
    std::uint32_t SystemCodePage() override { return 932; }
    std::size_t Written() const { return m_written; }

private:
    std::string_view m_text;
    std::size_t m_written = 0;
};

// The checker as the command runs it, with the reader's probes around it: the one run of the
// checker that an input costs, since the uninstaller's picture run is most of the target's time.
class ProbedCheck : public ISetupCheck {
public:
    CheckResult Check(const CString& text, const CheckOptions& options) override {
        CheckProbe probe(text, options);
        // The checker's reader gives the uninstaller's lines, and its file list the uninstaller's.
        CStringArray lines;
        for (const char* section : {"UnInstall", "RegistryKeys", "Files", "Options"}) {
            ReadSectionLines(text, section, lines, probe.App().m_codePage);
            const NumberedLines numbered = probe.Text().Section(section);
            ::Check(numbered.size() == lines.size());
            for (std::size_t i = 0; i < lines.size(); ++i) ::Check(numbered[i].text == lines[i]);
        }
        const std::vector<InstalledFile> installed = probe.InstalledFiles();
        ::Check(installed.size() == probe.App().m_fileLines.size());
        for (std::size_t i = 0; i < installed.size(); ++i) ::Check(installed[i].line.text == probe.App().m_fileLines[i]);

        CheckResult result = CheckSetupText(probe);
        for (const Finding& finding : result.findings) ::Check(!finding.message.empty());
        m_exitCode = CheckExitCode(result.findings);
        return result;
    }
    // The exit code of the findings, once the checker has run.
    std::optional<int> ExitCode() const { return m_exitCode; }

private:
    std::optional<int> m_exitCode;
};

}  // namespace

// One input frees well under a megabyte; a quarantine of 16 MB still holds all of it until the
// input is done, so a use after free is caught as before, while the default 256 MB made every
// input fault in fresh pages and cost the fuzzer a third of its time. No stack is recorded for
// each of the input's allocations either: that was a fifth of what is left, and a finding
// replayed with ASAN_OPTIONS=malloc_context_size=30 shows where its memory came from.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16:malloc_context_size=0"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // Up to the first 0xFF byte: the arguments, one per line; the rest is the file.
    const auto split = input.find('\xFF');
    const std::string_view argumentText = split == std::string_view::npos ? std::string_view() : input.substr(0, split);
    const std::string_view text = split == std::string_view::npos ? input : input.substr(split + 1);
    CStringArray arguments;
    for (std::size_t start = 0; start < argumentText.size();) {
        const auto feed = argumentText.find('\n', start);
        const std::size_t end = feed == std::string_view::npos ? argumentText.size() : feed;
        arguments.emplace_back(argumentText.substr(start, end - start));
        start = end + 1;
    }

    // The arguments as a Windows console program gets them: quoted on one command line, which
    // the program splits back into the same words.
    const CodePage codePage = *CodePage::Known(size % 2 == 0 ? 1252 : 932);
    CString commandLine = "uninst-check.exe";
    bool quotable = true;
    for (const CString& argument : arguments) {
        const std::optional<CString> quoted = Quoted(argument, codePage);
        quotable = quotable && quoted.has_value();
        if (quoted) commandLine += " " + *quoted;
    }
    if (quotable) Check(SplitArgumentWords(commandLine, codePage) == arguments);
    // And the raw text as a command line of its own, for the cases that quoting never makes.
    SplitArgumentWords(argumentText, codePage);

    const ParsedArguments parsed = ParseCheckArguments(arguments);
    // Options, or why there are none; asking for the usage or the version is neither.
    Check(parsed.usageAsked || parsed.versionAsked || parsed.options.has_value() != !parsed.error.empty());
    FuzzConsole console(text);
    ProbedCheck check;
    const int code = RunCheckCommand(arguments, console, check);
    Check(code >= checkexit::kClean && code <= checkexit::kErrors);
    Check(console.Written() > 0);
    // The command ends with the code of what it found, and checks a file whenever it can.
    if (check.ExitCode()) Check(code == *check.ExitCode());
    if (parsed.options && !parsed.usageAsked && !parsed.versionAsked) Check(check.ExitCode() || code == checkexit::kErrors);

    // Arguments the command refuses still leave the file to check: with the checker's defaults.
    if (!check.ExitCode()) {
        CheckOptions options = parsed.options.value_or(CheckOptions{});
        options.codePage = 1252;
        check.Check(CString(text), options);
    }
    return 0;
}
