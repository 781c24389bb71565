// Playback timing against the real clock: a piece of eighths at tempo 40
// (150 ms each) driven by a precise single-shot timer, as the window drives
// it. Prints how far each note-on fell from its ideal time.
#include "../support/percentile.h"
#include "compose/playback.h"
#include "core/midi_message.h"
#include "midi/midi_out.h"
#include "midi/silent_midi.h"
#include "support/fake_piano.h"
#include "support/recording_speech.h"
#include "support/recording_surface.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using namespace zintaro;

constexpr int Entries = 100;

// A MIDI system that notes the time of every note-on.
class TimedMidiSystem : public midi::SilentMidiSystem {
public:
    explicit TimedMidiSystem(const QElapsedTimer& clock)
        : m_clock(clock)
    {
    }
    midi::MidiResult shortMessage(uint32_t, uint32_t packed) override
    {
        if (midi::unpack(packed).startsNote())
            noteOns.push_back(m_clock.nsecsElapsed() / 1.0e6);
        return midi::MidiOk;
    }

    std::vector<double> noteOns; // milliseconds since the clock started

private:
    const QElapsedTimer& m_clock;
};

using Piano = testing::FakePiano;

using bench::percentile;

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QElapsedTimer clock;
    clock.start();

    Modulo1 m;
    recomputeTempoDurations(m, 40);
    for (int i = 0; i < Entries; ++i)
        m.Composition.set(i, { 0, static_cast<int16_t>(i % 36), 3 });
    m.NoteCount = Entries;
    m.Composition.set(Entries, EndEntry);

    testing::RecordingSurface surface;
    TimedMidiSystem system(clock);
    midi::MidiOut midi(system);
    midi.open(-1);
    testing::RecordingSpeech speech;
    Piano piano;
    compose::Ports ports { surface, midi, speech, piano };
    compose::Playback playback(m, ports);

    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    auto schedule = [&](std::optional<compose::Millis> next) {
        if (!next) {
            app.quit();
            return;
        }
        // Rounded down, so the timer never fires late by the part of a
        // millisecond already gone; an early callback is simply asked again.
        const qint64 remainingNs = *next * 1000000 - clock.nsecsElapsed();
        timer.start(static_cast<int>(std::max<qint64>(0, remainingNs / 1000000)));
    };
    QObject::connect(&timer, &QTimer::timeout, [&] { schedule(playback.advance(clock.elapsed())); });

    compose::Millis start = 0;
    QTimer::singleShot(0, [&] {
        start = clock.elapsed();
        schedule(playback.start(start));
    });
    app.exec();

    const double wait = m.TempoDurations[3];
    std::vector<double> lateness;
    for (size_t i = 0; i < system.noteOns.size(); ++i)
        lateness.push_back(system.noteOns[i] - (static_cast<double>(start) + wait * static_cast<double>(i)));
    std::vector<double> off;
    for (double l : lateness)
        off.push_back(std::abs(l));

    std::printf("playback timing: %zu note-ons of %.0f ms at tempo 40\n", lateness.size(), wait);
    std::printf("  |note-on - ideal|  p50 %.3f ms  p99 %.3f ms  max %.3f ms  (goal p99 < 2 ms)\n", percentile(off, 0.5),
        percentile(off, 0.99), percentile(off, 1.0));
    const auto over = std::count_if(off.begin(), off.end(), [](double d) { return d > 2.0; });
    std::printf("  note-ons more than 2 ms off: %td of %zu\n", over, off.size());
    std::printf("  last note-on - ideal  %.3f ms  (goal within 2 ms: no drift)\n", lateness.back());
    return lateness.size() == static_cast<size_t>(Entries) ? 0 : 1;
}
