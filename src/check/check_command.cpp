#include "check/check_command.h"

#include "app/version.h"
#include "check/check_options.h"
#include "check/check_report.h"
#include "check/checker.h"
#include "text/text.h"

namespace {

constexpr char kErrorPrefix[] = "uninst-check: ";
constexpr char kVersionPrefix[] = "uninst-check ";
constexpr char kUnreadable[] = "cannot read the file";
constexpr char kUnknownCodePage[] = "the system's code page is not one the checker knows; name one with --codepage";
constexpr char kTooLarge[] = "the file is larger than 64 MiB: no setup information is that long, and it is not read";

class Checker : public ISetupCheck {
public:
    CheckResult Check(const CString& text, const CheckOptions& options) override { return CheckSetupText(text, options); }
};

}  // namespace

int RunCheckCommand(const CStringArray& arguments, ICheckConsole& console) {
    Checker checker;
    return RunCheckCommand(arguments, console, checker);
}

int RunCheckCommand(const CStringArray& arguments, ICheckConsole& console, ISetupCheck& check) {
    const ParsedArguments parsed = ParseCheckArguments(arguments);
    if (parsed.usageAsked) {
        console.Write(kCheckUsage);
        return checkexit::kClean;
    }
    if (parsed.versionAsked) {
        console.Write(kVersionPrefix + CString(kProgramVersion) + "\n");
        return checkexit::kClean;
    }
    if (!parsed.options) {
        console.WriteError(kErrorPrefix + parsed.error + "\n" + kCheckUsage);
        return checkexit::kErrors;
    }
    CheckOptions options = *parsed.options;
    if (!options.codePage) options.codePage = console.SystemCodePage();
    const std::optional<CodePage> codePage = CodePage::Known(*options.codePage);
    if (!codePage) {
        console.WriteError(kErrorPrefix + CString(kUnknownCodePage) + " (" + std::to_string(*options.codePage) + ")\n");
        return checkexit::kErrors;
    }
    options.startMenu = WithTrailingBackslash(options.startMenu, *codePage);
    CString text;
    const ReadOutcome read = console.ReadWholeFile(options.setupInf, kCheckFileLimit, text);
    if (read != ReadOutcome::Read) {
        CheckResult result;
        result.findings.push_back({FindingKind::Error, 0, CString(), read == ReadOutcome::TooLarge ? kTooLarge : kUnreadable});
        console.Write(options.json ? FormatJsonReport(result, options) : FormatTextReport(result, options));
        return checkexit::kErrors;
    }
    const CheckResult result = check.Check(text, options);
    console.Write(options.json ? FormatJsonReport(result, options) : FormatTextReport(result, options));
    return CheckExitCode(result.findings);
}
