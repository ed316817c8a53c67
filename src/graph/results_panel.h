#pragma once
// The results read from the curve, beside the unit's own, in a panel of the
// graph window that the operator shows or hides ("Параметры" → "Результаты
// по кривой", off until asked for; the choice stays for the run). Each value
// in kN, МПа or percent, the unit's value beside it and the difference in
// percent, or the reason it is absent; on the chart a marker at each place a
// value was read, in the view it belongs to, and the 0.2 % offset line in
// the F(H e) view. Under the table the modulus E the offset line has, how
// well the points fit it and over which range it was fitted.
//
// The markers and the line are series of the window's chart added after its
// four own ones. They are active only while the panel is shown and only in
// their view, and they are kept inside the extent of their view's curve, so
// the automatic ranges and the view switch's arithmetic come out as without
// them.
#include <QFrame>
#include <array>
#include <memory>
#include <vector>

#include "analysis/result_comparison.h"

class QAction;
class QLabel;

namespace lekta {

namespace ui {
class Chart;
class ChartSeries;
struct ChartPoint;
}  // namespace ui

// The part of the shifted elastic line the F(H e) view draws: from where it
// leaves F = 0 to a little above Fp0.2 (to Fm when it meets nothing), cut to
// the extent of the curve (min_x … max_x, min_y … max_y). Empty without an
// offset line or when no part of it lies inside.
std::vector<ui::ChartPoint> offset_line_points(const analysis::CurveResults& results, double min_x,
                                               double max_x, double min_y, double max_y);

class ResultsPanel : public QFrame {
    Q_OBJECT
public:
    // travel and extension are the chart's F(H) and F(H e) curves.
    ResultsPanel(ui::Chart& chart, const ui::ChartSeries& travel, const ui::ChartSeries& extension,
                 QWidget* parent = nullptr);
    ~ResultsPanel() override;

    // The checkable menu item that shows and hides the panel.
    QAction* ToggleAction() const { return toggle_; }

    // A test's results (UI thread; the loader computed them), the view
    // shown: 0 F(H), 1 F(H e). Without results the panel says so.
    void SetResults(std::shared_ptr<const analysis::ComparedResults> results, int view);
    const analysis::ComparedResults* Results() const { return results_.get(); }
    // The view switch changed the view; the window calls it before the
    // switch rescales the axes.
    void SetView(int view);
    // The F(H) curve was rebuilt shifted by this many kN (the parameters
    // dialog's offset): its markers follow it. A new test starts at 0.
    void SetTravelOffset(double kn);

    // The texts as shown: row 0 the headers, rows 1 … 9 the quantities in
    // the order of analysis::quantities(); columns: quantity, value from the
    // curve, the unit's value, difference.
    static constexpr int kColumns = 4;
    static constexpr int kRows = 1 + static_cast<int>(analysis::kQuantityCount);
    QString Text(int row, int column) const;

    // Under the table: the elastic line the proof strength rests on ("E =
    // 205,3 ГПа; R² = 0,9999") and, on a line of its own, the method and range
    // ("E по 10–40 % Rp0.2, 23 точки"); without an extensometer, that there
    // is no E and no Rp0.2.
    QString ElasticText() const;
    QString MethodText() const;

    // The markers: view 0 or 1, in the order Fm, FeH, FeL, Fp0.2.
    static constexpr std::array<analysis::Quantity, 4> kMarked = {
        analysis::Quantity::Fm, analysis::Quantity::FeH, analysis::Quantity::FeL,
        analysis::Quantity::Fp02};
    ui::ChartSeries* Marker(int view, std::size_t index) const { return markers_[view][index]; }
    ui::ChartSeries* OffsetLine() const { return offset_line_; }

private:
    void shown_changed(bool shown);
    void fill_texts();
    // Places the markers and the line for the results and makes active the
    // ones that belong to the view while the panel is shown.
    void place_series();

    double travel_offset_ = 0;
    const ui::ChartSeries& travel_;
    const ui::ChartSeries& extension_;
    QAction* toggle_;
    std::array<std::array<ui::ChartSeries*, kMarked.size()>, 2> markers_{};
    ui::ChartSeries* offset_line_ = nullptr;
    std::array<std::array<QLabel*, kColumns>, kRows> cells_{};
    QLabel* elastic_ = nullptr;
    QLabel* method_ = nullptr;
    QLabel* note_ = nullptr;
    std::shared_ptr<const analysis::ComparedResults> results_;
    int view_ = 0;
};

}  // namespace lekta
