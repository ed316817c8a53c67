#pragma once
// One test of a series as the series window shows it: its name, its curves
// in both views, its area, the unit's stored results and the results read
// from the curve, or the reason it is left out. Plain C++ (the curve
// points are the chart layer's plain structs).
#include <optional>
#include <string>
#include <vector>

#include "analysis/curve_results.h"
#include "analysis/test_curve.h"
#include "chart/chart_thinning.h"

namespace lekta::series {

enum class LeftOut {
    None,
    Unreadable,   // the file cannot be opened or read
    Damaged,      // a header byte outside its table, a tail or point outside the file
    NoCurve,      // the test was stored without a curve
    Compression,  // a compression test: its curve does not compare with tension tests
    NoPoints,     // the curve holds no point with a load
};

// The operator's words for a reason ("файл повреждён", …); empty for None.
const std::string& left_out_text(LeftOut reason);

struct SeriesTest {
    std::string file;  // the catalogue's entry name as shown
    int series = 0;
    int number = 0;
    bool extensometer = false;
    double area_mm2 = 0;
    double gauge_base_mm = 0;
    // (H Δ, F) of every point with F ≥ 0, and (H Δe, F) of every point
    // (extensometer tests), in file order, as the graph window draws them.
    std::vector<ui::ChartPoint> travel;
    std::vector<ui::ChartPoint> extension;
    analysis::StoredResults stored;
    analysis::CurveResults results;
    LeftOut left_out = LeftOut::None;
    std::string detail;  // what the reader said, for a damaged file

    bool included() const { return left_out == LeftOut::None; }
    // "Серия-19 №-3", the legend's and the table's name of the test.
    std::string label() const;
};

// Reads the file at path into the test buffer and takes the test out of
// it; the caller holds the buffer (nothing else may read or refill it
// meanwhile). Never throws for a bad file: the test comes back left out
// with its reason.
SeriesTest load_series_test(const std::string& path, const std::string& shown_name);

// The loads of points turned into stresses: F (kN) × 1000 ÷ S (mm²) in
// МПа. Empty for an area that is not positive.
std::vector<ui::ChartPoint> stress_points(const std::vector<ui::ChartPoint>& points,
                                          double area_mm2);

}  // namespace lekta::series
