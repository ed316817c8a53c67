#pragma once
// The test in the test buffer as the curve analysis takes it: the points
// scaled as the graph window shows them, the cross-section and the gauge
// base from the header, and the results the unit stored in the tail, for
// showing beside the computed ones.
#include "analysis/curve_analysis.h"

#include <optional>
#include <vector>

namespace lekta::analysis {

struct TestCurve {
    std::vector<CurvePoint> points;  // F = f / 1000 kN, H Δ = h / 1000 mm, H Δe = he / 10000 mm
    bool extensometer = false;       // extensometer layout
    double area_mm2 = 0;             // area / 10
    double gauge_base_mm = 0;        // gauge_base / 100 (extensometer layout)

    CurveInput input() const { return {points, extensometer, area_mm2, gauge_base_mm}; }
};

// Reads the buffer's test; RangeError as the reader's fields raise it (a
// point record or the tail outside the buffer). No points for a point count
// of 0 or less.
TestCurve read_test_curve();

// The unit's results from the tail, each value / 1000.
struct StoredResults {
    double yield_stress_mpa = 0;             // δт
    double yield_load_kn = 0;                // Fт
    double tensile_strength_mpa = 0;         // δв
    double breaking_load_kn = 0;             // Fв
    std::optional<double> proof_load_kn;     // F0.2, extensometer layout only
    std::optional<double> proof_stress_mpa;  // б0.2, extensometer layout only
};
StoredResults read_stored_results();

}  // namespace lekta::analysis
