#include "series/series_statistics.h"

#include <algorithm>
#include <cmath>

namespace lekta::series {

ColumnStatistics column_statistics(const std::vector<std::optional<double>>& values)
{
    std::vector<double> taken;
    taken.reserve(values.size());
    for (const auto& v : values)
        if (v && std::isfinite(*v))
            taken.push_back(*v);
    ColumnStatistics s;
    s.n = taken.size();
    if (taken.empty())
        return s;
    // Two passes: the mean first, then the squares about it, so values far
    // from zero with a small spread (strengths of 500 ± 0.1 МПа) keep their digits.
    double sum = 0;
    for (double v : taken)
        sum += v;
    const double mean = sum / static_cast<double>(s.n);
    s.mean = mean;
    const auto [lo, hi] = std::minmax_element(taken.begin(), taken.end());
    s.min = *lo;
    s.max = *hi;
    if (s.n >= 2) {
        double squares = 0;
        for (double v : taken)
            squares += (v - mean) * (v - mean);
        const double deviation = std::sqrt(squares / static_cast<double>(s.n - 1));
        s.deviation = deviation;
        if (mean != 0)
            s.variation = deviation / std::fabs(mean) * 100.0;
    }
    return s;
}

}  // namespace lekta::series
