#include "chart/chart_thinning.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lekta::ui {

int ColumnThinning::column_of(double x) const
{
    if (!(x >= view_.x_min))
        return -1;
    if (x > view_.x_max)
        return view_.columns;
    // x_max itself lies on the plot's last column.
    const double c = (x - view_.x_min) * scale_;
    return c >= view_.columns ? view_.columns - 1 : static_cast<int>(c);
}

void ColumnThinning::clear()
{
    kept_.clear();
    count_ = 0;
    has_run_ = false;
    keep_all_ = false;
    visible_count_ = 0;
}

void ColumnThinning::rebuild(const ChartPoint* points, std::size_t count, const ThinningView& view)
{
    clear();
    view_ = view;
    view_.columns = std::max(view_.columns, 1);
    const double width = view_.x_max - view_.x_min;
    scale_ = width > 0 && std::isfinite(width) ? view_.columns / width : 0;
    if (view_.keep_few) {
        for (std::size_t i = 0; i < count; ++i)
            visible_count_ += inside(column_of(points[i].x)) ? 1 : 0;
        keep_all_ = visible_count_ < static_cast<std::size_t>(view_.columns);
    }
    take(points, 0, count);
}

void ColumnThinning::extend(const ChartPoint* points, std::size_t count)
{
    if (count < count_) {
        rebuild(points, count, view_);
        return;
    }
    if (keep_all_) {
        for (std::size_t i = count_; i < count; ++i)
            visible_count_ += inside(column_of(points[i].x)) ? 1 : 0;
        if (visible_count_ >= static_cast<std::size_t>(view_.columns)) {
            // Too many to keep every one now: thin them all.
            rebuild(points, count, view_);
            return;
        }
    }
    // The last run may go on with the new points: take back what it kept.
    if (has_run_)
        kept_.resize(run_.kept_from);
    take(points, count_, count);
}

void ColumnThinning::take(const ChartPoint* points, std::size_t from, std::size_t to)
{
    for (std::size_t i = from; i < to; ++i) {
        const int column = column_of(points[i].x);
        const bool single = keep_all_ && inside(column);
        if (has_run_ && column == run_.column && !single) {
            if (points[i].y < points[run_.lowest].y)
                run_.lowest = i;
            if (points[i].y > points[run_.highest].y)
                run_.highest = i;
            run_.last = i;
            continue;
        }
        if (has_run_)
            close_run();
        has_run_ = true;
        run_ = Run{column, i, i, i, i, kept_.size()};
        if (single)
            run_.column = -2;  // no later point joins it
    }
    count_ = to;
    if (has_run_)
        close_run();
}

void ColumnThinning::close_run()
{
    run_.kept_from = kept_.size();
    std::array<std::size_t, 4> ends{run_.first, run_.lowest, run_.highest, run_.last};
    std::size_t n = 4;
    if (!inside(run_.column)) {
        // Off the visible range (or a single kept point): its ends carry the
        // lines that cross the edge; what lies between is not seen.
        ends = {run_.first, run_.last, 0, 0};
        n = 2;
    }
    std::sort(ends.begin(), ends.begin() + static_cast<std::ptrdiff_t>(n));
    for (std::size_t k = 0; k < n; ++k)
        if (k == 0 || ends[k] != ends[k - 1])
            kept_.push_back(ends[k]);
}

}  // namespace lekta::ui
