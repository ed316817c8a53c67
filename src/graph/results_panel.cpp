#include "graph/results_panel.h"

#include "chart/chart.h"
#include "common/number_text.h"
#include "ui/guarded_connect.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace lekta {

namespace {

using analysis::Quantity;

constexpr int kPanelWidth = 380;
constexpr std::int32_t kMarkerColour = 0x900090;  // RGB (144, 0, 144)
constexpr std::int32_t kOffsetColour = 0x0080FF;  // RGB (255, 128, 0)
constexpr double kMarkerSize = 9;
constexpr int kOffsetWidth = 2;
// How far above Fp0.2 the offset line runs, as a share of Fp0.2.
constexpr double kOffsetOvershoot = 0.12;

QString text_of(const std::string& s)
{
    return QString::fromStdString(s);
}

// The value rounded as shown, with the regional separator.
QString number_of(double value, int decimals)
{
    if (!std::isfinite(value))
        return QStringLiteral("—");
    const double scale = std::pow(10.0, decimals);
    return text_of(decimal_text(std::llround(value * scale), decimals));
}

QString value_of(double value, analysis::Quantity q)
{
    return number_of(value, analysis::decimals_of(analysis::unit_of(q)));
}

// Cuts the segment a–b to the rectangle (Liang and Barsky); false when
// nothing of it lies inside.
bool clip(ui::ChartPoint& a, ui::ChartPoint& b, double min_x, double max_x, double min_y,
          double max_y)
{
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.x - min_x, max_x - a.x, a.y - min_y, max_y - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    const ui::ChartPoint from = a;
    a = {from.x + t0 * dx, from.y + t0 * dy};
    b = {from.x + t1 * dx, from.y + t1 * dy};
    return true;
}

}  // namespace

std::vector<ui::ChartPoint> offset_line_points(const analysis::CurveResults& results, double min_x,
                                               double max_x, double min_y, double max_y)
{
    if (!results.has_offset_line)
        return {};
    const analysis::OffsetLine& line = results.offset_line;
    if (!(line.slope_kn > 0) || !(line.gauge_base_mm > 0))
        return {};
    const analysis::Result& proof = results[Quantity::Fp02];
    const analysis::Result& top = results[Quantity::Fm];
    double f_end = 0;
    if (proof.present())
        f_end = proof.value * (1 + kOffsetOvershoot);
    else if (top.present())
        f_end = top.value;
    if (!(f_end > 0))
        return {};
    // The shifted line: F = slope ÷ Le × (x − x0), x0 where it leaves F = 0.
    const double x0 = line.he_at_zero_mm + line.offset_mm;
    ui::ChartPoint a{x0, 0};
    ui::ChartPoint b{x0 + f_end * line.gauge_base_mm / line.slope_kn, f_end};
    if (!std::isfinite(a.x) || !std::isfinite(b.x) || !clip(a, b, min_x, max_x, min_y, max_y))
        return {};
    return {a, b};
}

ResultsPanel::ResultsPanel(ui::Chart& chart, const ui::ChartSeries& travel,
                           const ui::ChartSeries& extension, QWidget* parent)
    : QFrame(parent), travel_(travel), extension_(extension)
{
    setObjectName("ResultsPanel");
    setFrameShape(QFrame::StyledPanel);
    setFixedWidth(kPanelWidth);

    toggle_ = new QAction(QStringLiteral("Результаты по кривой"), this);
    toggle_->setObjectName("N8");
    toggle_->setCheckable(true);
    toggle_->setChecked(false);
    ui::connect_guarded(toggle_, &QAction::toggled, this, &ResultsPanel::shown_changed);

    // The line first: the markers' names are drawn over it.
    offset_line_ = chart.AddSeries(ui::SeriesKind::FastLine);
    offset_line_->SetActive(false);
    offset_line_->SetColor(kOffsetColour);
    offset_line_->SetLineWidth(kOffsetWidth);
    for (auto& view : markers_) {
        for (std::size_t i = 0; i < kMarked.size(); ++i) {
            ui::ChartSeries* s = chart.AddSeries(ui::SeriesKind::FastLine);
            s->SetActive(false);
            s->SetColor(kMarkerColour);
            s->SetPointerVisible(true);
            s->SetPointerSize(kMarkerSize);
            // Right of the point: clear of the curve rising to it and of
            // the axis labels when it lies near the left edge.
            s->SetPointLabel(text_of(analysis::symbol(kMarked[i])), ui::LabelSide::Right);
            view[i] = s;
        }
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* title = new QLabel(QStringLiteral("Результаты по кривой"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            auto* cell = new QLabel(this);
            cell->setWordWrap(c == 1);
            cell->setAlignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            cell->setTextInteractionFlags(Qt::TextSelectableByMouse);
            if (r == 0 || c == 0)
                cell->setFont(bold);
            grid->addWidget(cell, r, c);
            cells_[r][c] = cell;
        }
    }
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 3);
    grid->setColumnStretch(3, 2);
    layout->addLayout(grid);
    elastic_ = new QLabel(this);
    elastic_->setObjectName("ElasticLabel");
    elastic_->setWordWrap(true);
    elastic_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(elastic_);
    method_ = new QLabel(this);
    method_->setObjectName("MethodLabel");
    method_->setWordWrap(true);
    layout->addWidget(method_);
    note_ = new QLabel(this);
    note_->setWordWrap(true);
    layout->addWidget(note_);
    layout->addStretch();
    fill_texts();
    hide();
}

ResultsPanel::~ResultsPanel() = default;

void ResultsPanel::SetResults(std::shared_ptr<const analysis::ComparedResults> results, int view)
{
    results_ = std::move(results);
    view_ = view;
    travel_offset_ = 0;
    fill_texts();
    place_series();
}

void ResultsPanel::SetTravelOffset(double kn)
{
    travel_offset_ = kn;
    place_series();
}

void ResultsPanel::SetView(int view)
{
    if (view == view_)
        return;
    view_ = view;
    place_series();
}

void ResultsPanel::shown_changed(bool shown)
{
    setVisible(shown);
    place_series();
}

QString ResultsPanel::Text(int row, int column) const
{
    return cells_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column))->text();
}

QString ResultsPanel::ElasticText() const
{
    return elastic_->text();
}

QString ResultsPanel::MethodText() const
{
    return method_->text();
}

void ResultsPanel::fill_texts()
{
    const QString headers[kColumns] = {QStringLiteral("Величина"), QStringLiteral("По кривой"),
                                       QStringLiteral("Прибор"), QStringLiteral("Разница, %")};
    for (int c = 0; c < kColumns; ++c)
        cells_[0][c]->setText(headers[c]);
    const auto& all = analysis::quantities();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Quantity q = all[i];
        const int r = static_cast<int>(i) + 1;
        cells_[r][0]->setText(text_of(analysis::symbol(q)) + ", " +
                              text_of(analysis::unit_text(analysis::unit_of(q))));
        if (!results_) {
            for (int c = 1; c < kColumns; ++c)
                cells_[r][c]->clear();
            continue;
        }
        const analysis::Result& value = results_->computed[q];
        cells_[r][1]->setText(value.present() ? value_of(value.value, q)
                                              : text_of(analysis::absence_text(value.absence)));
        // The unit's value named as the catalogue names it: Fт beside FeL.
        const std::optional<double>& stored = results_->stored_of(q);
        cells_[r][2]->setText(stored
                                  ? text_of(analysis::stored_symbol(q)) + " " + value_of(*stored, q)
                                  : QStringLiteral("—"));
        const std::optional<double> difference = results_->difference_percent(q);
        QString d;
        if (difference) {
            d = number_of(*difference, 2);
            if (d != "0" && !d.startsWith('-'))
                d.prepend('+');
        }
        cells_[r][3]->setText(d);
    }
    elastic_->clear();
    method_->clear();
    if (results_) {
        const analysis::ElasticFit& e = results_->computed.elastic;
        if (e.present()) {
            elastic_->setText(QStringLiteral("E = ") + number_of(e.modulus_gpa, 1) +
                              QStringLiteral(" ГПа; R² = ") + number_of(e.r_squared, 4));
            method_->setText(text_of(analysis::elastic_method_text(e)));
        } else if (e.absence == analysis::Absence::NoExtensometer) {
            elastic_->setText(
                QStringLiteral("Без экстензометра E и Rp0.2 не определяются: перемещение траверсы "
                               "включает податливость машины."));
        } else {
            elastic_->setText(QStringLiteral("E: ") + text_of(analysis::absence_text(e.absence)));
        }
    }
    elastic_->setHidden(elastic_->text().isEmpty());
    method_->setHidden(method_->text().isEmpty());
    note_->setText(
        results_ ? QStringLiteral("Прибор — значения, записанные прибором. Его Fв — нагрузка при "
                                  "разрыве, поэтому Fm сравнивается по Rm и δв.")
                 : QStringLiteral("Результаты не вычислены."));
}

void ResultsPanel::place_series()
{
    const bool shown = toggle_->isChecked();
    for (int v = 0; v < 2; ++v) {
        // F(H) shows H Δ along X, F(H e) the extensometer's H Δe.
        const ui::ChartSeries& curve = v == 0 ? travel_ : extension_;
        for (std::size_t i = 0; i < kMarked.size(); ++i) {
            ui::ChartSeries& marker = *markers_[v][i];
            marker.Clear();
            const analysis::Result* r = results_ ? &results_->computed[kMarked[i]] : nullptr;
            if (!r || !r->present() || curve.Count() == 0) {
                marker.SetActive(false);
                continue;
            }
            const double x = v == 0 ? r->place.h_mm : r->place.he_mm;
            const double y = r->place.f_kn + (v == 0 ? travel_offset_ : 0);
            // Only where it lies within the curve drawn.
            const bool inside = x >= curve.MinXValue() && x <= curve.MaxXValue() &&
                                y >= curve.MinYValue() && y <= curve.MaxYValue();
            if (inside)
                marker.AddXY(x, y);
            marker.SetActive(shown && v == view_ && inside);
        }
    }
    offset_line_->Clear();
    std::vector<ui::ChartPoint> line;
    if (results_ && extension_.Count() > 0)
        line = offset_line_points(results_->computed, extension_.MinXValue(),
                                  extension_.MaxXValue(), extension_.MinYValue(),
                                  extension_.MaxYValue());
    offset_line_->ReplacePoints(std::move(line));
    offset_line_->SetActive(shown && view_ == 1 && offset_line_->Count() > 0);
}

}  // namespace lekta
