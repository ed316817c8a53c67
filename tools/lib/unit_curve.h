#pragma once
// The test the simulated unit plays back: its points in the unit's own units
// and where along them the yield loads become known.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lekta::tools {

// The unit's value for "no extensometer reading".
constexpr std::int32_t kNoExtensometer = 0x00FFFFFF;

struct UnitPoint {
    std::int32_t f = 0;                 // N
    std::int32_t h = 0;                 // micrometres of machine travel
    std::int32_t he = kNoExtensometer;  // tenths of a micrometre on the extensometer
    friend bool operator==(const UnitPoint&, const UnitPoint&) = default;
};

struct UnitCurve {
    std::vector<UnitPoint> points;
    std::int32_t yield_load = 0;  // Ft, N; 0 = never determined
    std::size_t yield_index = 0;  // Ft is known once this point has been sent
    std::int32_t proof_load = 0;  // F0.2, N; 0 = never determined
    std::size_t proof_index = 0;  // F0.2 is known once this point has been sent
};

// A plausible tension test of a 16 mm bar: elastic rise, yield plateau,
// hardening, necking and break, about three hundred points. With
// `extensometer` the first part carries extensometer readings until the
// extensometer is taken off, the rest kNoExtensometer.
UnitCurve synthetic_curve(bool extensometer);

// The points and results of a test file (either layout). The standard layout
// has no extensometer readings; without `extensometer` they are dropped from
// the extensometer layout too. Throws std::runtime_error when the file cannot
// be read or holds no points.
UnitCurve curve_from_file(const std::string& path, bool extensometer);

// First index at or after which the load reaches `load`; the last index when
// it never does (a load given is known by the end of the test at the latest).
std::size_t index_reaching(const std::vector<UnitPoint>& points, std::int32_t load);

}  // namespace lekta::tools
