#pragma once

#include "core/dialogs.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace zintaro::testing {

// Records every box and answers questions from a script (Yes when the script
// runs out).
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        std::string text;
        std::string title;
        bool isQuestion;
    };

    // The texts as the program's own Italian words.
    void message(const Text& text, const Text& title = {}) override
    {
        shown.push_back({ text.render(), title.render(), false });
    }
    bool question(const Text& text, const Text& title) override
    {
        shown.push_back({ text.render(), title.render(), true });
        if (answers.empty())
            return true;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }

    // The script's next choice (the first item when it runs out).
    std::optional<int> choose(const Text& text, const Text& title, const std::vector<Text>&) override
    {
        shown.push_back({ text.render(), title.render(), true });
        if (choices.empty())
            return 0;
        const std::optional<int> choice = choices.front();
        choices.pop_front();
        return choice;
    }

    // The script's next line (the line offered when it runs out).
    std::optional<std::string> typeLine(const Text& text, const Text& title, const std::string& initial) override
    {
        shown.push_back({ text.render(), title.render(), true });
        if (lines.empty())
            return initial;
        std::optional<std::string> line = lines.front();
        lines.pop_front();
        return line;
    }

    std::vector<Shown> shown;
    std::deque<bool> answers;
    std::deque<std::optional<int>> choices;
    std::deque<std::optional<std::string>> lines;
};

} // namespace zintaro::testing
