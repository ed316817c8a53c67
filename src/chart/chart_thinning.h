#pragma once
// Which points of a curve the chart hands to the drawing library. A 64,000
// point curve drawn segment by segment costs more than a frame, but the plot
// has only some 1,500 pixel columns: for each run of consecutive points in
// one column the first, the lowest, the highest and the last are kept (in
// their order), so every column shows the same vertical extent and the lines
// between columns join the same points. A curve that turns back on itself
// passes a column again in a later run, which is kept on its own. Points left
// or right of the visible X range only need the ends of their runs, for the
// lines that cross the edge.
//
// A new view (a zoom) thins the whole curve again, but not point by point:
// a summary per block of consecutive points (X extent, lowest and highest Y)
// is kept while the points stay the same, in blocks of 8 points, of 8 such
// blocks, and so on; a block whose X extent lies in one column (or wholly
// left or right of the view) joins or starts that column's run as a whole.
// A block that straddles a column edge is looked at through its smaller
// blocks, down to the points; the kept points are exactly those of the
// point-by-point pass. Zoomed in, most of a curve lies off the view in a few
// large blocks.
//
// Plain C++; the result is a list of indexes into the caller's points.
#include <cstddef>
#include <vector>

namespace lekta::ui {

struct ChartPoint {
    double x = 0;
    double y = 0;
    bool operator==(const ChartPoint&) const = default;
};

// The visible X range and the plot width in pixel columns.
struct ThinningView {
    double x_min = 0;
    double x_max = 1;
    int columns = 1;
    // Keep every visible point while they are fewer than the columns: with
    // point markers shown each point is seen, not just the line.
    bool keep_few = false;
    bool operator==(const ThinningView&) const = default;
};

class ColumnThinning {
public:
    // Thins points[0, count) afresh. With `same_points` the points are those
    // of the earlier calls, perhaps with more appended: they are thinned
    // block-wise, on summaries made at the first such call and kept since
    // (only new blocks are summarised).
    void rebuild(const ChartPoint* points, std::size_t count, const ThinningView& view,
                 bool same_points = false);
    // The same points with more appended (count is the new total): only the
    // last run and the new points are looked at.
    void extend(const ChartPoint* points, std::size_t count);
    void clear();

    // Indexes of the kept points, ascending.
    const std::vector<std::size_t>& kept() const { return kept_; }
    const ThinningView& view() const { return view_; }
    // Points looked at so far.
    std::size_t count() const { return count_; }

private:
    // Column of x: 0 … columns − 1 inside the range, −1 left of it (and for
    // a value that is not a number), columns right of it.
    int column_of(double x) const;
    bool inside(int column) const { return column >= 0 && column < view_.columns; }
    // Thins points[from, to) one by one after what was thinned before.
    void take(const ChartPoint* points, std::size_t from, std::size_t to);
    // The same for points[0, count) block by block (no keep_few).
    void take_blocks(const ChartPoint* points, std::size_t count);
    // Block b of the level into the runs, whole or through its parts.
    void take_block(const ChartPoint* points, std::size_t count, std::size_t level, std::size_t b);
    void scan(const ChartPoint* points, std::size_t from, std::size_t to);
    void summarise(const ChartPoint* points, std::size_t count);
    void close_run();

    struct Run {
        int column = 0;
        std::size_t first = 0, lowest = 0, highest = 0, last = 0;
        std::size_t kept_from = 0;  // where its points start in kept_
    };

    ThinningView view_;
    double scale_ = 1;  // columns per unit of X
    std::vector<std::size_t> kept_;
    std::size_t count_ = 0;
    bool has_run_ = false;
    Run run_;
    bool keep_all_ = false;  // keep_few in force: fewer visible points than columns
    std::size_t visible_count_ = 0;

    // Level 0 block k holds points [k·8, (k + 1)·8); a block of level L + 1
    // holds 8 blocks of level L (the last block of a level perhaps fewer).
    static constexpr std::size_t kFanOut = 8;
    static constexpr std::size_t kLevels = 4;
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    static constexpr std::size_t points_in(std::size_t level)
    {
        std::size_t n = kFanOut;
        for (std::size_t l = 0; l < level; ++l)
            n *= kFanOut;
        return n;
    }
    struct Block {
        double min_x = 0, max_x = 0;  // over X values that are numbers; both NaN when none is
        bool nan_x = false;           // some X is not a number
        std::size_t lowest = kNone;   // first point of the lowest Y (numbers only), kNone when none
        std::size_t highest = kNone;  // first point of the highest Y
        double low_y = 0, high_y = 0;  // their values
    };
    static void merge(Block& into, const Block& from);
    std::vector<Block> levels_[kLevels];
    std::size_t summarised_ = 0;  // points the blocks cover
};

inline int ColumnThinning::column_of(double x) const
{
    if (!(x >= view_.x_min))
        return -1;
    if (x > view_.x_max)
        return view_.columns;
    // x_max itself lies on the plot's last column.
    // (Not a number for an infinite X in an infinite range.)
    const double c = (x - view_.x_min) * scale_;
    return c < view_.columns ? static_cast<int>(c) : view_.columns - 1;
}

}  // namespace lekta::ui
