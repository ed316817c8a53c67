#pragma once
// Tensile tests measured on universal testing machines, read from the
// published files beside the checkout (LEKTA_REAL_CURVES_DIR), and the
// quantities worked out from them independently of the engine: in stress
// against strain, by the tensile-testing standard's own methods.
#include "analysis/curve_analysis.h"

#include <optional>
#include <string>
#include <vector>

namespace lekta::testing {

struct RealCurve {
    std::string name;
    std::vector<analysis::CurvePoint> points;  // kN, crosshead mm, extensometer mm
    double area_mm2 = 0;
    double gauge_mm = 0;
    analysis::CurveInput input() const { return {points, true, area_mm2, gauge_mm}; }
    // Every k-th point, from the first.
    RealCurve thinned(std::size_t k) const;
};

// The folder, or empty where it is absent.
std::string real_curves_dir();
// The six tests, or none where the folder is absent.
std::vector<RealCurve> real_curves();

// The standard's values for a record.
struct Reference {
    double rm_mpa = 0;
    double agt_percent = 0;
    std::optional<double> rp02_mpa;
    std::optional<double> modulus_gpa;
    std::optional<double> reh_mpa;
    std::optional<double> proof_strain;  // where Rp0.2 was read
};
// The yield rule takes the proof point from `whole` where given (a record
// too coarse for the proof strength still shows where hardening began).
Reference reference_values(const RealCurve& c, const Reference* whole = nullptr);

}  // namespace lekta::testing
