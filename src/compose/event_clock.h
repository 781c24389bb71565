#pragma once

#include <optional>

namespace zintaro::compose {

// When an input event happened, on the window's clock. Events carry a stamp
// of their own clock (a key's timestamp, a MIDI input's) that runs at the
// window clock's rate from another zero. The least lag seen from stamp to
// handling is taken as the distance between the two zeros: that event was
// handled at once, and every other is placed by its own stamp, however late
// the window came to it.
class EventClock {
public:
    // A lag this far from the one known means the stamps' clock started anew.
    static constexpr double RestartedAfterMs = 10'000;

    // An event stamped `stampMs` and handled at `handledMs`; a stamp of 0 says
    // the event carries none and happened when handled.
    double onset(double stampMs, double handledMs);

private:
    std::optional<double> m_lag;
};

} // namespace zintaro::compose
