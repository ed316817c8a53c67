#include "graph/view_limits.h"

#include <cmath>

namespace lekta {

namespace {

// A maximum still below its minimum (a single reading below zero with an
// increment of 0) would be refused by the axis: the axis then spans the
// reading and a tenth of it beside it.
double not_below(const AxisLimits& a)
{
    return a.max < a.min ? a.min + std::abs(a.min) / 10 : a.max;
}

}  // namespace

ViewLimits widened(const ViewLimits& limits, const CurveExtent& curve, double share)
{
    // Outwards whatever the sign: a curve wholly below zero is widened too,
    // never turned inside out.
    const double x = std::abs(curve.max_x) / 100 * share;
    const double y = std::abs(curve.max_y) / 100 * share;
    ViewLimits out = limits;
    out.bottom.max += x;
    out.left.max += y;
    out.left.min -= y;
    return out;
}

double extensometer_increment(double bottom_maximum)
{
    // std::nearbyint rounds in the default mode: to nearest, halves to even.
    return std::nearbyint(bottom_maximum / 10);
}

ViewLimits extensometer_limits(const CurveExtent& curve, double bottom_increment,
                               double left_increment)
{
    ViewLimits v;
    v.bottom = {curve.min_x, curve.max_x / 100 * 10 + curve.max_x};
    if (!(v.bottom.max > v.bottom.min))
        v.bottom.max += bottom_increment;
    v.left = {curve.min_y - curve.max_y / 100 * 10, curve.max_y / 100 * 10 + curve.max_y};
    if (!(v.left.max > v.left.min))
        v.left.max += left_increment;
    v.bottom.max = not_below(v.bottom);
    v.left.max = not_below(v.left);
    return v;
}

}  // namespace lekta
