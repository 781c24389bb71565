#pragma once

#include "core/dialogs.h"

#include <functional>
#include <string>

namespace zintaro {

// The program's dialogs with boxes that can be held back: while a hold is in
// force (a timer tick, a playback step) a message goes to the status text
// instead of a modal box, so a failure never opens boxes on its own at the
// pace of a timer. Questions are only asked from a user's click and are
// never held.
class HeldDialogs : public Dialogs {
public:
    using StatusSink = std::function<void(const std::string& text)>;

    explicit HeldDialogs(Dialogs& boxes)
        : m_boxes(boxes)
    {
    }

    void setStatusSink(StatusSink sink) { m_status = std::move(sink); }

    void message(const std::string& text, const std::string& title = {}) override
    {
        if (m_holds > 0) {
            if (m_status)
                m_status(text);
            return;
        }
        m_boxes.message(text, title);
    }
    bool question(const std::string& text, const std::string& title) override { return m_boxes.question(text, title); }

    // Holds the boxes back for its lifetime.
    class Hold {
    public:
        explicit Hold(HeldDialogs& dialogs)
            : m_dialogs(dialogs)
        {
            ++m_dialogs.m_holds;
        }
        ~Hold() { --m_dialogs.m_holds; }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        HeldDialogs& m_dialogs;
    };

private:
    Dialogs& m_boxes;
    StatusSink m_status;
    int m_holds = 0;
};

} // namespace zintaro
