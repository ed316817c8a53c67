#pragma once
// The curve of the test in the test buffer as the graph window shows it:
// its caption, its layout, the F(H) and F(H e) curves and the point table.
// Reading it touches no window, so the loader thread does it while the
// operator's windows stay live.
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "analysis/result_comparison.h"
#include "chart/chart_thinning.h"
#include "testfile/fields.h"

namespace lekta {

// The frame's rated load for the header's model index 0 … 4: "50", "100",
// "200", "300", "500". RangeError for any other index.
const QString& model_text(unsigned model_index);
// "ЛЕКТА " + model text + "-ЗИВ8".
QString graph_caption(unsigned model_index);

// raw ÷ 10^decimals as the point table shows it: the shortest decimal
// notation with the regional separator `separator` (12345, 3 → "12,345").
// The same text as decimal_text (testfile/number_text.h) without its
// intermediate strings.
QString point_text(std::int32_t raw, int decimals, const QString& separator);

// The point table of a test: per point record F (÷ 1000, kN), H Δ (÷ 1000,
// mm) and H Δe (÷ 10000, mm; no text in the standard layout), in file
// order. It keeps the readings and writes a text when the table needs it:
// a test of 64,000 points holds some 200,000 texts, of which the operator
// sees a screenful.
class PointTable {
public:
    PointTable(std::vector<PointRecord> records, bool extensometer, QString separator);

    int rows() const { return static_cast<int>(records_.size()); }
    QString text(int column, int row) const;
    // The longest text of each column (the table fits its widths to them).
    const std::vector<QString>& longest() const { return longest_; }

private:
    std::vector<PointRecord> records_;
    bool extensometer_;
    QString separator_;  // the one in force when the test was read
    std::vector<QString> longest_;
};

struct LoadedCurve {
    QString caption;
    bool extensometer = false;
    // The tail's point count as stored (0 or less: no points).
    std::int32_t point_count = 0;
    // (H Δ, F) of every point with F ≥ 0, in file order.
    std::vector<ui::ChartPoint> travel;
    // (H Δe, F) of every point, extensometer layout only.
    std::vector<ui::ChartPoint> extension;
    std::shared_ptr<const PointTable> table;
    // The tail's yield load in kN.
    double yield_load = 0;
    // The results read from the curve beside the unit's (the loader fills
    // them in after read_curve; none when nothing computed them).
    std::shared_ptr<const analysis::ComparedResults> results;
};

// Reads the test in the buffer, point by point; after point po (1-based)
// of n it calls progress(po, n), and stops when that returns false (the
// result is then incomplete). RangeError where a read leaves its bounds: a
// model index above 4, a tail outside the file, a record past the buffer's
// end.
LoadedCurve read_curve(const std::function<bool(std::int32_t po, std::int32_t n)>& progress);

}  // namespace lekta
