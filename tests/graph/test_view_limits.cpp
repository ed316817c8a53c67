// The graph window's view arithmetic without the window.
#include "graph/view_limits.h"

#include <gtest/gtest.h>

namespace lekta {
namespace {

TEST(ViewLimits, WidenedByAShareOfTheLargestXAndY)
{
    const ViewLimits w = widened({{1, 20}, {0, 50}}, {1, 20, 0, 50}, 5);
    EXPECT_DOUBLE_EQ(w.bottom.min, 1);  // the bottom minimum stays
    EXPECT_DOUBLE_EQ(w.bottom.max, 21);
    EXPECT_DOUBLE_EQ(w.left.min, -2.5);
    EXPECT_DOUBLE_EQ(w.left.max, 52.5);
    // A curve wholly below zero widens outwards too.
    const ViewLimits n = widened({{-0.0005, -0.00045}, {-0.9, -0.81}}, {-0.0005, -0.0005, -1, -1},
                                 5);
    EXPECT_DOUBLE_EQ(n.bottom.max, -0.00045 + 0.000025);
    EXPECT_DOUBLE_EQ(n.left.min, -0.95);
    EXPECT_GT(n.bottom.max, n.bottom.min);
    EXPECT_GT(n.left.max, n.left.min);
}

TEST(ViewLimits, ExtensometerIncrementIsATenthRoundedHalvesToEven)
{
    for (auto [maximum, increment] :
         {std::pair{21.0, 2.0}, {25.0, 2.0}, {35.0, 4.0}, {34.9, 3.0}, {4.0, 0.0}})
        EXPECT_EQ(extensometer_increment(maximum), increment) << maximum;
}

TEST(ViewLimits, ExtensometerLimits)
{
    struct Case {
        CurveExtent curve;
        double bottom_increment, left_increment;
        ViewLimits limits;
    };
    for (const Case& c : {
             Case{{0.5, 2.5, -1, 50}, 2, 5, {{0.5, 2.75}, {-6, 55}}},
             // Every reading 0: the bottom maximum gets the increment, the
             // left one its own (here none).
             Case{{0, 0, 0, 0}, 4, 0, {{0, 4}, {0, 0}}},
             // A single reading below zero: 10 % more is further left, so
             // the increment is added.
             Case{{-0.6, -0.6, 1, 1}, 1, 1, {{-0.6, -0.66 + 1}, {0.9, 1.1}}},
             // The same with an increment of 0 (a bottom maximum under 5):
             // the axis spans the reading and a tenth beside it.
             Case{{-0.0005, -0.0005, -1, -1}, 0, 0, {{-0.0005, -0.00045}, {-0.9, -0.81}}},
         }) {
        const ViewLimits v = extensometer_limits(c.curve, c.bottom_increment, c.left_increment);
        EXPECT_DOUBLE_EQ(v.bottom.min, c.limits.bottom.min);
        EXPECT_DOUBLE_EQ(v.bottom.max, c.limits.bottom.max);
        EXPECT_DOUBLE_EQ(v.left.min, c.limits.left.min);
        EXPECT_DOUBLE_EQ(v.left.max, c.limits.left.max);
    }
}

}  // namespace
}  // namespace lekta
