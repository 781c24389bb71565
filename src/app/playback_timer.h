#pragma once

#include "compose/playback.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <optional>

namespace zintaro::app {

// Drives a playback from the event loop: a precise single-shot timer asks
// the playback to advance when the time it named has come, measured on the
// window's monotonic clock.
class PlaybackTimer : public QObject {
    Q_OBJECT
public:
    PlaybackTimer(compose::Playback& playback, const QElapsedTimer& clock, QObject* parent = nullptr);

    // Starts the playback from its first entry (over a playback running).
    void start();
    // Silences the playback and ends it.
    void stop();

private:
    void schedule(std::optional<compose::Millis> next);

    compose::Playback& m_playback;
    const QElapsedTimer& m_clock;
    QTimer m_timer;
};

} // namespace zintaro::app
