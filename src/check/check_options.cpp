#include "check/check_options.h"

#include "text/text.h"

const char kCheckUsage[] =
    "usage: uninst-check SETUP.INF [--apppath DIR] [--appcommon DIR] [--startmenu DIR] [--family 9x|nt]\n"
    "                    [--codepage N] [--json]\n"
    "       uninst-check --version\n"
    "Checks a SETUP.INF as uninst.exe reads it, then shows what uninst.exe would do on a machine where\n"
    "everything the file installs exists. Exit code 0: no findings; 1: hazards or leftovers; 2: errors.\n"
    "--codepage: the ANSI code page the file is written in (932, 936, 949, 950 for Japanese, Chinese\n"
    "and Korean systems; 1252 and the other single-byte ones); the system's own when absent.\n";

namespace {

enum class ValueOption { AppPath, AppCommon, StartMenu, Family, CodePage };

struct OptionName {
    const char* name;
    ValueOption option;
};
constexpr OptionName kValueOptions[] = {
    {"--apppath", ValueOption::AppPath},
    {"--appcommon", ValueOption::AppCommon},
    {"--startmenu", ValueOption::StartMenu},
    {"--family", ValueOption::Family},
    {"--codepage", ValueOption::CodePage},
};

// A code page the checker knows the characters of, or nullopt.
std::optional<std::uint32_t> KnownCodePage(const CString& value) {
    if (value.empty() || value.size() > 5 || value.find_first_not_of("0123456789") != CString::npos) return std::nullopt;
    const auto number = static_cast<std::uint32_t>(ParseSignedDecimal(value));
    if (!CodePage::Known(number)) return std::nullopt;
    return number;
}

ParsedArguments Wrong(const CString& error) {
    ParsedArguments parsed;
    parsed.error = error;
    return parsed;
}

// The start-menu folder is used as the record would give it, with its closing backslash.
bool Assign(CheckOptions& options, ValueOption option, const CString& value, CString& error) {
    switch (option) {
        case ValueOption::AppPath: options.appPath = value; break;
        case ValueOption::AppCommon: options.appCommon = value; break;
        // Folded and cut once the code page is known, when all options are read.
        case ValueOption::StartMenu: options.startMenu = value; break;
        case ValueOption::CodePage:
            options.codePage = KnownCodePage(value);
            if (!options.codePage) {
                error = "--codepage takes a code page such as 932, 936, 949, 950 or 1252, not '" + value + "'";
                return false;
            }
            break;
        case ValueOption::Family:
            if (EqualsAsciiNoCase(value, "9x")) {
                options.family = Family::Win9x;
            } else if (EqualsAsciiNoCase(value, "nt")) {
                options.family = Family::WinNt;
            } else {
                error = "--family takes 9x or nt, not '" + value + "'";
                return false;
            }
            break;
    }
    return true;
}

}  // namespace

ParsedArguments ParseCheckArguments(const CStringArray& arguments) {
    CheckOptions options;
    bool haveFile = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const CString& argument = arguments[i];
        if (argument == "--help" || argument == "-h" || argument == "/?") {
            ParsedArguments parsed;
            parsed.usageAsked = true;
            return parsed;
        }
        if (argument == "--version") {
            ParsedArguments parsed;
            parsed.versionAsked = true;
            return parsed;
        }
        if (argument == "--json") {
            options.json = true;
            continue;
        }
        if (argument.size() > 1 && argument[0] == '-' && argument[1] == '-') {
            const auto equals = argument.find('=');
            const CString name = argument.substr(0, equals);
            const OptionName* known = nullptr;
            for (const OptionName& option : kValueOptions) {
                if (name == option.name) known = &option;
            }
            if (!known) return Wrong("unknown option '" + argument + "'");
            CString value;
            if (equals != CString::npos) {
                value = argument.substr(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                return Wrong(name + " needs a value");
            }
            CString error;
            if (!Assign(options, known->option, value, error)) return Wrong(error);
            continue;
        }
        if (haveFile) return Wrong("one SETUP.INF at a time: '" + options.setupInf + "' and '" + argument + "'");
        options.setupInf = argument;
        haveFile = true;
    }
    if (!haveFile || options.setupInf.empty()) return Wrong("no SETUP.INF given");
    ParsedArguments parsed;
    parsed.options = options;
    return parsed;
}
