#include "answers.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

bool ParseNumber(const std::string& text, int& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0')
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ParseRepeat(const std::string& word, bool& repeatable)
{
    if (word != "once" && word != "repeat")
        return false;
    repeatable = word == "repeat";
    return true;
}

// The needle is everything after the separating blank, so that it may begin or end with blanks.
std::string RestOfLine(std::istringstream& words)
{
    std::string rest;
    if (words.peek() == ' ')
        words.get();
    std::getline(words, rest);
    return UnescapeText(rest);
}

}  // namespace

std::string UnescapeText(const std::string& text)
{
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            plain += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

std::optional<Answers> Answers::Load(const std::string& path, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    Answers answers;
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string verb, first, second;
        words >> verb >> first;
        bool valid = false;
        if (verb == "click") {
            Rule rule{ActionKind::Click, 0, false, {}};
            words >> second;
            valid = ParseNumber(first, rule.buttonId) && ParseRepeat(second, rule.repeatable);
            rule.needle = RestOfLine(words);
            answers.m_rules.push_back(rule);
        } else if (verb == "about") {
            Rule rule{ActionKind::About, 0, false, {}};
            valid = ParseRepeat(first, rule.repeatable);
            rule.needle = RestOfLine(words);
            answers.m_rules.push_back(rule);
        } else if (verb == "shoot") {
            ShotRule shot{0, {}};
            valid = ParseNumber(first, shot.pauseMs);
            shot.needle = RestOfLine(words);
            answers.m_shots.push_back(shot);
        } else if (verb == "default") {
            valid = true;
            if (first == "ok-yes")
                answers.m_default = DefaultAnswer::OkOrYes;
            else if (first == "none")
                answers.m_default = DefaultAnswer::None;
            else if (ParseNumber(first, answers.m_defaultButton))
                answers.m_default = DefaultAnswer::Button;
            else
                valid = false;
        }
        if (!valid) {
            error = path + ":" + std::to_string(number) + ": cannot read \"" + line + "\"";
            return std::nullopt;
        }
    }
    return answers;
}

Rule* Answers::Match(const DialogSnapshot& dialog)
{
    for (Rule& rule : m_rules) {
        if ((!rule.used || rule.repeatable) && dialog.Contains(rule.needle)) {
            rule.used = true;
            return &rule;
        }
    }
    return nullptr;
}

ShotRule* Answers::MatchShot(const DialogSnapshot& dialog)
{
    for (ShotRule& shot : m_shots) {
        if (!shot.used && dialog.Contains(shot.needle)) {
            shot.used = true;
            return &shot;
        }
    }
    return nullptr;
}

std::optional<int> Answers::DefaultButton(const DialogSnapshot& dialog) const
{
    if (!dialog.IsMessageBox())
        return std::nullopt;
    switch (m_default) {
    case DefaultAnswer::None:
        return std::nullopt;
    case DefaultAnswer::Button:
        return m_defaultButton;
    case DefaultAnswer::OkOrYes:
        break;
    }
    if (dialog.HasControl(IDOK))
        return IDOK;
    if (dialog.HasControl(IDYES))
        return IDYES;
    return std::nullopt;
}
