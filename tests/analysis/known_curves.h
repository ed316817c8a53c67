#pragma once
// Curves with results known in closed form, recorded as a unit would: the
// machine travel is the strain on 100 mm, the extensometer's on 50 mm.
#include "analysis/curve_analysis.h"
#include "lib/sample_tests.h"

#include <cmath>
#include <vector>

namespace lekta::testing {

struct KnownCurve {
    std::vector<analysis::CurvePoint> points;
    double area_mm2 = 78.5;
    double gauge_mm = 50;
    bool extensometer = true;

    void add(double f_kn, double strain)
    {
        points.push_back({f_kn, strain * 100, strain * gauge_mm});
    }
    analysis::CurveInput input() const { return {points, extensometer, area_mm2, gauge_mm}; }
    KnownCurve noisy(std::uint64_t seed, double f_dev_kn, double he_dev_mm) const
    {
        tools::SampleRng rng(seed);
        KnownCurve c = *this;
        for (analysis::CurvePoint& p : c.points) {
            p.f_kn += f_dev_kn * rng.normal();
            p.he_mm += he_dev_mm * rng.normal();
        }
        return c;
    }
};

// Elastic at 15700 kN per unit strain (200 GPa on 78.5 mm²) up to 20 kN, then
// hardening at 100 kN per unit strain to 15 % strain, then necking.
constexpr double kSlope = 15700, kYield = 20, kHardening = 100;
inline double bilinear_max()
{
    return kYield + kHardening * (0.15 - kYield / kSlope);
}
// Where the elastic line shifted by 0.2 % meets the hardening line.
inline double bilinear_proof()
{
    const double ey = kYield / kSlope;
    return kSlope * ((kYield - kHardening * ey + 0.002 * kSlope) / (kSlope - kHardening) - 0.002);
}
inline KnownCurve bilinear()
{
    KnownCurve c;
    const double ey = kYield / kSlope;
    for (int k = 0; k <= 40; ++k)
        c.add(kYield * k / 40, ey * k / 40);
    for (double e = ey + 0.0005; e < 0.15; e += e < 0.01 ? 0.0005 : 0.002)
        c.add(kYield + kHardening * (e - ey), e);
    c.add(bilinear_max(), 0.15);
    for (int k = 1; k <= 10; ++k)
        c.add(bilinear_max() * (1 - 0.02 * k), 0.15 + 0.003 * k);
    return c;
}

// Upper yield 50 kN at point 30, optionally an undershoot to 43 kN, a plateau
// at 45 kN whose lowest point is 44.5 kN, hardening to max_kn at 15 % strain.
inline KnownCurve sharp_yield(bool undershoot = true, double max_kn = 70)
{
    KnownCurve c;
    for (int k = 0; k <= 30; ++k)
        c.add(50.0 * k / 30, 0.0025 * k / 30);
    c.add(47, 0.00255);
    if (undershoot) {
        c.add(43, 0.0026);
        c.add(44, 0.0027);
    }
    for (int k = 0; k <= 100; ++k)
        c.add(k == 50 ? 44.5 : 45 + 0.05 * std::sin(k), 0.0028 + 0.0002 * k);
    for (int k = 1; k <= 60; ++k)
        c.add(45 + (max_kn - 45) * (1 - std::pow(1 - k / 60.0, 2)),
              0.0228 + (0.15 - 0.0228) * k / 60);
    for (int k = 1; k <= 10; ++k)
        c.add(max_kn - 1.5 * k, 0.15 + 0.003 * k);
    return c;
}

// strain = s / E + 0.002 (s / 300 МПа)^12 on 50 mm²: the plastic strain is
// 0.2 % exactly at 300 МПа, so Fp0.2 is 15 kN.
inline KnownCurve smooth_yield()
{
    KnownCurve c;
    c.area_mm2 = 50;
    for (double s = 0; s < 375; s += 0.7)
        c.add(s * 0.05, s / 200000 + 0.002 * std::pow(s / 300, 12));
    const double top = c.points.back().f_kn, e_top = c.points.back().he_mm / 50;
    for (int k = 1; k <= 10; ++k)
        c.add(top * (1 - 0.02 * k), e_top + 0.003 * k);
    return c;
}

}  // namespace lekta::testing
