#include "chart/chart_axis.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace lekta::ui {

ChartAxis::ChartAxis(AxisPlace place, std::function<AxisRange()> data,
                     std::function<void()> changed)
    : place_(place), data_(std::move(data)), changed_(std::move(changed))
{}

// An end that stops being automatic keeps the limit it had.
void ChartAxis::SetAutomatic(bool automatic)
{
    if (!automatic) {
        min_ = Minimum();
        max_ = Maximum();
    }
    auto_min_ = auto_max_ = automatic;
    changed_();
}

void ChartAxis::SetAutomaticMinimum(bool automatic)
{
    if (!automatic)
        min_ = Minimum();
    auto_min_ = automatic;
    changed_();
}

void ChartAxis::SetAutomaticMaximum(bool automatic)
{
    if (!automatic)
        max_ = Maximum();
    auto_max_ = automatic;
    changed_();
}

double ChartAxis::Minimum() const
{
    if (!auto_min_)
        return min_;
    const AxisRange r = data_();
    return r.empty ? 0 : r.min;
}

double ChartAxis::Maximum() const
{
    if (!auto_max_)
        return max_;
    const AxisRange r = data_();
    return r.empty ? 0 : r.max;
}

// The comparisons are written so that a value that is not a number fails them.
void ChartAxis::SetMinimum(double v)
{
    if (!(v <= Maximum()))
        throw AxisError("Axis Minimum Value must be <= Maximum");
    min_ = v;
    auto_min_ = false;
    changed_();
}

void ChartAxis::SetMaximum(double v)
{
    if (!(v >= Minimum()))
        throw AxisError("Axis Maximum Value must be >= Minimum");
    max_ = v;
    auto_max_ = false;
    changed_();
}

void ChartAxis::SetMinMax(double min, double max)
{
    if (!(max >= min))
        throw AxisError("Axis Maximum Value must be >= Minimum");
    min_ = min;
    max_ = max;
    auto_min_ = auto_max_ = false;
    changed_();
}

void ChartAxis::SetIncrement(double v)
{
    if (!(v >= 0))
        throw AxisError("Axis increment must be >= 0");
    increment_ = v;
    changed_();
}

void ChartAxis::SetTitle(const QString& title)
{
    title_ = title;
    changed_();
}

void ChartAxis::SetVisible(bool visible)
{
    visible_ = visible;
    changed_();
}

AxisRange ChartAxis::DrawnRange() const
{
    return drawable({Minimum(), Maximum(), false});
}

AxisRange drawable(AxisRange r)
{
    if (r.empty || !std::isfinite(r.min) || !std::isfinite(r.max))
        return {0, 1, false};
    if (r.min > r.max)
        std::swap(r.min, r.max);
    const double size = std::max(std::abs(r.min), std::abs(r.max));
    // A range too thin to divide into pixels is as good as flat.
    if (r.max - r.min <= size * 1e-12) {
        const double pad = size > 0 ? size / 10 : 1;
        r.min -= pad;
        r.max += pad;
    }
    return {r.min, r.max, false};
}

}  // namespace lekta::ui
