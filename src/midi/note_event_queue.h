#pragma once

#include "midi/midi_input_dispatch.h"

#include <QObject>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace zintaro::midi {

// Carries the MIDI input's notes to the thread this object lives on (the
// window's). post may be called from any thread; however many notes arrive,
// the event loop gets one queued call per batch, so a flood of notes cannot
// bury the window's own events.
class NoteEventQueue : public QObject {
    Q_OBJECT
public:
    explicit NoteEventQueue(QObject* parent = nullptr);

    void post(NoteEvent event);
    // The sink to give the MIDI input.
    std::function<void(NoteEvent)> sink()
    {
        return [this](NoteEvent event) { post(event); };
    }

signals:
    // On this object's thread, once per note, in the order played, with
    // when it was posted: milliseconds of the monotonic clock (steady_clock).
    void noteEvent(zintaro::midi::NoteEvent event, qint64 postedMs);

private:
    void deliver();

    std::mutex m_mutex;
    std::vector<std::pair<NoteEvent, qint64>> m_pending;
};

} // namespace zintaro::midi
