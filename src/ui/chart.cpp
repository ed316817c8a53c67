#include "ui/chart.h"

#include "testfile/number_text.h"
#include "ui/chart_ticks.h"
#include "ui/chart_view.h"

#include <QCategoryAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QPen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace lekta::ui {

namespace {

// Fonts are held in pixels (points at 96 per inch), so that a chart drawn
// onto a printer's page keeps its proportions whatever the printer's
// resolution: a point-sized font would be sized again for the page.
QFont pixel_font(QFont font)
{
    if (font.pixelSize() <= 0)
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pointSizeF() * 96 / 72))));
    return font;
}

// Space between the title lines and the chart's edge and plot.
constexpr int kMargin = 6;

void style_axis(QCategoryAxis* axis, const QFont& font)
{
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setLabelsFont(font);
    axis->setLabelsColor(Qt::black);
    QFont title = font;
    title.setBold(false);
    axis->setTitleFont(title);
    axis->setTitleBrush(Qt::black);
    axis->setLinePen(QPen(Qt::black, 1));
    axis->setGridLinePen(QPen(QColor(192, 192, 192), 1, Qt::DotLine));
    axis->setShadesVisible(false);
    axis->setMinorGridLineVisible(false);
    axis->setRange(0, 1);
}

QString label_text(double v)
{
    return QString::fromStdString(number_text(v));
}

}  // namespace

Chart::Chart(QWidget* parent)
    : QWidget(parent),
      title_([this] { settings_changed(); }),
      left_(AxisPlace::Left, [this] { return data_range(false); }, [this] { settings_changed(); }),
      bottom_(AxisPlace::Bottom, [this] { return data_range(true); }, [this] { settings_changed(); }),
      right_(AxisPlace::Right, [] { return AxisRange{}; }, [this] { settings_changed(); }),
      chart_(new QChart),
      view_(new ChartView(chart_, *this)),
      title_item_(new ChartTitleItem(title_, chart_)),
      drawn_left_(new QCategoryAxis),
      drawn_bottom_(new QCategoryAxis),
      drawn_right_(new QCategoryAxis)
{
    right_.SetVisible(false);
    QFont title_font = pixel_font(font());
    title_font.setBold(true);
    title_font.setPixelSize(title_font.pixelSize() + 2);
    title_.SetFont(title_font);

    chart_->legend()->hide();
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setBackgroundBrush(Qt::white);
    chart_->setBackgroundPen(Qt::NoPen);
    chart_->setBackgroundRoundness(0);
    chart_->setDropShadowEnabled(false);
    // A frame round the plot, as operators know it from the printed charts.
    chart_->setPlotAreaBackgroundVisible(true);
    chart_->setPlotAreaBackgroundBrush(Qt::NoBrush);
    chart_->setPlotAreaBackgroundPen(QPen(QColor(128, 128, 128), 1));
    chart_->layout()->setContentsMargins(0, 0, 0, 0);
    const QFont labels = pixel_font(font());
    style_axis(drawn_left_, labels);
    style_axis(drawn_bottom_, labels);
    style_axis(drawn_right_, labels);
    drawn_right_->setGridLineVisible(false);
    chart_->addAxis(drawn_bottom_, Qt::AlignBottom);
    chart_->addAxis(drawn_left_, Qt::AlignLeft);
    chart_->addAxis(drawn_right_, Qt::AlignRight);
    connect(chart_, &QChart::plotAreaChanged, this, [this] {
        if (!in_sync_) {
            pending_ = true;
            schedule();
        }
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setBackgroundRole(QPalette::Base);
    settings_changed();
}

Chart::~Chart() = default;

void Chart::SetTitleVisible(bool visible)
{
    title_visible_ = visible;
    settings_changed();
}

ChartSeries* Chart::AddSeries(SeriesKind kind)
{
    auto* line = new QLineSeries;
    chart_->addSeries(line);
    line->attachAxis(drawn_bottom_);
    line->attachAxis(drawn_left_);
    series_.push_back(std::unique_ptr<ChartSeries>(new ChartSeries(*this, kind, line)));
    settings_changed();
    return series_.back().get();
}

ChartSeries* Chart::Series(int index) const
{
    if (index < 0 || index >= SeriesCount())
        throw std::out_of_range("Series index out of range (" + std::to_string(index) + ")");
    return series_[static_cast<std::size_t>(index)].get();
}

AxisRange Chart::data_range(bool horizontal) const
{
    AxisRange out;
    for (const auto& s : series_) {
        if (!s->Active())
            continue;
        const AxisRange r = horizontal ? s->XRange() : s->YRange();
        if (r.empty)
            continue;
        if (out.empty)
            out = r;
        out.min = std::min(out.min, r.min);
        out.max = std::max(out.max, r.max);
    }
    return out;
}

AxisRange Chart::VisibleRange(const ChartAxis& axis) const
{
    if (zoomed_ && &axis == &bottom_)
        return zoom_x_;
    if (zoomed_ && &axis == &left_)
        return zoom_y_;
    return axis.DrawnRange();
}

void Chart::ZoomRect(const QRectF& values)
{
    const QRectF r = values.normalized();
    const AxisRange x{r.left(), r.right(), false};
    const AxisRange y{r.top(), r.bottom(), false};
    // A range too thin to draw would be widened again; such a zoom is no zoom.
    auto thin = [](const AxisRange& a) {
        const AxisRange d = drawable(a);
        return d.min != a.min || d.max != a.max;
    };
    if (thin(x) || thin(y))
        return;
    zoomed_ = true;
    zoom_x_ = x;
    zoom_y_ = y;
    settings_changed();
}

void Chart::UndoZoom()
{
    zoomed_ = false;
    settings_changed();
}

QRectF Chart::PlotArea() const
{
    return chart_->plotArea();
}

QPointF Chart::ValueAt(const QPointF& pixel) const
{
    const QRectF plot = PlotArea();
    const AxisRange x = VisibleRange(bottom_);
    const AxisRange y = VisibleRange(left_);
    if (plot.width() <= 0 || plot.height() <= 0)
        return {x.min, y.min};
    return {x.min + (pixel.x() - plot.left()) / plot.width() * (x.max - x.min),
            y.max - (pixel.y() - plot.top()) / plot.height() * (y.max - y.min)};
}

void Chart::Repaint()
{
    pending_ = true;
    sync();
    if (isVisible())
        view_->viewport()->repaint();
}

void Chart::settings_changed()
{
    pending_ = true;
    schedule();
}

void Chart::series_changed(ChartSeries&, ChartSeries::Change)
{
    pending_ = true;
    schedule();
}

void Chart::schedule()
{
    if (posted_ || in_sync_)
        return;
    posted_ = true;
    QMetaObject::invokeMethod(
        this, [this] {
            posted_ = false;
            sync_if_pending();
        },
        Qt::QueuedConnection);
}

void Chart::sync_if_pending()
{
    if (pending_)
        sync();
}

bool Chart::apply_margins(double overhang_right, double overhang_top)
{
    const bool shown = title_visible_ && !title_.Lines().isEmpty();
    title_item_->setVisible(shown);
    const qreal height = shown ? title_item_->needed_height() : 0;
    const QSizeF size = chart_->size();
    title_item_->set_band(QRectF(kMargin, kMargin, std::max<qreal>(0, size.width() - 2 * kMargin), height));
    // The labels at the ends of the bottom and left axes are centred on
    // their ticks and may reach past the plot: the margins make room.
    const int band = shown ? kMargin + static_cast<int>(std::ceil(height)) : 0;
    const int top = band + std::max(kMargin, static_cast<int>(std::ceil(overhang_top)) + 1);
    const int right = kMargin + std::max(kMargin, static_cast<int>(std::ceil(overhang_right)) + 1);
    const QMargins margins(kMargin, top, right, kMargin);
    if (chart_->margins() == margins)
        return false;
    chart_->setMargins(margins);
    return true;
}

double Chart::apply_axis(const ChartAxis& axis, QCategoryAxis* drawn, const AxisRange& range,
                         const QRectF& plot)
{
    if (drawn->isVisible() != axis.Visible())
        drawn->setVisible(axis.Visible());
    if (drawn->titleText() != axis.Title())
        drawn->setTitleText(axis.Title());
    if (drawn->min() != range.min || drawn->max() != range.max)
        drawn->setRange(range.min, range.max);

    const QFontMetricsF fm(drawn->labelsFont());
    const bool horizontal = axis.Horizontal();
    TickSpacing spacing;
    spacing.length = horizontal ? plot.width() : plot.height();
    spacing.gap = horizontal ? fm.horizontalAdvance(QLatin1Char('0')) : 2;
    spacing.auto_gap = horizontal ? 3 * fm.horizontalAdvance(QLatin1Char('0')) : 1.5 * fm.height();
    const TickLayout ticks = choose_ticks(range.min, range.max, axis.Increment(), spacing, [&](double v) {
        return horizontal ? fm.horizontalAdvance(label_text(v)) : fm.height();
    });

    QStringList labels;
    std::vector<double> values;
    for (double v : ticks.values) {
        const QString text = label_text(v);
        // The drawing library keys its labels by text: two ticks that
        // print alike (only at the limits of precision) show once.
        if (!labels.contains(text)) {
            labels.append(text);
            values.push_back(v);
        }
    }
    bool same = drawn->categoriesLabels() == labels && drawn->startValue() == range.min;
    for (qsizetype i = 0; same && i < labels.size(); ++i)
        same = drawn->endValue(labels[i]) == values[static_cast<std::size_t>(i)];
    if (!same) {
        for (const QString& old : drawn->categoriesLabels())
            drawn->remove(old);
        drawn->setStartValue(range.min);
        for (qsizetype i = 0; i < labels.size(); ++i)
            drawn->append(labels[i], values[static_cast<std::size_t>(i)]);
    }
    // How far the label of the last tick reaches past the plot's far end.
    if (values.empty() || !axis.Visible() || spacing.length <= 0)
        return 0;
    const double from_end = (range.max - values.back()) / (range.max - range.min) * spacing.length;
    const double half = (horizontal ? fm.horizontalAdvance(labels.back()) : fm.height()) / 2;
    return std::max(0.0, half - from_end);
}

void Chart::sync()
{
    if (in_sync_)
        return;
    in_sync_ = true;
    pending_ = false;
    const AxisRange x = VisibleRange(bottom_);
    const AxisRange y = VisibleRange(left_);
    const AxisRange r = VisibleRange(right_);
    // The labels take room from the plot and the plot's size decides the
    // labels: a second or third pass settles it.
    double overhang_right = 0;
    double overhang_top = 0;
    for (int pass = 0; pass < 4; ++pass) {
        const bool margins_moved = apply_margins(overhang_right, overhang_top);
        if (margins_moved)
            chart_->layout()->activate();
        const QRectF plot = chart_->plotArea();
        overhang_right = apply_axis(bottom_, drawn_bottom_, x, plot);
        overhang_top = apply_axis(left_, drawn_left_, y, plot);
        apply_axis(right_, drawn_right_, r, plot);
        chart_->layout()->activate();
        const QRectF after = chart_->plotArea();
        if (!margins_moved && std::abs(after.width() - plot.width()) < 0.5 &&
            std::abs(after.height() - plot.height()) < 0.5)
            break;
    }
    apply_margins(overhang_right, overhang_top);
    chart_->layout()->activate();
    const QRectF plot = chart_->plotArea();
    ThinningView view;
    view.x_min = x.min;
    view.x_max = x.max;
    view.columns = std::max(1, static_cast<int>(std::ceil(plot.width())));
    for (const auto& s : series_) {
        view.keep_few = s->PointerVisible();
        s->update_drawing(view);
    }
    in_sync_ = false;
}

ScopedHiddenTitle::ScopedHiddenTitle(Chart& chart) : chart_(chart), was_visible_(chart.TitleVisible())
{
    chart_.SetTitleVisible(false);
}

ScopedHiddenTitle::~ScopedHiddenTitle()
{
    chart_.SetTitleVisible(was_visible_);
}

}  // namespace lekta::ui
