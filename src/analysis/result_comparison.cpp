#include "analysis/result_comparison.h"

#include "analysis/curve_analysis.h"
#include "testfile/buffer.h"
#include "testfile/fields.h"

#include <cmath>

namespace lekta::analysis {

std::optional<double> ComparedResults::difference_percent(Quantity q) const
{
    const Result& c = computed[q];
    const std::optional<double>& s = stored_of(q);
    if (!c.present() || !s || *s == 0)
        return std::nullopt;
    return (c.value - *s) / *s * 100;
}

const std::string& stored_symbol(Quantity q)
{
    static const std::string none, ft = "Fт", yield = "δт", tensile = "δв", proof = "F0.2",
                                   proof_stress = "б0.2";
    switch (q) {
    case Quantity::FeL: return ft;
    case Quantity::ReL: return yield;
    case Quantity::Rm: return tensile;
    case Quantity::Fp02: return proof;
    case Quantity::Rp02: return proof_stress;
    default: return none;
    }
}

ComparedResults compare_with_stored(const CurveResults& computed, const StoredResults& stored,
                                    bool compression)
{
    ComparedResults r;
    r.computed = computed;
    auto put = [&r](Quantity q, std::optional<double> v) {
        r.stored[static_cast<std::size_t>(q)] = v;
    };
    if (!compression) {
        // A plateau material's Fт is the lowest load of the plateau: FeL.
        // For a smooth one the unit stores an offset value there, and FeL
        // is then absent beside it.
        put(Quantity::FeL, stored.yield_load_kn);
        put(Quantity::ReL, stored.yield_stress_mpa);
        put(Quantity::Rm, stored.tensile_strength_mpa);
    }
    put(Quantity::Fp02, stored.proof_load_kn);
    put(Quantity::Rp02, stored.proof_stress_mpa);
    return r;
}

ComparedResults analyse_buffer_test()
{
    const TestCurve curve = read_test_curve();
    const StoredResults stored = read_stored_results();
    const bool compression = !curve.extensometer && read_byte(kMode) == 1;
    return compare_with_stored(analyse_curve(curve.input()), stored, compression);
}

int decimals_of(Unit unit)
{
    return unit == Unit::Percent ? 2 : 3;
}

double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

}  // namespace lekta::analysis
