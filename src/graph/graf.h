#pragma once
// The graph window: one test's load–deformation curve beside its point
// table. Created once and reused: the loader (graph_worker.h) fills it while
// it is hidden and then shows it modally; showing it (FormShow) draws the
// reference lines and the title from the opened catalogue row.
//
// Series1 F(H) curve, Series2 Ft line, Series3 F(H e) curve, Series4 F0.2
// line. The view switch RadioGroup1 chooses F(H) or F(H e) (extensometer
// tests only); "Точки данных" shows the markers of Series1.
#include <QDialog>
#include <functional>
#include <optional>

#include "graph/curve_loader.h"
#include "ui/graph_settings_target.h"
#include "ui/grid_model.h"

class QAction;
class QCheckBox;
class QMenu;
class QMenuBar;
class QWidget;

namespace lekta {

namespace ui {
class Chart;
class ChartSeries;
class Grid;
}  // namespace ui
class RadioGroup;
class ResultsPanel;
class TForm11;

class TForm3 : public QDialog, public ui::GraphSettingsTarget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    ~TForm3() override;

    // The catalogue whose opened row gives the title and the reference
    // levels, and the parameters dialog "Настройки Графика" opens.
    void set_catalogue(const ui::Grid* catalogue) { catalogue_ = catalogue; }
    void set_parameters_dialog(TForm11* dialog) { parameters_ = dialog; }
    // "Экспорт", "Сохранить График в  Файл" and "Печать Графика": the program
    // entry wires them to the curve export, the chart picture and the chart print.
    std::function<void()> on_export;
    std::function<void()> on_save_picture;
    std::function<void()> on_print_chart;

    QMenuBar* MainMenu1;
    QMenu* N1;  // "Параметры"
    QAction *N2, *N3, *N5, *Gt1, *N7;
    RadioGroup* RadioGroup1;
    ui::Chart* Chart1;
    ui::ChartSeries *Series1, *Series2, *Series3, *Series4;
    QWidget* Panel1;
    ui::Grid* NextGrid1;
    QCheckBox* CheckBox1;
    // Results from the curve, hidden until "Результаты по кривой" is ticked.
    ResultsPanel* ResultsPanel1;

    // Limits of the F(H e) view, kept by the view switch.
    double Bmax = 0, Bmin = 0, Lmax = 0, Lmin = 0;

    // The loader's steps on the hidden window (UI thread). Emptying the
    // point table hands its rows back, for the loader to free off this
    // thread; showing a curve takes over its points and table and sets the
    // caption and the layout's switch and column.
    std::vector<ui::GridRow> EmptyTable();
    void ShowCurve(LoadedCurve& curve);
    // Opens the window maximised and returns when the operator closed it;
    // after_paint runs once the window has been painted the first time.
    void ShowModal(std::function<void()> after_paint = {});

    // Handlers, callable from tests as the window calls them.
    void FormShow();
    void RadioGroup1Click();
    void CheckBox1Click();
    void Chart1Click();
    void N2Click();       // "Настройки Графика"
    void N3Click();       // "Экспорт"
    void N5Click();       // "Сохранить График в  Файл"
    void Gt1Click();      // "Печать Графика"
    void Button1Click();  // the chart's hidden "Печать": prints the chart too
    void N7Click();       // "Выход"

    // What the curve export takes from the window: the first title line, the
    // test's Ft as the loader read it (none for a test without one, whatever
    // the Ft line shows after the parameters dialog) and the level of the
    // F0.2 line (its second point; 0 without one).
    QString title_line() const;
    std::optional<double> ft_level() const;
    double f02_level() const;
    // The results from the curve of the test shown (null before a test).
    const analysis::ComparedResults* curve_results() const;

    // The parameters dialog's settings: width and colours go to the F(H)
    // curve and the Ft line; the offset rebuilds the F(H) curve from the
    // point table plus the offset, the Ft line at the loader's Ft plus the
    // offset (F(H) view only) and moves the results panel's markers. A table
    // cell that is not a number refuses the offset with the conversion error.
    int curve_line_width() const override;
    void apply_line_settings(int width, std::int32_t colour_f, std::int32_t colour_ft) override;
    std::function<void()> prepare_offset(int offset_kn) override;

signals:
    // FormShow has run (the window is up, its first paint follows).
    void Shown();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FormCreate();
    void build_menu();
    // Widens the axes by share percent of the series' largest X and Y.
    void widen(const ui::ChartSeries& series, double share);
    void run_after_paint();

    const ui::Grid* catalogue_ = nullptr;
    TForm11* parameters_ = nullptr;
    std::function<void()> after_paint_;
};

}  // namespace lekta
