#pragma once
// The results read from the curve beside the ones the unit stored: for each
// quantity the unit's own value where it stores one (the same quantity in the
// same unit) and the difference between the two in percent. The graph
// window's results panel and the curve export show them.
#include "analysis/curve_results.h"
#include "analysis/test_curve.h"

#include <array>
#include <optional>
#include <string>

namespace lekta::analysis {

struct ComparedResults {
    CurveResults computed;
    // The unit's value of each quantity, where it stores one.
    std::array<std::optional<double>, kQuantityCount> stored;

    const std::optional<double>& stored_of(Quantity q) const
    {
        return stored[static_cast<std::size_t>(q)];
    }
    // (computed − stored) ÷ stored × 100, where both exist and the stored value is not 0.
    std::optional<double> difference_percent(Quantity q) const;
};

// The unit's name of the value compared with q ("Fт", "δт", "δв", "F0.2",
// "б0.2"), empty where the unit stores none. Its Fв is the force at fracture,
// not the maximum, so Fm has no counterpart: Rm is compared with δв.
const std::string& stored_symbol(Quantity q);

// The stored values paired with the computed ones. A compression test
// stores no yield and no tensile strength (the catalogue shows none): only
// its F0.2 and б0.2, where its layout has them, are compared.
ComparedResults compare_with_stored(const CurveResults& computed, const StoredResults& stored,
                                    bool compression);

// The test in the test buffer read, analysed and compared (the loader thread
// calls it while the buffer holds the test); RangeError as the reader raises it.
ComparedResults analyse_buffer_test();

// A value rounded as it is shown and exported: kN and МПа to the unit's
// resolution of 0.001, percent to 0.01.
int decimals_of(Unit unit);
double rounded(double value, int decimals);

}  // namespace lekta::analysis
