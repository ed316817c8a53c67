#pragma once
// Where an axis puts its labels. The axis increment is the smallest step
// between labels; when labels that close would overlap, the step grows to a
// round multiple of it (×2, ×5, ×10, ×20 …). Increment 0 leaves the step to
// the axis: the smallest of 1, 2, 5 × 10^n whose labels stand clear of each
// other with some room. Labels sit on whole multiples of the step. An
// increment that leaves fewer than two labels on the range (a view zoomed
// in deeper than the increment) gives way to the axis' own step: an axis
// without labels cannot be read.
//
// Plain C++: the caller measures the labels.
#include <functional>
#include <vector>

namespace lekta::ui {

struct TickLayout {
    double step = 0;             // 0 when no step fits the axis
    std::vector<double> values;  // ascending, inside [min, max]
};

struct TickSpacing {
    double length = 0;     // pixels from min to max along the axis
    double gap = 2;        // at least this many pixels between two labels
    double auto_gap = 16;  // the same when the axis chooses its own step
};

// extent(v): the size of v's label along the axis, in pixels (its width on
// a horizontal axis, its height on a vertical one).
TickLayout choose_ticks(double min, double max, double increment, const TickSpacing& spacing,
                        const std::function<double(double)>& extent);

}  // namespace lekta::ui
