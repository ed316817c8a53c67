#include "lib/unit_curve.h"

#include "testfile/buffer.h"
#include "testfile/errors.h"
#include "testfile/fields.h"
#include "testfile/reader.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace lekta::tools {

namespace {

// Engineering stress (MPa) of a hot-rolled bar at strain e.
double stress_at(double e)
{
    constexpr double kE = 200'000.0, kYield = 500.0, kUltimate = 620.0;
    constexpr double kYieldStrain = kYield / kE, kHardenStart = 0.02, kUniform = 0.15,
                     kBreak = 0.22;
    if (e <= kYieldStrain)
        return kE * e;
    if (e <= kHardenStart)  // Lüders plateau, the load wavering about the lower yield
        return kYield - 8.0 + 6.0 * std::sin(e * 2500.0);
    if (e <= kUniform) {
        const double x = (e - kHardenStart) / (kUniform - kHardenStart);
        return (kYield - 8.0) + (kUltimate - kYield + 8.0) * (1.0 - (1.0 - x) * (1.0 - x));
    }
    const double x = (e - kUniform) / (kBreak - kUniform);
    return kUltimate * (1.0 - 0.25 * x * x);
}

}  // namespace

std::size_t index_reaching(const std::vector<UnitPoint>& points, std::int32_t load)
{
    for (std::size_t i = 0; i < points.size(); ++i)
        if (points[i].f >= load)
            return i;
    return points.empty() ? 0 : points.size() - 1;
}

UnitCurve synthetic_curve(bool extensometer)
{
    constexpr double kArea = 201.0;          // mm², 16 mm bar
    constexpr double kFreeLength = 200'000;  // µm between the grips
    constexpr double kFrameUmPerN = 0.01;    // frame and grip give, µm per N
    constexpr double kGauge = 500'000;       // extensometer gauge in tenths of a µm (50 mm)
    constexpr double kExtensometerOff = 0.012;

    // Strain steps: dense through the elastic part and the yield, coarser later.
    std::vector<double> strains;
    for (int i = 0; i <= 40; ++i)
        strains.push_back(0.0025 * i / 40.0);
    for (int i = 1; i <= 60; ++i)
        strains.push_back(0.0025 + (0.02 - 0.0025) * i / 60.0);
    for (int i = 1; i <= 150; ++i)
        strains.push_back(0.02 + (0.15 - 0.02) * i / 150.0);
    for (int i = 1; i <= 50; ++i)
        strains.push_back(0.15 + (0.22 - 0.15) * i / 50.0);

    UnitCurve c;
    unsigned noise = 12345;
    for (double e : strains) {
        noise = noise * 1103515245u + 12345u;
        const double wobble = (static_cast<int>((noise >> 16) % 101) - 50) * 1.0;  // ±50 N
        UnitPoint p;
        p.f = std::max(0,
                       static_cast<int>(std::lround(stress_at(e) * kArea + (e > 0 ? wobble : 0))));
        p.h = static_cast<std::int32_t>(std::lround(e * kFreeLength + p.f * kFrameUmPerN));
        p.he = extensometer && e <= kExtensometerOff
                   ? static_cast<std::int32_t>(std::lround(e * kGauge))
                   : kNoExtensometer;
        c.points.push_back(p);
    }
    // After the break the load falls away at the last travel.
    UnitPoint broken = c.points.back();
    broken.f = static_cast<std::int32_t>(broken.f * 0.1);
    c.points.push_back(broken);

    // Lower yield: the least load on the plateau, known once the plateau has begun.
    const std::size_t plateau = 41, plateau_end = 100;
    std::int32_t lower = c.points[plateau].f;
    for (std::size_t i = plateau; i <= plateau_end; ++i)
        lower = std::min(lower, c.points[i].f);
    c.yield_load = lower;
    c.yield_index = plateau + 5;
    if (extensometer) {
        // 0.2 % permanent strain is reached a few points into the plateau.
        std::size_t i = plateau;
        while (i < c.points.size() && strains[i] < 0.0025 + 0.002)
            ++i;
        c.proof_index = i;
        c.proof_load = c.points[i].f;
    }
    return c;
}

UnitCurve curve_from_file(const std::string& path, bool extensometer)
{
    if (!read_test_file(path))
        throw std::runtime_error("cannot open " + path);
    const std::int32_t n = point_count();
    if (n <= 0)
        throw std::runtime_error(path + " holds no points");
    const bool ext_layout = is_extensometer_layout();
    UnitCurve c;
    for (std::int32_t i = 0; i < n; ++i) {
        const PointRecord r = point_record(i);
        c.points.push_back({r.f, r.h, ext_layout && extensometer ? r.he : kNoExtensometer});
    }
    c.yield_load = static_cast<std::int32_t>(tail_u32(Tail::YieldLoad));
    c.yield_index = index_reaching(c.points, c.yield_load);
    if (ext_layout && extensometer) {
        c.proof_load = static_cast<std::int32_t>(tail_u32(Tail::ProofLoad));
        c.proof_index = index_reaching(c.points, c.proof_load);
    }
    return c;
}

}  // namespace lekta::tools
