#include "midi/note_event_queue.h"

#include <QMetaObject>

namespace zintaro::midi {

NoteEventQueue::NoteEventQueue(QObject* parent)
    : QObject(parent)
{
}

void NoteEventQueue::post(NoteEvent event)
{
    bool first = false;
    {
        const std::lock_guard lock(m_mutex);
        first = m_pending.empty();
        m_pending.push_back(event);
    }
    if (first)
        QMetaObject::invokeMethod(this, &NoteEventQueue::deliver, Qt::QueuedConnection);
}

void NoteEventQueue::deliver()
{
    std::vector<NoteEvent> batch;
    {
        const std::lock_guard lock(m_mutex);
        batch.swap(m_pending);
    }
    for (const NoteEvent& event : batch)
        emit noteEvent(event);
}

} // namespace zintaro::midi
