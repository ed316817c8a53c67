#include "chart/chart_thinning.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <vector>

using namespace lekta::ui;

namespace {

// The column a test expects a point in: −1 left of the view, columns right of it.
int column(const ThinningView& v, double x)
{
    if (x < v.x_min)
        return -1;
    if (x > v.x_max)
        return v.columns;
    return std::min(v.columns - 1,
                    static_cast<int>((x - v.x_min) / (v.x_max - v.x_min) * v.columns));
}

// What the drawn polyline needs at pixel resolution, checked run by run: the
// kept indexes ascend; each run of points in one column keeps its first and
// last point and points with its lowest and highest value; a run outside the
// view keeps its ends only.
void expect_pixel_faithful(const std::vector<ChartPoint>& pts, const ThinningView& v,
                           const std::vector<std::size_t>& kept)
{
    ASSERT_TRUE(std::is_sorted(kept.begin(), kept.end()));
    ASSERT_EQ(std::adjacent_find(kept.begin(), kept.end()), kept.end()) << "an index kept twice";
    const std::set<std::size_t> k(kept.begin(), kept.end());
    std::size_t start = 0;
    while (start < pts.size()) {
        const int c = column(v, pts[start].x);
        std::size_t end = start;
        while (end + 1 < pts.size() && column(v, pts[end + 1].x) == c)
            ++end;
        EXPECT_TRUE(k.count(start)) << "first of run at " << start;
        EXPECT_TRUE(k.count(end)) << "last of run at " << start;
        double lo = pts[start].y, hi = pts[start].y, kept_lo = INFINITY, kept_hi = -INFINITY;
        std::size_t inside = 0;
        for (std::size_t i = start; i <= end; ++i) {
            lo = std::min(lo, pts[i].y);
            hi = std::max(hi, pts[i].y);
            if (k.count(i)) {
                kept_lo = std::min(kept_lo, pts[i].y);
                kept_hi = std::max(kept_hi, pts[i].y);
                ++inside;
            }
        }
        if (c < 0 || c >= v.columns) {
            EXPECT_LE(inside, 2u) << "off-view run at " << start << " keeps more than its ends";
        } else {
            EXPECT_EQ(kept_lo, lo) << "lowest of column " << c << " lost (run at " << start << ")";
            EXPECT_EQ(kept_hi, hi) << "highest of column " << c << " lost (run at " << start << ")";
            EXPECT_LE(inside, 4u);
        }
        start = end + 1;
    }
}

// A test-like curve: X creeping forwards with jitter, Y noisy.
std::vector<ChartPoint> noisy_curve(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0, 0.3);
    std::vector<ChartPoint> pts;
    double x = 0;
    for (std::size_t i = 0; i < n; ++i) {
        x += 0.001 + 0.0005 * noise(rng);
        pts.push_back({x, 40 * std::tanh(x) + noise(rng)});
    }
    return pts;
}

}  // namespace

TEST(ChartThinning, KeepsEachColumnsExtremesAndEndsInOrder)
{
    const std::vector<ChartPoint> pts = noisy_curve(64000, 1);
    const ThinningView v{0, pts.back().x, 1500, false};
    ColumnThinning t;
    t.rebuild(pts.data(), pts.size(), v);
    expect_pixel_faithful(pts, v, t.kept());
    EXPECT_LT(t.kept().size(), 64000u / 5) << "hardly thinned";
    EXPECT_EQ(t.kept().front(), 0u);
    EXPECT_EQ(t.kept().back(), pts.size() - 1);
}

TEST(ChartThinning, CurveTurningBackKeepsBothPassesOfAColumn)
{
    // Out to x = 10 and back on a lower path, as an unloading curve does.
    std::vector<ChartPoint> pts;
    for (int i = 0; i <= 1000; ++i)
        pts.push_back({i / 100.0, std::sin(i / 7.0) + 5});
    for (int i = 1000; i >= 0; --i)
        pts.push_back({i / 100.0, std::cos(i / 5.0)});
    const ThinningView v{0, 10, 20, false};
    ColumnThinning t;
    t.rebuild(pts.data(), pts.size(), v);
    expect_pixel_faithful(pts, v, t.kept());
    // Each of the 20 columns is passed twice, on the way out and back.
    std::vector<int> passes(20, 0);
    int last = -2;
    for (std::size_t i : t.kept()) {
        const int c = column(v, pts[i].x);
        if (c != last)
            ++passes[static_cast<std::size_t>(c)];
        last = c;
    }
    for (int c = 0; c < 20; ++c)
        EXPECT_EQ(passes[static_cast<std::size_t>(c)], c == 19 ? 1 : 2) << "column " << c;
}

TEST(ChartThinning, PointsOutsideTheViewKeepOnlyTheEndsThatCrossIt)
{
    // 0 … 99 left of the view, 100 … 199 inside, 200 … 299 right, then back inside.
    std::vector<ChartPoint> pts;
    for (int i = 0; i < 100; ++i)
        pts.push_back({-5.0 + i * 0.01, i == 50 ? -10.0 : i == 60 ? 10.0 : double(i % 7)});
    for (int i = 0; i < 100; ++i)
        pts.push_back({i * 0.1, double(i % 5)});
    for (int i = 0; i < 100; ++i)
        pts.push_back({20.0 + i, double(i % 3)});
    pts.push_back({5, 1});
    const ThinningView v{0, 10, 400, false};
    ColumnThinning t;
    t.rebuild(pts.data(), pts.size(), v);
    expect_pixel_faithful(pts, v, t.kept());
    const std::vector<std::size_t>& k = t.kept();
    // Left run: its first point and the one before the view begins.
    EXPECT_EQ(std::count_if(k.begin(), k.end(), [](std::size_t i) { return i < 100; }), 2);
    EXPECT_TRUE(std::count(k.begin(), k.end(), 99u));
    // Right run: the one after the view ends and the one before the line comes back.
    EXPECT_EQ(std::count_if(k.begin(), k.end(), [](std::size_t i) { return i >= 200 && i < 300; }),
              2);
    EXPECT_TRUE(std::count(k.begin(), k.end(), 200u));
    EXPECT_TRUE(std::count(k.begin(), k.end(), 299u));
    // Inside, fewer points than columns: each in its own column, all kept.
    EXPECT_EQ(std::count_if(k.begin(), k.end(), [](std::size_t i) { return i >= 100 && i < 200; }),
              100);
    EXPECT_EQ(k.back(), 300u);
}

TEST(ChartThinning, WithMarkersFewVisiblePointsAreAllKept)
{
    // 60 points crowded into 3 of 100 columns.
    std::vector<ChartPoint> pts;
    for (int i = 0; i < 60; ++i)
        pts.push_back({i * 0.05, double((i * 7) % 11)});
    ColumnThinning t;
    t.rebuild(pts.data(), pts.size(), {0, 100, 100, false});
    EXPECT_LT(t.kept().size(), 60u) << "without markers the columns are thinned";
    t.rebuild(pts.data(), pts.size(), {0, 100, 100, true});
    EXPECT_EQ(t.kept().size(), 60u);
    // As many visible points as columns: thinned again, markers or not.
    t.rebuild(pts.data(), pts.size(), {0, 100, 60, true});
    EXPECT_LT(t.kept().size(), 60u);
    expect_pixel_faithful(pts, {0, 100, 60, true}, t.kept());
}

TEST(ChartThinning, AppendingGivesWhatThinningTheWholeCurveGives)
{
    const std::vector<ChartPoint> all = noisy_curve(20000, 7);
    std::mt19937 rng(3);
    for (bool markers : {false, true}) {
        // Markers: a wide view where the visible points outgrow the columns midway.
        const ThinningView v = markers ? ThinningView{0, 100, 2000, true}
                                       : ThinningView{0, 15, 700, false};
        ColumnThinning grown;
        grown.rebuild(all.data(), 0, v);
        std::size_t n = 0;
        while (n < all.size()) {
            // Chunks from one point (continuing the open run) to a whole response.
            n = std::min(all.size(), n + 1 + rng() % 1500);
            grown.extend(all.data(), n);
            ColumnThinning whole;
            whole.rebuild(all.data(), n, v);
            ASSERT_EQ(grown.kept(), whole.kept())
                << "after " << n << " points, markers " << markers;
        }
    }
}

TEST(ChartThinning, ValuesThatAreNotNumbersAndAFlatViewDoNotBreakIt)
{
    std::vector<ChartPoint> pts = {{1, 1}, {NAN, 2}, {2, NAN}, {INFINITY, 3}, {3, 3}};
    ColumnThinning t;
    t.rebuild(pts.data(), pts.size(), {0, 0, 10, false});
    for (std::size_t i : t.kept())
        EXPECT_LT(i, pts.size());
    t.rebuild(pts.data(), pts.size(), {0, 10, 0, false});
    EXPECT_FALSE(t.kept().empty());
    t.rebuild(pts.data(), 0, {0, 10, 100, false});
    EXPECT_TRUE(t.kept().empty());
}

namespace {

// The thinning done the plain way, point by point, as the reference for the
// block-wise pass: runs of one column keep first, lowest, highest and last
// (the first of equal values; a run starting on a Y that is not a number
// keeps it), runs off the view their ends; with markers and fewer visible
// points than columns, every visible point.
std::vector<std::size_t> plain_thinning(const std::vector<ChartPoint>& pts, const ThinningView& v)
{
    const double width = v.x_max - v.x_min;
    const double scale = width > 0 && std::isfinite(width) ? v.columns / width : 0;
    auto col = [&](double x) {
        if (!(x >= v.x_min))
            return -1;
        if (x > v.x_max)
            return v.columns;
        const double c = (x - v.x_min) * scale;
        return c < v.columns ? static_cast<int>(c) : v.columns - 1;
    };
    auto inside = [&](int c) { return c >= 0 && c < v.columns; };
    const bool all = v.keep_few && std::count_if(pts.begin(), pts.end(), [&](const ChartPoint& p) {
                                       return inside(col(p.x));
                                   }) < v.columns;
    std::vector<std::size_t> kept;
    std::size_t start = 0;
    while (start < pts.size()) {
        const int c = col(pts[start].x);
        std::size_t lo = start, hi = start, end = start;
        while (!(all && inside(c)) && end + 1 < pts.size() && col(pts[end + 1].x) == c) {
            ++end;
            if (pts[end].y < pts[lo].y)
                lo = end;
            if (pts[end].y > pts[hi].y)
                hi = end;
        }
        std::set<std::size_t> run{start, end};
        if (inside(c))
            run.insert({lo, hi});
        kept.insert(kept.end(), run.begin(), run.end());
        start = end + 1;
    }
    return kept;
}

struct Curve {
    const char* name;
    std::vector<ChartPoint> points;
};

std::vector<Curve> awkward_curves()
{
    std::vector<Curve> curves;
    curves.push_back({"empty", {}});
    curves.push_back({"one point", {{3, 4}}});
    curves.push_back({"noisy test", noisy_curve(5000, 11)});
    std::vector<ChartPoint> back;  // out and back with a loop, as an unloading does
    for (int i = 0; i <= 3000; ++i)
        back.push_back({i < 2000 ? i * 0.005 : (4000 - i) * 0.005, std::sin(i / 40.0) * (i % 17)});
    curves.push_back({"turning back", back});
    std::vector<ChartPoint> flat;  // long equal stretches: equal X, equal Y
    for (int i = 0; i < 2000; ++i)
        flat.push_back({double(i / 300), double((i / 50) % 3)});
    curves.push_back({"duplicates", flat});
    std::vector<ChartPoint> nan = noisy_curve(3000, 5);
    for (std::size_t i = 0; i < nan.size(); i += 37)
        nan[i].y = NAN;
    for (std::size_t i = 5; i < nan.size(); i += 101)
        nan[i].x = NAN;
    for (std::size_t i = 700; i < 760; ++i)
        nan[i] = {NAN, NAN};
    nan[1000].x = INFINITY;
    nan[1001].x = -INFINITY;
    nan[1500].y = INFINITY;
    curves.push_back({"not numbers", nan});
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> any(-2, 12);
    std::vector<ChartPoint> scattered;
    for (int i = 0; i < 2000; ++i)
        scattered.push_back({any(rng), any(rng)});
    curves.push_back({"scattered", scattered});
    return curves;
}

}  // namespace

TEST(ChartThinning, BlockwiseKeepsExactlyThePointsOfThePlainPass)
{
    const ThinningView views[] = {
        {0, 15, 700, false},
        {0, 15, 50000, false},
        {2.5, 4.1, 1338, false},
        {-1, 0.2, 37, false},
        {4, 4, 100, false},
        {5, 3, 100, false},
        {-INFINITY, INFINITY, 300, false},
        {0, 15, 3, false},
        {1, 2, 100000, true},
        {0, 15, 700, true},
    };
    for (const Curve& c : awkward_curves()) {
        // One object through all the views, as a chart zooms: the block
        // summaries are kept and must stay right.
        ColumnThinning t;
        for (const ThinningView& v : views) {
            t.rebuild(c.points.data(), c.points.size(), v, true);
            ASSERT_EQ(t.kept(), plain_thinning(c.points, v))
                << c.name << ", view " << v.x_min << " … " << v.x_max << " in " << v.columns;
        }
    }
}

TEST(ChartThinning, ZoomAfterAppendingOrReplacingSeesTheNewPoints)
{
    std::vector<ChartPoint> pts = noisy_curve(4003, 2);
    const ThinningView wide{0, 5, 900, false}, zoom{1, 2.5, 900, false};
    ColumnThinning t;
    t.rebuild(pts.data(), 1000, wide);
    t.extend(pts.data(), 4003);  // a live response, then zooms
    t.rebuild(pts.data(), pts.size(), zoom, true);
    EXPECT_EQ(t.kept(), plain_thinning(pts, zoom));
    pts.resize(2500);  // fewer points, told as the same: taken afresh
    t.rebuild(pts.data(), pts.size(), wide, true);
    EXPECT_EQ(t.kept(), plain_thinning(pts, wide));
    for (ChartPoint& p : pts)  // other points of the same count
        p.y = -p.y;
    t.rebuild(pts.data(), pts.size(), zoom);
    EXPECT_EQ(t.kept(), plain_thinning(pts, zoom));
}
