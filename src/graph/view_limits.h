#pragma once
// The graph window's axis limits for its two views, worked out from the
// curve a view shows: plain arithmetic, the window sets what comes out.

namespace lekta {

struct AxisLimits {
    double min = 0;
    double max = 0;
};

struct ViewLimits {
    AxisLimits bottom;
    AxisLimits left;
};

// Smallest and largest X and Y of a curve.
struct CurveExtent {
    double min_x = 0;
    double max_x = 0;
    double min_y = 0;
    double max_y = 0;
};

// The limits widened by share percent of the curve's largest X (the bottom
// maximum) and its largest Y (the left maximum up, the left minimum down).
ViewLimits widened(const ViewLimits& limits, const CurveExtent& curve, double share);

// The F(H e) view's bottom increment: a tenth of the bottom maximum the
// window had, to the nearest whole number, halves to even.
double extensometer_increment(double bottom_maximum);

// The F(H e) view's limits before it is widened: bottom from the smallest X
// to the largest X plus 10 %, left from the smallest Y less 10 % of the
// largest Y to the largest Y plus 10 %. A maximum that does not lie above
// its minimum gets its axis's increment added.
ViewLimits extensometer_limits(const CurveExtent& curve, double bottom_increment,
                               double left_increment);

}  // namespace lekta
