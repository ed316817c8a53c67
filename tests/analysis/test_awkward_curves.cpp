// Curves a unit may well record that leave values undefined or try the
// thresholds: no points, one point, no load, negative loads and dropouts,
// unloading, settling grips, no extensometer, zero area or gauge base, values
// that are not numbers.
#include "analysis/curve_analysis.h"

#include "analysis/known_curves.h"

#include <gtest/gtest.h>

#include <limits>

using namespace lekta::analysis;
using namespace lekta::testing;

TEST(AwkwardCurves, NoPointsNoLoadOnePoint)
{
    const CurveResults none = analyse_curve({{}, false, 78.5, 0});
    for (Quantity q : {Quantity::Fm, Quantity::Rm, Quantity::FeH, Quantity::ReL})
        EXPECT_EQ(none[q].absence, Absence::NoPoints);
    EXPECT_EQ(none[Quantity::Fp02].absence, Absence::NoExtensometer);
    EXPECT_EQ(analyse_curve({{}, true, 78.5, 50})[Quantity::Agt].absence, Absence::NoPoints);

    KnownCurve slack;  // zero and negative loads only
    for (int k = 0; k < 20; ++k)
        slack.add(k % 3 == 0 ? 0 : -0.5 * k, 0.0001 * k);
    const CurveResults rs = analyse_curve(slack.input());
    for (Quantity q : {Quantity::Fm, Quantity::Rm, Quantity::FeL, Quantity::Fp02, Quantity::Agt})
        EXPECT_EQ(rs[q].absence, Absence::NoTension);

    KnownCurve one;
    one.add(12.5, 0.01);
    const CurveResults r1 = analyse_curve(one.input());
    EXPECT_DOUBLE_EQ(r1[Quantity::Fm].value, 12.5);
    EXPECT_DOUBLE_EQ(r1[Quantity::Agt].value, 1);
    EXPECT_EQ(r1[Quantity::FeH].absence, Absence::NoYieldPoint);
    EXPECT_EQ(r1[Quantity::Rp02].absence, Absence::FewElasticPoints);
    EXPECT_FALSE(r1.has_offset_line);
}

TEST(AwkwardCurves, NegativeLoadsDropoutsAndNonNumbersChangeNothing)
{
    const KnownCurve clean = bilinear();
    KnownCurve c;
    for (int k = 0; k < 10; ++k)  // compressed while the grips closed
        c.add(-0.3 - 0.01 * k, 0);
    c.points.insert(c.points.end(), clean.points.begin(), clean.points.end());
    c.points.insert(c.points.begin() + 80, {-5, c.points[79].h_mm, c.points[79].he_mm});
    // Values that are not numbers (from a caller's texts) are left out too.
    c.points.insert(c.points.begin() + 13, {std::numeric_limits<double>::quiet_NaN(), 0.01, 0.005});
    c.points.insert(c.points.begin() + 70, {30, std::numeric_limits<double>::infinity(), 1});
    const CurveResults r = analyse_curve(c.input()), expected = analyse_curve(clean.input());
    for (Quantity q : quantities()) {
        EXPECT_EQ(r[q].absence, expected[q].absence) << symbol(q);
        EXPECT_NEAR(r[q].value, expected[q].value, 1e-9) << symbol(q);
    }
    // Places keep the numbers of the points as given.
    EXPECT_EQ(r[Quantity::Fm].place.point, expected[Quantity::Fm].place.point + 13);

    // Right after the upper yield and on the plateau.
    KnownCurve yield = sharp_yield();
    for (std::ptrdiff_t at : {31, 90})
        yield.points.insert(yield.points.begin() + at, {-2, yield.points[at].h_mm, 0});
    const CurveResults ry = analyse_curve(yield.input());
    EXPECT_DOUBLE_EQ(ry[Quantity::FeH].value, 50);
    EXPECT_DOUBLE_EQ(ry[Quantity::FeL].value, 44.5);
}

TEST(AwkwardCurves, UnloadingSettlingAndFractureAreNoYieldPoints)
{
    // Unloaded to 10 kN in the hardening and loaded again: the travel goes
    // back with the force, and the curve turns back on itself.
    KnownCurve c = bilinear();
    const CurvePoint turn = c.points[70];
    std::vector<CurvePoint> loop;
    for (double f : {turn.f_kn - 4, turn.f_kn - 8, 10.0, turn.f_kn - 8, turn.f_kn - 4}) {
        const double e = turn.he_mm / 50 - (turn.f_kn - f) / kSlope;
        loop.push_back({f, e * 100, e * 50});
    }
    c.points.insert(c.points.begin() + 71, loop.begin(), loop.end());
    CurveResults r = analyse_curve(c.input());
    EXPECT_EQ(r[Quantity::FeH].absence, Absence::NoYieldPoint);
    EXPECT_NEAR(r[Quantity::Fm].value, bilinear_max(), 1e-9);
    EXPECT_NEAR(r[Quantity::Fp02].value, bilinear_proof(), 1e-6);

    // A slip of the grips at low load, and readings after the fracture.
    c = bilinear();
    c.points.insert(c.points.begin() + 5, {{3, 0.02, 0.01}, {1, 0.021, 0.0105}});
    c.points.push_back({0.2, 20, 10});
    c.points.push_back({1.5, 20.1, 10});
    EXPECT_EQ(analyse_curve(c.input())[Quantity::FeL].absence, Absence::NoYieldPoint);
}

// A reading far above the necking curve (a spike on the line) makes the
// force climb again after a clear fall. Whatever is read from that, the
// lower yield force is a force of the yielding, below the upper one, never
// the spike itself.
TEST(AwkwardCurves, ASpikeAfterTheMaximumIsNoLowerYield)
{
    for (const double spike : {1.05, 1.3}) {
        KnownCurve c = bilinear();
        c.add(bilinear_max() * spike, 0.15 + 0.033);
        c.add(bilinear_max() * 0.78, 0.15 + 0.036);
        const CurveResults r = analyse_curve(c.input());
        EXPECT_DOUBLE_EQ(r[Quantity::Fm].value, bilinear_max() * spike);
        ASSERT_EQ(r[Quantity::FeH].present(), r[Quantity::FeL].present());
        if (!r[Quantity::FeH].present())
            continue;
        EXPECT_LE(r[Quantity::FeL].value, r[Quantity::FeH].value) << spike;
        EXPECT_LT(r[Quantity::FeL].place.point, r[Quantity::Fm].place.point) << spike;
        EXPECT_GT(r[Quantity::FeL].place.point, r[Quantity::FeH].place.point) << spike;
    }
}

TEST(AwkwardCurves, MissingExtensometerAreaOrGaugeBase)
{
    KnownCurve c = sharp_yield();
    c.extensometer = false;
    CurveResults r = analyse_curve(c.input());
    EXPECT_TRUE(r[Quantity::ReL].present());
    for (Quantity q : {Quantity::Fp02, Quantity::Rp02, Quantity::Agt})
        EXPECT_EQ(r[q].absence, Absence::NoExtensometer);

    c.extensometer = true;
    c.gauge_mm = 0;
    c.area_mm2 = 0;
    r = analyse_curve(c.input());
    EXPECT_DOUBLE_EQ(r[Quantity::FeL].value, 44.5);
    for (Quantity q : {Quantity::Rm, Quantity::ReH, Quantity::ReL})
        EXPECT_EQ(r[q].absence, Absence::NoArea);
    for (Quantity q :
         {Quantity::Fp02, Quantity::Rp02, Quantity::Agt})  // Rp0.2 misses its force first
        EXPECT_EQ(r[q].absence, Absence::NoGaugeBase);

    c = bilinear();  // an extensometer that never moved
    for (CurvePoint& p : c.points)
        p.he_mm = 0;
    r = analyse_curve(c.input());
    EXPECT_EQ(r[Quantity::Fp02].absence, Absence::NoLinearPart);
    EXPECT_DOUBLE_EQ(r[Quantity::Agt].value, 0);
}
