#include "platform/plan/plan_format.h"

#include "text/text.h"

namespace {

constexpr char kChangeMark[] = "* ";
constexpr char kNoChangeMark[] = "  ";
constexpr char kNoteIndent[] = "      ";

const char* VerbText(PlanVerb verb) {
    switch (verb) {
        case PlanVerb::Heading: return "";
        case PlanVerb::Message: return "message";
        case PlanVerb::Question: return "question";
        case PlanVerb::CreateTempFile: return "create temporary file";
        case PlanVerb::CopyFile: return "copy file";
        case PlanVerb::StartWorkingCopy: return "start the working copy";
        case PlanVerb::ReleaseFirstInstance: return "release the first instance";
        case PlanVerb::StartProgram: return "start program";
        case PlanVerb::UnregisterModule: return "load module and call DllUnregisterServer";
        case PlanVerb::CreateKey: return "create registry key";
        case PlanVerb::SetValue: return "set registry value";
        case PlanVerb::DeleteValue: return "delete registry value";
        case PlanVerb::DeleteKey: return "delete registry key";
        case PlanVerb::ClearAttributes: return "clear attributes";
        case PlanVerb::DeleteFile: return "delete file";
        case PlanVerb::CreateFolder: return "create folder";
        case PlanVerb::RemoveFolder: return "remove folder";
        case PlanVerb::DeleteAtRestart: return "delete at the next restart";
        case PlanVerb::MoveFile: return "move file";
        case PlanVerb::WriteFile: return "write file";
        case PlanVerb::AppendToFile: return "append to file";
        case PlanVerb::OpenDocument: return "open document";
        case PlanVerb::WaitForOtherRun: return "wait for another run of this installation to end";
    }
    return "";
}

}  // namespace

CString PlanRootName(RegKey root) {
    switch (root) {
        case kClassesRoot: return "HKCR";
        case kCurrentUser: return "HKCU";
        case kLocalMachine: return "HKLM";
        case kUsers: return "HKU";
        default: return CString();
    }
}

CString DescribeRegistryValue(const RegValue& value) {
    if (value.type == reg::kTypeDword && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            number |= static_cast<std::uint32_t>(static_cast<unsigned char>(value.data[i])) << (8 * i);
        }
        return std::to_string(number);
    }
    if (value.type == reg::kTypeString || value.type == reg::kTypeExpandString) {
        return "\"" + EscapeLineBreaks(value.data.substr(0, value.data.find('\0'))) + "\"";
    }
    return "type " + std::to_string(value.type) + ", " + std::to_string(value.data.size()) + " bytes";
}

CStringArray FormatPlanAction(const PlanAction& action) {
    CStringArray lines;
    if (action.verb == PlanVerb::Heading) {
        lines.push_back("");
        lines.push_back("== " + action.item);
        return lines;
    }
    CString line = action.changes ? kChangeMark : kNoChangeMark;
    line += VerbText(action.verb);
    line += ": ";
    const bool isText = action.verb == PlanVerb::Message || action.verb == PlanVerb::Question;
    line += isText ? "\"" + EscapeLineBreaks(action.item) + "\"" : action.item;
    if (!action.state.empty()) line += " (" + action.state + ")";
    if (!action.detail.empty()) line += (isText ? " " : " -> ") + action.detail;
    lines.push_back(line);
    for (const CString& note : action.notes) lines.push_back(kNoteIndent + note);
    return lines;
}

CString FormatPlan(const CString& title, const std::vector<PlanAction>& actions, const CStringArray& ending) {
    CString text = title + "\r\n";
    text += "Lines marked * would change the machine; the others would find nothing to change.\r\n";
    for (const PlanAction& action : actions) {
        for (const CString& line : FormatPlanAction(action)) text += line + "\r\n";
    }
    text += "\r\n";
    for (const CString& line : ending) text += line + "\r\n";
    return text;
}
