#pragma once

#include "core/dialogs.h"

class QWidget;

namespace zintaro::app {

// The program's message boxes as Qt shows them.
class QtDialogs : public Dialogs {
public:
    QtDialogs();
    void setParent(QWidget* parent) { m_parent = parent; }

    void message(const Text& text, const Text& title = {}) override;
    bool question(const Text& text, const Text& title) override;
    std::optional<int> choose(const Text& text, const Text& title, const std::vector<Text>& items) override;
    std::optional<std::string> typeLine(const Text& text, const Text& title, const std::string& initial) override;

private:
    QWidget* m_parent = nullptr;
    // Set by ZINTARO_TEST_ANSWER_DIALOGS=1 for tests that run the real program
    // as a process: every box is answered at once (OK, Yes) and its text
    // printed on standard error.
    bool m_answerAtOnce = false;
};

} // namespace zintaro::app
