#pragma once

#include "core/translation.h"

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
};

} // namespace zintaro
