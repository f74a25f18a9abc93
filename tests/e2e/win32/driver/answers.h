#pragma once
#include "dialog_snapshot.h"

#include <optional>
#include <string>
#include <vector>

enum class ActionKind { Click, About };

struct Rule {
    ActionKind action;
    int buttonId;
    bool repeatable;
    std::string needle;
    bool used = false;
};

struct ShotRule {
    int pauseMs;
    std::string needle;
    bool used = false;
};

enum class DefaultAnswer { OkOrYes, None, Button };

// How the driver answers windows, read from a text file of one directive a line:
//   click <id> once|repeat <text>    press button <id> in a window showing <text>
//   about once|repeat <text>         open the about box through the system menu
//   shoot <ms> <text>                wait <ms> before answering, for a screenshot
//   default ok-yes|none|<id>         what an unmatched message box gets
// <text> is matched within the caption or any static text; \n, \r and \\ stand for themselves.
class Answers {
public:
    static std::optional<Answers> Load(const std::string& path, std::string& error);

    Rule* Match(const DialogSnapshot& dialog);
    ShotRule* MatchShot(const DialogSnapshot& dialog);
    std::optional<int> DefaultButton(const DialogSnapshot& dialog) const;

private:
    std::vector<Rule> m_rules;
    std::vector<ShotRule> m_shots;
    DefaultAnswer m_default = DefaultAnswer::OkOrYes;
    int m_defaultButton = 0;
};

std::string UnescapeText(const std::string& text);
