#pragma once

#include "core/translation.h"

#include <optional>
#include <string>
#include <vector>

namespace zintaro {

// Every message box of the program goes through here, so that tests can
// answer them instead of blocking. The texts are rendered where they show.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A box with an OK button only, no icon; an empty title shows the program's name.
    virtual void message(const Text& text, const Text& title = {}) = 0;

    // A question with Yes and No and the question icon; true for Yes.
    virtual bool question(const Text& text, const Text& title) = 0;

    // One of `items`, the first offered first: its index, or nothing when
    // the user declines. Where no one is asked, the first.
    virtual std::optional<int> choose(const Text& text, const Text& title, const std::vector<Text>& items)
    {
        (void)text;
        (void)title;
        return items.empty() ? std::nullopt : std::optional<int>(0);
    }

    // A line typed in, `initial` offered to edit: the line, or nothing when
    // the user declines. Where no one is asked, `initial`.
    virtual std::optional<std::string> typeLine(const Text& text, const Text& title, const std::string& initial)
    {
        (void)text;
        (void)title;
        return initial;
    }
};

} // namespace zintaro
