#pragma once
// The curve of the test in the test buffer as the graph window shows it:
// its caption, its layout, the F(H) and F(H e) curves and the texts of the
// point table. Reading it touches no window, so the loader thread does it
// while the operator's windows stay live.
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "ui/chart_thinning.h"

namespace lekta {

// The frame's rated load for the header's model index 0 … 4: "50", "100",
// "200", "300", "500". RangeError for any other index.
const QString& model_text(unsigned model_index);
// "ЛЕКТА " + model text + "-ЗИВ8".
QString graph_caption(unsigned model_index);

struct LoadedCurve {
    QString caption;
    bool extensometer = false;
    // The tail's point count as stored (0 or less: no points).
    std::int32_t point_count = 0;
    // (H Δ, F) of every point with F ≥ 0, in file order.
    std::vector<ui::ChartPoint> travel;
    // (H Δe, F) of every point, extensometer layout only.
    std::vector<ui::ChartPoint> extension;
    // The point table, row by row: F, H Δ, H Δe ("" in the standard layout).
    std::vector<QString> cells;
    // The tail's yield load in kN.
    double yield_load = 0;

    int rows() const { return static_cast<int>(cells.size() / 3); }
};

// Reads the test in the buffer, point by point; after point po (1-based)
// of n it calls progress(po, n), and stops when that returns false (the
// result is then incomplete). RangeError where a read leaves its bounds: a model index
// above 4, a tail outside the file, a record past the buffer's end.
LoadedCurve read_curve(const std::function<bool(std::int32_t po, std::int32_t n)>& progress);

}  // namespace lekta
