#pragma once

#include "compose/phrase_timeline.h"
#include "core/translation.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zintaro::compose {

// "Calibra ritardo…": CalibrationClicks clicks a beat of the tempo apart,
// the first at `startMs` of the window's clock; the student taps any key on
// each. The delay correction is calibratedDelay() of the taps, held to
// LargestDelayCorrectionMs either way.
class DelayCalibration {
public:
    DelayCalibration(int tempo, int64_t startMs);

    const std::vector<Click>& clicks() const { return m_clicks; }
    void tap(double atMs) { m_taps.push_back(atMs); }
    // Half a beat after the last click: no tap can answer it later.
    int64_t endsAt() const { return m_endsAt; }
    // Nothing when too few clicks had a tap.
    std::optional<int> delayMs() const;
    // "Ritardo: 38 ms", or why there is none.
    Text words() const;

private:
    std::vector<Click> m_clicks;
    std::vector<double> m_taps;
    int64_t m_endsAt = 0;
};

} // namespace zintaro::compose
