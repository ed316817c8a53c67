#pragma once
// Results from the curve: maximum force and tensile strength, upper and lower
// yield, the 0.2 % proof force by the offset method and the strain at the
// maximum force, computed from a test's points the way a tensile testing
// laboratory evaluates a curve. Plain C++, no state: the graph window may call
// it on any thread.
#include "analysis/curve_results.h"

#include <span>

namespace lekta::analysis {

// One recorded point as the graph window shows it.
struct CurvePoint {
    double f_kn = 0;   // load
    double h_mm = 0;   // deformation by machine travel, H Δ
    double he_mm = 0;  // deformation by extensometer, H Δe (extensometer tests)
};

struct CurveInput {
    std::span<const CurvePoint> points;  // in file order; the curve may turn back
    bool extensometer = false;           // the points carry H Δe
    double area_mm2 = 0;                 // cross-section S
    double gauge_base_mm = 0;            // extensometer gauge base Le
};

// Every quantity, present or with the reason it is absent. Points with a
// value that is not a finite number are left out; nothing here divides by a
// zero area or gauge base.
CurveResults analyse_curve(const CurveInput& input);

}  // namespace lekta::analysis
