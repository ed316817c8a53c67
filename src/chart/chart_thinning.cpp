#include "chart/chart_thinning.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lekta::ui {

void ColumnThinning::clear()
{
    kept_.clear();
    count_ = 0;
    has_run_ = false;
    keep_all_ = false;
    visible_count_ = 0;
}

void ColumnThinning::rebuild(const ChartPoint* points, std::size_t count, const ThinningView& view,
                             bool same_points)
{
    clear();
    if (!same_points || count < summarised_)
        summarised_ = 0;
    view_ = view;
    view_.columns = std::max(view_.columns, 1);
    const double width = view_.x_max - view_.x_min;
    scale_ = width > 0 && std::isfinite(width) ? view_.columns / width : 0;
    if (view_.keep_few) {
        for (std::size_t i = 0; i < count; ++i)
            visible_count_ += inside(column_of(points[i].x)) ? 1 : 0;
        keep_all_ = visible_count_ < static_cast<std::size_t>(view_.columns);
    }
    // New points are thinned one by one: a view that stays (the first paint,
    // a live test) would not repay summarising them; the next view does.
    if (keep_all_ || !same_points)
        take(points, 0, count);
    else
        take_blocks(points, count);
}

// Block `from` after `into`, as the point-by-point comparisons would go: the
// first of equal values wins, so a later block takes over only below or
// above what is there.
void ColumnThinning::merge(Block& into, const Block& from)
{
    into.nan_x = into.nan_x || from.nan_x;
    if (!std::isnan(from.min_x)) {
        const bool none = std::isnan(into.min_x);
        into.min_x = none ? from.min_x : std::min(into.min_x, from.min_x);
        into.max_x = none ? from.max_x : std::max(into.max_x, from.max_x);
    }
    if (from.lowest != kNone && (into.lowest == kNone || from.low_y < into.low_y)) {
        into.lowest = from.lowest;
        into.low_y = from.low_y;
    }
    if (from.highest != kNone && (into.highest == kNone || from.high_y > into.high_y)) {
        into.highest = from.highest;
        into.high_y = from.high_y;
    }
}

void ColumnThinning::summarise(const ChartPoint* points, std::size_t count)
{
    // The last block of each level may have been partial: it is made again.
    std::vector<Block>& blocks = levels_[0];
    std::size_t b = summarised_ / kFanOut;
    blocks.resize((count + kFanOut - 1) / kFanOut);
    for (; b < blocks.size(); ++b) {
        Block k;
        double min_x = INFINITY, max_x = -INFINITY;
        bool any_x = false;
        const std::size_t end = std::min(count, (b + 1) * kFanOut);
        for (std::size_t i = b * kFanOut; i < end; ++i) {
            const ChartPoint& p = points[i];
            if (std::isnan(p.x)) {
                k.nan_x = true;
            } else {
                any_x = true;
                min_x = std::min(min_x, p.x);
                max_x = std::max(max_x, p.x);
            }
            // As the point-by-point pass compares: the first of equal values wins.
            if (!std::isnan(p.y)) {
                if (k.lowest == kNone || p.y < k.low_y) {
                    k.lowest = i;
                    k.low_y = p.y;
                }
                if (k.highest == kNone || p.y > k.high_y) {
                    k.highest = i;
                    k.high_y = p.y;
                }
            }
        }
        k.min_x = any_x ? min_x : NAN;
        k.max_x = any_x ? max_x : NAN;
        blocks[b] = k;
    }
    for (std::size_t level = 1; level < kLevels; ++level) {
        const std::vector<Block>& parts = levels_[level - 1];
        std::vector<Block>& whole = levels_[level];
        std::size_t w = summarised_ / points_in(level);
        whole.resize((parts.size() + kFanOut - 1) / kFanOut);
        for (; w < whole.size(); ++w) {
            const std::size_t end = std::min(parts.size(), (w + 1) * kFanOut);
            whole[w] = parts[w * kFanOut];
            for (std::size_t p = w * kFanOut + 1; p < end; ++p)
                merge(whole[w], parts[p]);
        }
    }
    summarised_ = count;
}

void ColumnThinning::take_blocks(const ChartPoint* points, std::size_t count)
{
    summarise(points, count);
    for (std::size_t b = 0; b < levels_[kLevels - 1].size(); ++b)
        take_block(points, count, kLevels - 1, b);
    count_ = count;
    if (has_run_)
        close_run();
}

void ColumnThinning::take_block(const ChartPoint* points, std::size_t count, std::size_t level,
                                std::size_t b)
{
    const Block& k = levels_[level][b];
    const std::size_t from = b * points_in(level);
    // column_of never decreases with X: the extent's ends in one column
    // put every point there (a point whose X is no number is left of it).
    const int column = column_of(k.min_x);
    if (column != column_of(k.max_x) || (k.nan_x && column != -1)) {
        if (level == 0) {
            scan(points, from, std::min(count, from + kFanOut));
            return;
        }
        const std::size_t end = std::min(levels_[level - 1].size(), (b + 1) * kFanOut);
        for (std::size_t part = b * kFanOut; part < end; ++part)
            take_block(points, count, level - 1, part);
        return;
    }
    if (!has_run_ || run_.column != column) {
        if (has_run_)
            close_run();
        has_run_ = true;
        run_ = Run{column, from, from, from, from, kept_.size()};
    }
    // What the run's comparisons point by point would come to.
    // (The block's values stand in for its points: those stay unread.)
    if (k.lowest != kNone && k.low_y < points[run_.lowest].y)
        run_.lowest = k.lowest;
    if (k.highest != kNone && k.high_y > points[run_.highest].y)
        run_.highest = k.highest;
    run_.last = std::min(count, from + points_in(level)) - 1;
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
    scan(points, from, to);
    count_ = to;
    if (has_run_)
        close_run();
}

void ColumnThinning::scan(const ChartPoint* points, std::size_t from, std::size_t to)
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
