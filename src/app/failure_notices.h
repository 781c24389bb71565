#pragma once

#include "core/dialogs.h"

#include <functional>
#include <set>
#include <string>
#include <utility>

namespace zintaro::app {

// How the window tells a failure that comes without a click (a note that
// cannot sound, a folder that cannot be made, a piece that is full while a
// keyboard plays): a box the first time a kind of failure happens, the
// status text after. So a failure that repeats at the pace of a timer or of
// a keyboard never opens box after box.
class FailureNotices {
public:
    using StatusSink = std::function<void(const Text& text)>;

    FailureNotices(Dialogs& boxes, StatusSink status)
        : m_boxes(boxes)
        , m_status(std::move(status))
    {
    }

    void tell(const std::string& kind, const Text& text)
    {
        if (!boxOnce(kind, text) && m_status)
            m_status(text);
    }

    // A box for the first failure of its kind only; returns whether it showed.
    bool boxOnce(const std::string& kind, const Text& text)
    {
        if (!m_told.insert(kind).second)
            return false;
        m_boxes.message(text);
        return true;
    }

    // The kinds that start with the prefix are news again.
    void forget(const std::string& prefix)
    {
        std::erase_if(m_told, [&](const std::string& kind) { return kind.starts_with(prefix); });
    }

private:
    Dialogs& m_boxes;
    StatusSink m_status;
    std::set<std::string> m_told;
};

// The dialogs the composing rules ask and tell through: their questions go
// to the boxes, their messages through the notices, each text its own kind.
class NoticeDialogs : public Dialogs {
public:
    NoticeDialogs(Dialogs& boxes, FailureNotices& notices)
        : m_boxes(boxes)
        , m_notices(notices)
    {
    }

    void message(const Text& text, const Text& /*title*/ = {}) override
    {
        m_notices.tell("compose:" + text.render(), text);
    }
    bool question(const Text& text, const Text& title) override { return m_boxes.question(text, title); }
    std::optional<int> choose(const Text& text, const Text& title, const std::vector<Text>& items) override
    {
        return m_boxes.choose(text, title, items);
    }

private:
    Dialogs& m_boxes;
    FailureNotices& m_notices;
};

// The dialogs of a keyboard's notes: a keyboard plays faster than boxes could
// be answered, so what its notes cannot do goes to the status text only.
class StatusDialogs : public Dialogs {
public:
    using StatusSink = std::function<void(const Text& text)>;

    StatusDialogs(Dialogs& boxes, StatusSink status)
        : m_boxes(boxes)
        , m_status(std::move(status))
    {
    }

    void message(const Text& text, const Text& /*title*/ = {}) override
    {
        if (m_status)
            m_status(text);
    }
    bool question(const Text& text, const Text& title) override { return m_boxes.question(text, title); }
    std::optional<int> choose(const Text& text, const Text& title, const std::vector<Text>& items) override
    {
        return m_boxes.choose(text, title, items);
    }

private:
    Dialogs& m_boxes;
    StatusSink m_status;
};

} // namespace zintaro::app
