#include "analysis/test_curve.h"

#include "testfile/buffer.h"
#include "testfile/fields.h"

#include <algorithm>

namespace lekta::analysis {

TestCurve read_test_curve()
{
    TestCurve c;
    c.extensometer = is_extensometer_layout();
    c.area_mm2 = read_word(kArea) / 10.0;
    if (c.extensometer)
        c.gauge_base_mm = read_word(kGaugeBase) / 100.0;
    const std::int32_t n = point_count();
    if (n <= 0)
        return c;
    // A count larger than the buffer can hold ends in RangeError at the first
    // record past its end; reserve no more than fits.
    c.points.reserve(std::min<std::size_t>(static_cast<std::size_t>(n), kTestBufferSize / 16));
    for (std::int32_t i = 0; i < n; ++i) {
        const PointRecord p = point_record(i);
        c.points.push_back({p.f / 1000.0, p.h / 1000.0, p.he / 10000.0});
    }
    return c;
}

StoredResults read_stored_results()
{
    auto thousandths = [](Tail field) { return tail_u32(field) / 1000.0; };
    StoredResults s;
    s.yield_stress_mpa = thousandths(Tail::YieldStress);
    s.yield_load_kn = thousandths(Tail::YieldLoad);
    s.tensile_strength_mpa = thousandths(Tail::TensileStrength);
    s.breaking_load_kn = thousandths(Tail::BreakingLoad);
    if (is_extensometer_layout()) {
        s.proof_load_kn = thousandths(Tail::ProofLoad);
        s.proof_stress_mpa = thousandths(Tail::ProofStress);
    }
    return s;
}

}  // namespace lekta::analysis
