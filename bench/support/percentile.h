#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace zintaro::bench {

// The value below which the share `p` (0..1) of the figures lies, the
// nearest figure taken.
inline double percentile(std::vector<double> figures, double p)
{
    std::sort(figures.begin(), figures.end());
    const auto i = static_cast<std::size_t>(std::lround(p * static_cast<double>(figures.size() - 1)));
    return figures[std::min(i, figures.size() - 1)];
}

} // namespace zintaro::bench
