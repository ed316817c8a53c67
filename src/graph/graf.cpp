#include "graph/graf.h"

#include "app/catalogue_columns.h"
#include "app/shell_state.h"
#include "chart/chart.h"
#include "common/number_text.h"
#include "graph/graph_parameters.h"
#include "graph/graph_state.h"
#include "graph/graph_worker.h"
#include "graph/radio_group.h"
#include "graph/results_panel.h"
#include "graph/view_limits.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"
#include "ui/guarded_connect.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <vector>

namespace lekta {

namespace {

constexpr int kTableWidth = 240;              // the panel on the right
constexpr std::int32_t kDarkBlue = 0x400000;  // RGB (0, 0, 64)
constexpr std::int32_t kLime = 0x00FF00;

CurveExtent extent_of(const ui::ChartSeries& series)
{
    return {series.MinXValue(), series.MaxXValue(), series.MinYValue(), series.MaxYValue()};
}

double cell_number(const QString& text)
{
    return parse_number(text.toStdString());
}

// The y of a reference line's second point, 0 while it has none.
double level_of(const ui::ChartSeries& line)
{
    return line.Count() > 1 ? line.YValue(1) : 0;
}

}  // namespace

TForm3::TForm3(QWidget* parent) : QDialog(parent, Qt::Window)
{
    setObjectName("Form3");
    setWindowTitle(QStringLiteral("ЛЕКТА-ЗИВ8"));
    resize(1024, 700);

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName("MainMenu1");
    build_menu();

    RadioGroup1 = new RadioGroup({QStringLiteral("F(H)"), QStringLiteral("F(H e)")}, this);
    RadioGroup1->setObjectName("RadioGroup1");
    RadioGroup1->setFixedSize(185, 34);
    RadioGroup1->SetItemIndex(0);
    ui::connect_guarded(RadioGroup1, &RadioGroup::Changed, this, &TForm3::RadioGroup1Click);

    Chart1 = new ui::Chart(this);
    Chart1->setObjectName("Chart1");
    Chart1->LeftAxis().SetTitle(QStringLiteral("F, кН"));
    Chart1->BottomAxis().SetTitle(QStringLiteral("Δ ,мм "));
    Chart1->RightAxis().SetTitle(QStringLiteral("f,мм"));
    Series1 = Chart1->AddSeries(ui::SeriesKind::Line);
    Series2 = Chart1->AddSeries(ui::SeriesKind::FastLine);
    Series3 = Chart1->AddSeries(ui::SeriesKind::Line);
    Series4 = Chart1->AddSeries(ui::SeriesKind::FastLine);
    Series1->SetColor(shell().color_f);
    Series2->SetColor(shell().color_ft);
    Series3->SetColor(kDarkBlue);
    Series4->SetColor(kLime);
    // Its markers and offset line come after the four series.
    ResultsPanel1 = new ResultsPanel(*Chart1, *Series1, *Series3, this);
    N1->insertAction(N1->actions().value(N1->actions().indexOf(N2) + 1),
                     ResultsPanel1->ToggleAction());
    ui::connect_guarded(Chart1, &ui::Chart::Clicked, this, &TForm3::Chart1Click);

    CheckBox1 = new QCheckBox(QStringLiteral("Точки данных"), this);
    CheckBox1->setObjectName("CheckBox1");
    ui::connect_guarded(CheckBox1, &QCheckBox::toggled, this, &TForm3::CheckBox1Click);

    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedWidth(kTableWidth);
    NextGrid1 = new ui::Grid(Panel1);
    NextGrid1->setObjectName("NextGrid1");
    const QString captions[] = {QStringLiteral("F, кH"), QStringLiteral("H Δ, мм "),
                                QStringLiteral("H Δe, мм ")};
    for (int c = 0; c < 3; ++c) {
        ui::GridColumn column;
        column.name = QStringLiteral("NxTextColumn%1").arg(c + 1);
        column.caption = captions[c];
        column.width = 70;
        column.sortable = true;
        column.auto_size = true;
        column.alignment = Qt::AlignCenter;
        NextGrid1->AddColumn(column);
    }
    auto* panel_layout = new QVBoxLayout(Panel1);
    panel_layout->setContentsMargins(0, 0, 0, 0);
    panel_layout->addWidget(NextGrid1);

    auto* chart_side = new QVBoxLayout;
    chart_side->setContentsMargins(0, 0, 0, 0);
    chart_side->setSpacing(2);
    chart_side->addWidget(RadioGroup1, 0, Qt::AlignLeft);
    chart_side->addWidget(Chart1, 1);
    chart_side->addWidget(CheckBox1, 0, Qt::AlignLeft);
    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(2);
    body->addLayout(chart_side, 1);
    body->addWidget(ResultsPanel1);
    body->addWidget(Panel1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setMenuBar(MainMenu1);
    layout->addLayout(body);

    ui::guarded([this] { FormCreate(); });
}

TForm3::~TForm3()
{
    // A loader still running would hand its steps to a window that is gone.
    MY::stop_running();
}

void TForm3::build_menu()
{
    N1 = MainMenu1->addMenu(QStringLiteral("Параметры"));
    N1->setObjectName("N1");
    auto item = [this](QAction*& action, const char* name, const char* caption,
                       std::function<void()> handler) {
        action = N1->addAction(QString::fromUtf8(caption));
        action->setObjectName(name);
        if (handler)
            ui::connect_guarded(action, &QAction::triggered, this, handler);
    };
    item(N2, "N2", "Настройки Графика", [this] { N2Click(); });
    N1->addSeparator();
    item(N3, "N3", "Экспорт", [this] { N3Click(); });
    item(N5, "N5", "Сохранить График в  Файл", [this] { N5Click(); });
    item(Gt1, "Gt1", "Печать Графика", [this] { Gt1Click(); });
    N1->addSeparator();
    item(N7, "N7", "Выход", [this] { N7Click(); });
}

void TForm3::FormCreate()
{
    CheckBox1->setChecked(false);
}

void TForm3::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    ui::guarded([this] { FormShow(); });
    emit Shown();
}

std::vector<ui::GridRow> TForm3::EmptyTable()
{
    std::vector<ui::GridRow> rows;
    NextGrid1->SwapRows(rows);
    return rows;
}

void TForm3::ShowCurve(LoadedCurve& curve)
{
    setWindowTitle(curve.caption);
    Series1->Clear();
    Series2->Clear();
    Series3->Clear();
    if (!curve.extensometer)
        Series4->Clear();
    if (curve.table) {
        NextGrid1->SetGeneratedRows(
            curve.table->rows(),
            [table = curve.table](int column, int row) { return table->text(column, row); },
            curve.table->longest());
    } else {
        NextGrid1->ClearRows();
    }
    Series1->ReplacePoints(std::move(curve.travel));
    Series3->ReplacePoints(std::move(curve.extension));
    graph_state().Ft = curve.yield_load;
    if (curve.extensometer) {
        RadioGroup1->show();
        NextGrid1->SetColumnVisible(2, true);
    } else {
        Series3->SetActive(false);
        Series4->SetActive(false);
        RadioGroup1->hide();
        NextGrid1->SetColumnVisible(2, false);
    }
    ResultsPanel1->SetResults(std::move(curve.results), RadioGroup1->ItemIndex());
    // A new test starts in full view; the chart draws it when shown.
    Chart1->UndoZoom();
}

void TForm3::ShowModal(std::function<void()> after_paint)
{
    after_paint_ = std::move(after_paint);
    setWindowState(windowState() | Qt::WindowMaximized);
    exec();
    // Closed before the step came round: it is due all the same, now.
    run_after_paint();
}

void TForm3::run_after_paint()
{
    if (after_paint_)
        std::exchange(after_paint_, {})();
}

void TForm3::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // The window's own paint comes first; its children follow in the same
    // turn of the event loop, so the step waits for the next one.
    if (after_paint_)
        ui::call_later_guarded(0, this, [this] { run_after_paint(); });
}

void TForm3::FormShow()
{
    ShellState& s = shell();
    Series3->SetActive(false);
    Series4->SetActive(false);
    Series4->Clear();
    RadioGroup1->SetItemIndex(0);
    if (s.line_width.isEmpty())
        s.line_width = QStringLiteral("3");

    const ui::Grid& row_cells = *catalogue_;
    const int row = s.opened_row;
    // An empty F0.2 or Fт cell (tests without those results) draws no
    // line rather than a line at 0 or no title at all.
    const QString f02_text = row_cells.Cell(kColumnProofLoad, row);
    const bool has_f02 = !f02_text.isEmpty();
    const double f02 = has_f02 ? cell_number(f02_text) : 0;
    Series1->SetLineWidth(parse_int(s.line_width.toStdString()));
    Series1->SetColor(s.color_f);
    Series2->SetColor(s.color_ft);
    const QString ft_text = row_cells.Cell(kColumnYieldLoad, row);
    const bool has_ft = !ft_text.isEmpty();
    graph_state().ft_line = has_ft;
    const double ft = has_ft ? cell_number(ft_text) : 0;
    if (has_ft)
        Series2->AddXY(Series1->MinXValue(), ft);
    if (has_f02)
        Series4->AddXY(Series3->MinXValue(), f02);
    Chart1->Title().Clear();
    Chart1->Title().Add(QStringLiteral("Серия-") + row_cells.Cell(kColumnSeries, row) +
                        QStringLiteral(" №-") + row_cells.Cell(kColumnNumber, row) + " " +
                        row_cells.Cell(kColumnShape, row) + "-" + row_cells.Cell(kColumnSize, row) +
                        QStringLiteral(" мм.") + QStringLiteral("  Ft=") + ft_text +
                        QStringLiteral(" кН."));
    if (has_ft)
        Series2->AddXY(Series1->MaxXValue(), ft);
    if (has_f02)
        Series4->AddXY(Series3->MaxXValue(), f02);
    Chart1->LeftAxis().SetAutomatic(true);
    Chart1->BottomAxis().SetAutomatic(true);
    if (!RadioGroup1->isHidden())
        widen(*Series1, 5);
}

void TForm3::widen(const ui::ChartSeries& series, double share)
{
    ui::ChartAxis& bottom = Chart1->BottomAxis();
    ui::ChartAxis& left = Chart1->LeftAxis();
    const ViewLimits w = widened(
        {{bottom.Minimum(), bottom.Maximum()}, {left.Minimum(), left.Maximum()}}, extent_of(series),
        share);
    bottom.SetMaximum(w.bottom.max);
    left.SetMaximum(w.left.max);
    left.SetMinimum(w.left.min);
}

void TForm3::RadioGroup1Click()
{
    ui::ChartAxis& bottom = Chart1->BottomAxis();
    ui::ChartAxis& left = Chart1->LeftAxis();
    Chart1->UndoZoom();
    // The results' markers follow the view before the axes take their ranges.
    ResultsPanel1->SetView(RadioGroup1->ItemIndex());
    if (RadioGroup1->ItemIndex() == 0) {
        Series1->SetActive(true);
        Series2->SetActive(true);
        Series3->SetActive(false);
        Series4->SetActive(false);
        left.SetTitle(QStringLiteral("N,кН"));
        bottom.SetTitle(QStringLiteral("H Δ, мм"));
        bottom.SetIncrement(1);
        // From the curve's own range, not the one the other view left.
        left.SetAutomatic(true);
        bottom.SetAutomatic(true);
        widen(*Series1, 5);
        return;
    }
    if (RadioGroup1->ItemIndex() != 1)
        return;
    Series1->SetActive(false);
    Series2->SetActive(false);
    Series3->SetActive(true);
    Series4->SetActive(true);
    left.SetTitle(QStringLiteral("N,кН"));
    bottom.SetTitle(QStringLiteral("H Δe,мм"));
    bottom.SetIncrement(extensometer_increment(bottom.Maximum()));
    // The limits below are set one end after the other, each checked
    // against the other end: start from this curve's own range.
    left.SetAutomatic(true);
    bottom.SetAutomatic(true);
    const ViewLimits limits = extensometer_limits(extent_of(*Series3), bottom.Increment(),
                                                  left.Increment());
    Bmin = limits.bottom.min;
    Bmax = limits.bottom.max;
    Lmin = limits.left.min;
    Lmax = limits.left.max;
    bottom.SetMinimum(Bmin);
    bottom.SetMaximum(Bmax);
    left.SetMinimum(Lmin);
    left.SetMaximum(Lmax);
    widen(*Series3, 10);
}

void TForm3::CheckBox1Click()
{
    Series1->SetPointerVisible(CheckBox1->isChecked());
}

void TForm3::Chart1Click()
{
    if (Chart1->isEnabled() && Chart1->isVisible())
        Chart1->setFocus(Qt::MouseFocusReason);
}

void TForm3::N2Click()
{
    if (parameters_)
        ui::exec_over(*parameters_, this);
}

void TForm3::N3Click()
{
    if (on_export)
        on_export();
}

void TForm3::N5Click()
{
    if (on_save_picture)
        on_save_picture();
}

void TForm3::Gt1Click()
{
    if (on_print_chart)
        on_print_chart();
}

void TForm3::Button1Click()
{
    Gt1Click();
}

void TForm3::N7Click()
{
    close();
}

QString TForm3::title_line() const
{
    const QStringList& lines = Chart1->Title().Lines();
    return lines.isEmpty() ? QString() : lines.front();
}

std::optional<double> TForm3::ft_level() const
{
    const GraphState& g = graph_state();
    return g.ft_line ? std::optional<double>(g.Ft) : std::nullopt;
}

double TForm3::f02_level() const
{
    return level_of(*Series4);
}

const analysis::ComparedResults* TForm3::curve_results() const
{
    return ResultsPanel1->Results();
}

int TForm3::curve_line_width() const
{
    return Series1->LineWidth();
}

void TForm3::apply_line_settings(int width, std::int32_t colour_f, std::int32_t colour_ft)
{
    Series1->SetColor(colour_f);
    Series2->SetColor(colour_ft);
    Series1->SetLineWidth(width);
    Series1->Repaint();
    Series2->Repaint();
}

std::function<void()> TForm3::prepare_offset(int offset_kn)
{
    // While the loader fills the hidden window its curve is not ours to
    // rebuild; once the window is up its curve is complete.
    if (!isVisible() && shell().buffer_busy)
        return {};
    const int rows = NextGrid1->RowCount();
    std::vector<ui::ChartPoint> curve;
    curve.reserve(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        const QString& h = NextGrid1->Cell(1, r);
        if (h.isEmpty())
            continue;
        curve.push_back({parse_number(h.toStdString()),
                         parse_number(NextGrid1->Cell(0, r).toStdString()) + offset_kn});
    }
    return [this, curve = std::move(curve), ft = graph_state().Ft, offset_kn]() mutable {
        Series2->Clear();
        Series1->ReplacePoints(std::move(curve));
        // The Ft line only in the F(H) view, and only for a test that has one.
        if (Series2->Active() && graph_state().ft_line) {
            Series2->AddXY(Series1->MinXValue(), ft + offset_kn);
            Series2->AddXY(Series1->MaxXValue(), ft + offset_kn);
        }
        ResultsPanel1->SetTravelOffset(offset_kn);
    };
}

}  // namespace lekta
