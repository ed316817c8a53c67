#include "chart/chart.h"

#include "chart/chart_series_item.h"
#include "chart/chart_view.h"
#include "chart/curve_layer_item.h"
#include "chart/shared_work.h"
#include "ui/guarded_connect.h"

#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QPen>
#include <QVBoxLayout>
#include <QValueAxis>
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

// Fewer points than this are thinned on the window's thread alone: handing
// work to another thread costs more than it saves.
constexpr std::size_t kSharedThinningPoints = 200'000;

// The drawing library's axes only scale the series: nothing of them shows.
QValueAxis* scale_axis()
{
    auto* a = new QValueAxis;
    a->setVisible(false);
    a->setLabelsVisible(false);
    a->setGridLineVisible(false);
    a->setLineVisible(false);
    a->setTickCount(2);
    a->setRange(0, 1);
    return a;
}

}  // namespace

Chart::Chart(QWidget* parent)
    : QWidget(parent), title_([this] { settings_changed(); }),
      left_(
          AxisPlace::Left, [this] { return data_range(false); }, [this] { settings_changed(); }),
      bottom_(
          AxisPlace::Bottom, [this] { return data_range(true); }, [this] { settings_changed(); }),
      right_(
          AxisPlace::Right, [] { return AxisRange{}; }, [this] { settings_changed(); }),
      chart_(new QChart), view_(new ChartView(chart_, *this)),
      title_item_(new ChartTitleItem(title_, chart_)),
      grid_item_(new ChartFrameItem(frame_, ChartFrameItem::Layer::Grid, chart_)),
      frame_item_(new ChartFrameItem(frame_, ChartFrameItem::Layer::Frame, chart_)),
      scale_x_(scale_axis()), scale_y_(scale_axis())
{
    right_.SetVisible(false);
    frame_.font = pixel_font(font());
    QFont title_font = frame_.font;
    title_font.setBold(true);
    title_font.setPixelSize(title_font.pixelSize() + 2);
    title_.SetFont(title_font);
    // The grid under the series, frame and labels over them.
    grid_item_->setZValue(-0.5);
    frame_item_->setZValue(100);
    title_item_->setZValue(100);

    chart_->legend()->hide();
    chart_->setAnimationOptions(QChart::NoAnimation);
    // The grid item paints the white ground over the whole chart.
    chart_->setBackgroundVisible(false);
    chart_->setDropShadowEnabled(false);
    chart_->setPlotAreaBackgroundVisible(false);
    // The chart fills the whole view (the view paints nothing else).
    chart_->layout()->setContentsMargins(0, 0, 0, 0);
    chart_->addAxis(scale_x_, Qt::AlignBottom);
    chart_->addAxis(scale_y_, Qt::AlignLeft);
    connect_guarded(chart_, &QGraphicsWidget::geometryChanged, this, [this] {
        if (!in_sync_) {
            relayout_ = pending_ = true;
            schedule();
        }
    });

    if (QGraphicsScene* scene = chart_->scene())
        scene->setBackgroundBrush(Qt::white);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    // A click gives the view the keyboard focus, for the window's click handler.
    setFocusProxy(view_);
    settings_changed();
}

Chart::~Chart()
{
    // The view takes the scene, the chart and its items with it; while they
    // go, nothing may call back into this half-destroyed object.
    disconnect(chart_, nullptr, this, nullptr);
    delete view_;
}

void Chart::SetTitleVisible(bool visible)
{
    title_visible_ = visible;
    settings_changed();
}

void Chart::SetSeriesDrawing(SeriesDrawing drawing)
{
    if (!series_.empty())
        throw std::logic_error("The series drawing is chosen before the first series is added");
    drawing_ = drawing;
}

ChartSeries* Chart::AddSeries(SeriesKind kind)
{
    if (drawing_ == SeriesDrawing::Direct) {
        // Over the grid, under the frame and the labels, in the order added;
        // the one-pixel curves in one layer under the wider ones.
        if (!layer_) {
            layer_ = new CurveLayerItem(chart_);
            layer_->setZValue(0.5);
            layer_->set_plot(frame_.plot);
        }
        auto* item = new SeriesItem(chart_, layer_);
        item->setZValue(1 + 0.001 * static_cast<double>(series_.size()));
        layer_->add(item);
        series_.push_back(
            std::unique_ptr<ChartSeries>(new ChartSeries(*this, kind, nullptr, item)));
        settings_changed();
        return series_.back().get();
    }
    auto* line = new QLineSeries;
    chart_->addSeries(line);
    line->attachAxis(scale_x_);
    line->attachAxis(scale_y_);
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
    return frame_.plot;
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
    sync();
    if (isVisible())
        view_->viewport()->repaint();
}

void Chart::settings_changed()
{
    relayout_ = pending_ = true;
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
        this,
        [this] {
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

void Chart::sync()
{
    if (in_sync_)
        return;
    in_sync_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{in_sync_};
    pending_ = false;
    const AxisRange x = VisibleRange(bottom_);
    const AxisRange y = VisibleRange(left_);
    const AxisRange r = VisibleRange(right_);
    auto moved = [](const FrameAxis& drawn, const AxisRange& range) {
        return drawn.range.min != range.min || drawn.range.max != range.max;
    };
    const bool relayout = relayout_ || moved(frame_.bottom, x) || moved(frame_.left, y) ||
                          moved(frame_.right, r);
    relayout_ = false;
    if (relayout) {
        // The drawing library redoes a series' whole geometry at every change
        // of its scales or its plot; with no points handed over meanwhile
        // that costs nothing, and each series gets its points once below.
        for (const auto& s : series_)
            s->withdraw_drawing();
        const QSizeF chart_size = chart_->size();
        const bool titled = title_visible_ && !title_.Lines().isEmpty();
        const double title_height = titled ? title_item_->needed_height() : 0;
        frame_ = lay_out_frame(chart_size, title_height, frame_.font, left_, bottom_, right_, y, x,
                               r);
        title_item_->setVisible(titled);
        title_item_->set_band(QRectF(kChartMargin, kChartMargin,
                                     std::max(0.0, chart_size.width() - 2 * kChartMargin),
                                     title_height));
        grid_item_->frame_changed(chart_size);
        frame_item_->frame_changed(chart_size);
        if (scale_x_->min() != x.min || scale_x_->max() != x.max)
            scale_x_->setRange(x.min, x.max);
        if (scale_y_->min() != y.min || scale_y_->max() != y.max)
            scale_y_->setRange(y.min, y.max);
        if (chart_->plotArea() != frame_.plot)
            chart_->setPlotArea(frame_.plot);
        if (layer_)
            layer_->set_plot(frame_.plot);
        chart_->layout()->activate();
    }
    ThinningView view;
    view.x_min = x.min;
    view.x_max = x.max;
    view.columns = std::max(1, static_cast<int>(std::ceil(frame_.plot.width())));
    if (drawing_ == SeriesDrawing::Direct) {
        // Each series thins and maps its own points: long curves share the
        // work with a second thread; the items are given theirs here.
        std::size_t points = 0;
        for (const auto& s : series_)
            points += s->points_.size();
        auto prepare = [&](std::size_t i) {
            ChartSeries& s = *series_[i];
            ThinningView own = view;
            own.keep_few = s.PointerVisible();
            s.prepare_direct(own, frame_.plot, x, y, relayout);
        };
        if (points >= kSharedThinningPoints)
            share_work(series_.size(), prepare);
        else
            for (std::size_t i = 0; i < series_.size(); ++i)
                prepare(i);
        for (const auto& s : series_)
            s->hand_direct(frame_.plot);
        return;
    }
    for (const auto& s : series_) {
        view.keep_few = s->PointerVisible();
        s->update_drawing(view);
    }
}

ScopedHiddenTitle::ScopedHiddenTitle(Chart& chart)
    : chart_(chart), was_visible_(chart.TitleVisible())
{
    chart_.SetTitleVisible(false);
}

ScopedHiddenTitle::~ScopedHiddenTitle()
{
    chart_.SetTitleVisible(was_visible_);
}

}  // namespace lekta::ui
