#include "midi/note_event_queue.h"

#include <QMetaObject>
#include <chrono>

namespace zintaro::midi {

NoteEventQueue::NoteEventQueue(QObject* parent)
    : QObject(parent)
{
}

void NoteEventQueue::post(NoteEvent event)
{
    // The note's time is taken as it comes, however long the window takes to
    // get to it.
    const qint64 postedMs
        = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
              .count();
    bool first = false;
    {
        const std::lock_guard lock(m_mutex);
        first = m_pending.empty();
        m_pending.emplace_back(event, postedMs);
    }
    if (first)
        QMetaObject::invokeMethod(this, &NoteEventQueue::deliver, Qt::QueuedConnection);
}

void NoteEventQueue::deliver()
{
    std::vector<std::pair<NoteEvent, qint64>> batch;
    {
        const std::lock_guard lock(m_mutex);
        batch.swap(m_pending);
    }
    for (const auto& [event, postedMs] : batch)
        emit noteEvent(event, postedMs);
}

} // namespace zintaro::midi
