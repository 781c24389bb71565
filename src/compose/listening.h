#pragma once

#include "compose/played_instrument.h"

#include <bitset>
#include <cstdint>
#include <limits>

namespace zintaro::compose {

// A4 in hertz for "Diapason…": 440, adjustable 10 Hz either way.
inline constexpr int StandardTuningHz = 440;
inline constexpr int LowestTuningHz = 430;
inline constexpr int HighestTuningHz = 450;

// "Microfono" and what the student plays into it, kept between runs.
struct ListeningChoices {
    bool microphone = false;
    PlayedInstrument instrument = PlayedInstrument::Piano;
    int tuningHz = StandardTuningHz; // held within LowestTuningHz..HighestTuningHz

    friend bool operator==(const ListeningChoices&, const ListeningChoices&) = default;
};

// What the microphone listens for: the sounding MIDI notes, the margin
// included, and the tuning. The window's capture follows it.
struct ListeningRequest {
    int lowest = 0;
    int highest = 127;
    int tuningHz = StandardTuningHz;

    friend bool operator==(const ListeningRequest&, const ListeningRequest&) = default;
};

// The program's own sound heard back through the microphone. A note whose
// attack falls while the program sounds a note or speaks, or in the moment
// its sound dies away after, is that sound, not the student's answer: a
// correction played through the speakers would otherwise answer itself.
// Times are of the window's monotonic clock, in milliseconds.
class EchoGuard {
public:
    // How long a spoken name is taken to last.
    static constexpr int64_t SpokenMs = 900;
    // The sound's release and the room after a note-off.
    static constexpr int64_t TailMs = 250;
    // How much earlier than the program's sound an attack may be timed by
    // the capture's clock and still be its echo.
    static constexpr int64_t LeadMs = 50;

    void sounded(int midiNote, int64_t at);
    void silenced(int midiNote, int64_t at);
    void spoke(int64_t at);

    bool isEcho(int64_t onset) const;

private:
    void begins(int64_t at);

    std::bitset<128> m_sounding;
    int64_t m_since = std::numeric_limits<int64_t>::min() / 2;
    int64_t m_until = std::numeric_limits<int64_t>::min() / 2;
};

} // namespace zintaro::compose
