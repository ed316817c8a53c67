#include "chart/chart_ticks.h"

#include <cmath>

namespace lekta::ui {

namespace {

// More labels than this never fit a screen or a page; such steps are passed
// over without being measured.
constexpr double kMostTicks = 2000;

// Multiples of step inside [min, max]; a hair of tolerance keeps the ends
// when min or max is itself a multiple that floating-point division misses.
std::vector<double> multiples(double min, double max, double step)
{
    std::vector<double> out;
    const double fuzz = 1e-9;
    const double first = std::ceil(min / step - fuzz);
    const double last = std::floor(max / step + fuzz);
    for (double k = first; k <= last; ++k) {
        double v = k * step;
        if (v < min)
            v = min;
        if (v > max)
            v = max;
        if (out.empty() || v > out.back())
            out.push_back(v);
    }
    return out;
}

bool labels_clear(const std::vector<double>& values, double min, double per_unit, double gap,
                  const std::function<double(double)>& extent)
{
    double previous_end = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double centre = (values[i] - min) * per_unit;
        const double half = extent(values[i]) / 2;
        if (i > 0 && centre - half < previous_end + gap)
            return false;
        previous_end = centre + half;
    }
    return true;
}

}  // namespace

namespace {

TickLayout choose_step(double min, double max, double increment, const TickSpacing& spacing,
                       const std::function<double(double)>& extent)
{
    TickLayout out;
    const double range = max - min;
    if (!(range > 0) || !std::isfinite(range) || !(spacing.length > 0))
        return out;
    const bool automatic = !(increment > 0) || !std::isfinite(increment);
    const double gap = automatic ? spacing.auto_gap : spacing.gap;
    // Automatic steps start three decades below the range: far finer than
    // any axis can show.
    double base = automatic ? std::pow(10.0, std::floor(std::log10(range)) - 3) : increment;
    const double per_unit = spacing.length / range;
    static constexpr double kFactors[] = {1, 2, 5};
    for (int decade = 0; decade < 400; ++decade, base *= 10) {
        for (double f : kFactors) {
            const double step = base * f;
            if (!std::isfinite(step))
                return out;
            if (range / step > kMostTicks || step * per_unit < 1)
                continue;
            std::vector<double> values = multiples(min, max, step);
            // A step beyond the range shows at most one label: take it, the
            // axis has no room for more.
            if (step > range || labels_clear(values, min, per_unit, gap, extent)) {
                out.step = step;
                out.values = std::move(values);
                return out;
            }
        }
    }
    return out;
}

}  // namespace

TickLayout choose_ticks(double min, double max, double increment, const TickSpacing& spacing,
                        const std::function<double(double)>& extent)
{
    TickLayout out = choose_step(min, max, increment, spacing, extent);
    if (out.values.size() < 2 && increment > 0)
        out = choose_step(min, max, 0, spacing, extent);
    return out;
}

}  // namespace lekta::ui
