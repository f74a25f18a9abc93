#include "check/check_report.h"

#include <string>

namespace {

constexpr std::size_t kShownLineLimit = 200;
// Messages of the run are long; a plan line is cut only where a path in it is absurdly long.
constexpr std::size_t kPlanLineLimit = 1000;
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kPlanHeading[] = "Plan: the uninstaller's run on a machine where everything this file installs exists";

const char* KindName(FindingKind kind) {
    switch (kind) {
        case FindingKind::Error: return "error";
        case FindingKind::Hazard: return "hazard";
        case FindingKind::Leftover: return "leftover";
    }
    return "?";
}

const char* FamilyName(Family family) { return family == Family::Win9x ? "9x" : "nt"; }

int Count(const Findings& findings, FindingKind kind) {
    int count = 0;
    for (const Finding& finding : findings) count += finding.kind == kind ? 1 : 0;
    return count;
}

// Bytes below 32 and 127 as \xNN; JSON additionally escapes quotes, backslashes and every byte
// from 128 up, which is no UTF-8 of its own, as the Latin-1 character of the same number.
void AppendEscaped(CString& out, const CString& text, bool json) {
    // Bytes that need no escape go in as whole runs: a report quotes every line of the plan.
    std::size_t plain = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char byte = text[at];
        const auto value = static_cast<unsigned char>(byte);
        const bool quote = json && (byte == '"' || byte == '\\');
        const bool control = value < 32 || value == 127 || (json && value >= 128);
        if (!quote && !control) continue;
        out.append(text, plain, at - plain);
        plain = at + 1;
        if (quote) {
            out += '\\';
            out += byte;
        } else {
            out += json ? "\\u00" : "\\x";
            out += kHexDigits[value >> 4];
            out += kHexDigits[value & 0xF];
        }
    }
    out.append(text, plain, CString::npos);
}

CString Escaped(const CString& text, bool json) {
    CString out;
    out.reserve(text.size());
    AppendEscaped(out, text, json);
    return out;
}

CString Quoted(const CString& text) {
    CString out;
    out.reserve(text.size() + 2);
    out += '"';
    AppendEscaped(out, text, true);
    out += '"';
    return out;
}

CString Summary(const Findings& findings) {
    return std::to_string(Count(findings, FindingKind::Error)) + " errors, " +
           std::to_string(Count(findings, FindingKind::Hazard)) + " hazards, " +
           std::to_string(Count(findings, FindingKind::Leftover)) + " leftovers";
}

}  // namespace

CString ShownLine(const CString& line, std::size_t limit, const CodePage& codePage) {
    if (line.size() <= limit) return Escaped(line, false);
    // Cut before a character, never inside one.
    std::size_t cut = 0;
    while (cut + codePage.CharacterSize(line, cut) <= limit) cut += codePage.CharacterSize(line, cut);
    return Escaped(line.substr(0, cut), false) + "... (" + std::to_string(line.size()) + " bytes)";
}

CString FormatTextReport(const CheckResult& result, const CheckOptions& options) {
    const CodePage codePage = CodePage::Known(options.codePage.value_or(0)).value_or(CodePage());
    CString out;
    for (const Finding& finding : result.findings) {
        out += Escaped(options.setupInf, false);
        if (finding.lineNumber != 0) out += ":" + std::to_string(finding.lineNumber);
        out += ": " + CString(KindName(finding.kind)) + ": " + ShownLine(finding.message, kShownLineLimit, codePage) + "\n";
        if (finding.lineNumber != 0) out += "    " + std::to_string(finding.lineNumber) + " | " + ShownLine(finding.line, kShownLineLimit, codePage) + "\n";
    }
    out += Summary(result.findings) + "\n";
    if (!result.ran) return out;
    out += "\n";
    out += CString(kPlanHeading) + " (" + FamilyName(options.family) + " family, code page " +
           std::to_string(codePage.Number()) + ", application folder " +
           Escaped(options.appPath, false) + "):\n";
    for (const CString& line : result.plan) out += ShownLine(line, kPlanLineLimit, codePage) + "\n";
    out += "the uninstaller's exit code: " + std::to_string(result.runExitCode) + "\n";
    return out;
}

CString FormatJsonReport(const CheckResult& result, const CheckOptions& options) {
    CString out = "{\n  \"file\": " + Quoted(options.setupInf) + ",\n";
    out += "  \"family\": \"" + CString(FamilyName(options.family)) + "\",\n";
    out += "  \"codepage\": " + std::to_string(options.codePage.value_or(0)) + ",\n";
    out += "  \"apppath\": " + Quoted(options.appPath) + ",\n  \"appcommon\": " + Quoted(options.appCommon) +
           ",\n  \"startmenu\": " + Quoted(options.startMenu) + ",\n";
    out += "  \"exitCode\": " + std::to_string(CheckExitCode(result.findings)) + ",\n";
    out += "  \"errors\": " + std::to_string(Count(result.findings, FindingKind::Error)) + ",\n";
    out += "  \"hazards\": " + std::to_string(Count(result.findings, FindingKind::Hazard)) + ",\n";
    out += "  \"leftovers\": " + std::to_string(Count(result.findings, FindingKind::Leftover)) + ",\n";
    out += "  \"findings\": [";
    for (std::size_t i = 0; i < result.findings.size(); ++i) {
        const Finding& finding = result.findings[i];
        out += CString(i == 0 ? "\n" : ",\n") + "    {\"kind\": \"" + KindName(finding.kind) +
               "\", \"line\": " + std::to_string(finding.lineNumber) + ", \"text\": " + Quoted(finding.line) +
               ", \"message\": " + Quoted(finding.message) + "}";
    }
    out += result.findings.empty() ? "],\n" : "\n  ],\n";
    out += "  \"plan\": [";
    for (std::size_t i = 0; i < result.plan.size(); ++i) {
        out += CString(i == 0 ? "\n" : ",\n") + "    " + Quoted(result.plan[i]);
    }
    out += result.plan.empty() ? "],\n" : "\n  ],\n";
    out += "  \"uninstallerExitCode\": " + (result.ran ? std::to_string(result.runExitCode) : CString("null")) + "\n}\n";
    return out;
}
