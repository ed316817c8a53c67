#pragma once
// The series window: every test of a series as a curve on one chart, each
// in its own colour with a legend entry "Серия-19 №-3"; the view switch
// F(H) / F(H e) (extensometer tests only), loads or stresses; beside the
// chart the table of results with their statistics. A legend entry or a
// table row picks a curve out (drawn wider, the others thin). Zoom and pan
// are the chart's. Nothing here writes a file: "Экспорт" and "Печать" are
// the program entry's commands.
#include <QDialog>
#include <functional>
#include <vector>

#include "series/series_table.h"
#include "series/series_test.h"
#include "series/series_view.h"

class QCheckBox;
class QListWidget;
class QPushButton;
class QSplitter;
class QTableWidget;

namespace lekta {

class RadioGroup;
namespace ui {
class Chart;
class ChartSeries;
}  // namespace ui

class TForm12 : public QDialog {
    Q_OBJECT
public:
    explicit TForm12(QWidget* parent = nullptr);

    // The tests as loaded, left-out ones included: curves, legend, table.
    // Starts in the F(H) load view, nothing picked out, the full view.
    void ShowSeries(std::vector<series::SeriesTest> tests);

    void SetView(series::SeriesView view);
    series::SeriesView View() const { return view_; }
    // Picks out the index-th curve (order of Tests()); −1 none.
    void Highlight(int index);
    int Highlighted() const { return highlighted_; }

    // The tests on the chart, in the order of the curves and the legend.
    const std::vector<series::SeriesTest>& Tests() const { return shown_; }
    const series::SeriesTable& Table() const { return table_; }
    // "Серия 22, испытаний: 6" (several series: "Серии 12, 19, …").
    QString TitleText() const;
    // The line width the curves are drawn with: the graph's setting (2 when
    // none is set) for up to kWideCurvesAtMost curves, 1 pixel for more.
    int LineWidth() const { return width_; }
    static constexpr std::size_t kWideCurvesAtMost = 12;

    std::function<void()> on_export;
    std::function<void()> on_print;

    ui::Chart* Chart1;
    QListWidget* ListBox1;                     // the legend
    RadioGroup* RadioGroup1;                   // F(H) / F(H e)
    QCheckBox* CheckBox1;                      // "Напряжение, МПа"
    QTableWidget* NextGrid1;                   // results and statistics
    QPushButton *Button1, *Button2, *Button3;  // "Экспорт", "Печать", "Закрыть"

private:
    void fill_table();
    void apply_view();
    void apply_widths();

    std::vector<series::SeriesTest> shown_;
    series::SeriesTable table_;
    std::vector<ui::ChartSeries*> curves_;
    series::SeriesView view_;
    int highlighted_ = -1;
    int width_ = 2;
    bool any_extensometer_ = false;
};

}  // namespace lekta
