#pragma once
// A test file for the unit simulator to play back, and what the online
// window must show for the unit's points.
#include "common/number_text.h"
#include "online/link_interfaces.h"
#include "support/test_support.h"

#include "lib/bmd_writer.h"
#include "lib/sample_tests.h"
#include "lib/unit_curve.h"

#include <algorithm>
#include <string>
#include <vector>

namespace lekta::testing {

inline constexpr const char* kCompleted = "Испытание завершено !!!";

// Negative loads and travels show as 0.
inline LinkPoint curve_point(const tools::UnitPoint& p)
{
    const std::int32_t f = std::max(p.f, 0);
    const std::int32_t h = std::max(p.h, 0);
    return {static_cast<double>(static_cast<long double>(h) / 1000),
            static_cast<double>(static_cast<long double>(f) / 1000)};
}
inline LinkPoint extensometer_point(const tools::UnitPoint& p)
{
    return {static_cast<double>(static_cast<long double>(p.he) / 10000),
            static_cast<double>(static_cast<long double>(std::max(p.f, 0)) / 1000)};
}

inline std::vector<LinkPoint> curve_of(const std::vector<tools::UnitPoint>& points)
{
    std::vector<LinkPoint> out;
    for (const tools::UnitPoint& p : points)
        out.push_back(curve_point(p));
    return out;
}
inline std::vector<LinkPoint> extensometer_curve_of(const std::vector<tools::UnitPoint>& points)
{
    std::vector<LinkPoint> out;
    for (const tools::UnitPoint& p : points)
        if (p.he != tools::kNoExtensometer)
            out.push_back(extensometer_point(p));
    return out;
}

// The main curve of a completed test: the points, then the drop to zero
// load at the last deformation.
inline std::vector<LinkPoint> completed_curve_of(const std::vector<tools::UnitPoint>& points)
{
    std::vector<LinkPoint> out = curve_of(points);
    if (!points.empty() && points.back().f > 0)
        out.push_back({curve_point(points.back()).x, 0.0});
    return out;
}

// Newtons as kN, micrometres as mm, tenths of micrometres as mm: the texts
// of the labels and the point table.
inline std::string kn(std::int32_t newtons)
{
    return number_text(static_cast<long double>(newtons) / 1000);
}
inline std::string mm(std::int32_t micrometres)
{
    return number_text(static_cast<long double>(micrometres) / 1000);
}
inline std::string ext_mm(std::int32_t tenths)
{
    return number_text(static_cast<long double>(tenths) / 10000);
}

struct PlayedTest {
    std::string path;
    tools::UnitCurve curve;
};
inline PlayedTest played_test(const TempDir& dir, tools::SampleKind kind, int points,
                              bool extensometer)
{
    tools::SampleSpecimen specimen;
    specimen.kind = kind;
    specimen.material = tools::Material::St3;
    specimen.size1_mm = 12;
    specimen.points = points;
    specimen.seed = 7;
    PlayedTest t;
    t.path = dir.file("played.bmd");
    if (!tools::write_bmd(t.path, tools::synthesize_test(specimen)))
        return t;
    t.curve = tools::curve_from_file(t.path, extensometer);
    return t;
}

}  // namespace lekta::testing
