#include "compose/delay_calibration.h"

#include "compose/practice_choices.h"
#include "compose/tempo_judge.h"

#include <algorithm>
#include <cmath>

namespace zintaro::compose {

DelayCalibration::DelayCalibration(int tempo, int64_t startMs)
{
    const double beatMs = 60000.0 / std::max(tempo, 1);
    for (int i = 0; i < CalibrationClicks; ++i)
        m_clicks.push_back({ static_cast<double>(startMs) + i * beatMs, i % 4 == 0 });
    m_endsAt = startMs + static_cast<int64_t>(std::ceil((CalibrationClicks - 0.5) * beatMs));
}

std::optional<int> DelayCalibration::delayMs() const
{
    std::vector<double> clicks;
    for (const Click& click : m_clicks)
        clicks.push_back(click.atMs);
    const auto delay = calibratedDelay(clicks, m_taps);
    if (!delay)
        return std::nullopt;
    return std::clamp(*delay, -LargestDelayCorrectionMs, LargestDelayCorrectionMs);
}

Text DelayCalibration::words() const
{
    if (const auto delay = delayMs())
        return translate("Tempo", "Ritardo: %1 ms").arg(*delay);
    return translate("Tempo", "Troppo pochi tocchi: tocca un tasto a ogni clic, poi riprova.");
}

} // namespace zintaro::compose
