#include "chart/chart_series.h"

#include "chart/chart.h"
#include "chart/chart_series_item.h"
#include "ui/colour.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLineSeries>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace lekta::ui {

ChartSeries::ChartSeries(Chart& chart, SeriesKind kind, QLineSeries* line, SeriesItem* item)
    : chart_(chart), kind_(kind), line_(line), item_(item)
{
    apply_style();
}

ChartSeries::~ChartSeries() = default;

void ChartSeries::Clear()
{
    points_.clear();
    has_extent_ = false;
    rethin_ = points_replaced_ = true;
    chart_.series_changed(*this, Change::Data);
}

void ChartSeries::AddXY(double x, double y)
{
    AppendPoints(std::vector<ChartPoint>{{x, y}});
}

void ChartSeries::ReplacePoints(std::vector<ChartPoint> points)
{
    points_ = std::move(points);
    has_extent_ = false;
    extend_extent(0);
    rethin_ = points_replaced_ = true;
    chart_.series_changed(*this, Change::Data);
}

void ChartSeries::AppendPoints(const ChartPoint* points, std::size_t count)
{
    if (count == 0)
        return;
    const std::size_t from = points_.size();
    points_.insert(points_.end(), points, points + count);
    extend_extent(from);
    chart_.series_changed(*this, Change::Data);
}

void ChartSeries::extend_extent(std::size_t from)
{
    for (std::size_t i = from; i < points_.size(); ++i) {
        const ChartPoint& p = points_[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            continue;
        if (!has_extent_) {
            min_x_ = max_x_ = p.x;
            min_y_ = max_y_ = p.y;
            has_extent_ = true;
            continue;
        }
        min_x_ = std::min(min_x_, p.x);
        max_x_ = std::max(max_x_, p.x);
        min_y_ = std::min(min_y_, p.y);
        max_y_ = std::max(max_y_, p.y);
    }
}

double ChartSeries::XValue(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("Point index out of range (" + std::to_string(index) + ")");
    return points_[static_cast<std::size_t>(index)].x;
}

double ChartSeries::YValue(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("Point index out of range (" + std::to_string(index) + ")");
    return points_[static_cast<std::size_t>(index)].y;
}

void ChartSeries::SetActive(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    chart_.series_changed(*this, Change::Active);
}

void ChartSeries::SetColor(std::int32_t colour)
{
    colour_ = colour;
    apply_style();
    chart_.series_changed(*this, Change::Style);
}

void ChartSeries::SetLineWidth(int width)
{
    line_width_ = width;
    apply_style();
    chart_.series_changed(*this, Change::Style);
}

void ChartSeries::SetPointerVisible(bool visible)
{
    if (visible == pointer_visible_)
        return;
    pointer_visible_ = visible;
    apply_style();
    // Markers change which points are kept (all of a few visible ones).
    rethin_ = true;
    chart_.series_changed(*this, Change::Style);
}

void ChartSeries::SetPointerSize(double pixels)
{
    pointer_size_ = pixels;
    apply_style();
    chart_.series_changed(*this, Change::Style);
}

void ChartSeries::SetPointLabel(const QString& text, LabelSide side)
{
    point_label_ = text;
    label_side_ = side;
    apply_style();
    chart_.series_changed(*this, Change::Style);
}

void ChartSeries::Repaint()
{
    chart_.Repaint();
}

void ChartSeries::apply_style()
{
    QPen pen(windows_colour(colour_));
    // Width 0 and below draw one pixel wide, as a cosmetic pen does anyway.
    pen.setWidth(std::max(line_width_, 1));
    if (item_) {
        item_->set_style(pen, pointer_visible_);
        return;
    }
    line_->setPen(pen);
    line_->setPointsVisible(pointer_visible_);
    // The drawing library draws a marker with its "size" as the radius. A
    // marker no wider than the line would vanish under it (3 pixels under
    // the default width 3): it stands 2 pixels clear of the line each side.
    line_->setMarkerSize(
        std::max(pointer_size_, static_cast<double>(std::max(line_width_, 1) + 4)) / 2);
    // A format without the @xPoint or @yPoint fields: every point gets the
    // text as it stands.
    line_->setPointLabelsVisible(!point_label_.isEmpty());
    if (!point_label_.isEmpty()) {
        QFont font = chart_.frame_.font;
        font.setBold(true);
        // The drawing library centres a label over its point: blanks on
        // one side move the text to the other, clear of the marker.
        QString label = point_label_;
        if (label_side_ != LabelSide::Above) {
            const QFontMetricsF metrics(font);
            const double gap = pointer_size_ / 2 + 2;
            const double blank = std::max(1.0, metrics.horizontalAdvance(QLatin1Char(' ')));
            const auto blanks = static_cast<int>(
                std::ceil((metrics.horizontalAdvance(label) + 2 * gap) / blank));
            if (label_side_ == LabelSide::Left)
                label += QString(blanks, QLatin1Char(' '));
            else
                label.prepend(QString(blanks, QLatin1Char(' ')));
        }
        line_->setPointLabelsFormat(label);
        line_->setPointLabelsColor(windows_colour(colour_));
        line_->setPointLabelsFont(font);
        // A name above a point at the plot's top edge stays readable.
        line_->setPointLabelsClipping(false);
    }
}

bool ChartSeries::thin_for(const ThinningView& view)
{
    bool changed = true;
    if (rethin_ || !(view == thinning_.view()))
        thinning_.rebuild(points_.data(), points_.size(), view, !points_replaced_);
    else if (points_.size() != thinning_.count())
        thinning_.extend(points_.data(), points_.size());
    else
        changed = false;
    rethin_ = false;
    points_replaced_ = false;
    return changed;
}

void ChartSeries::prepare_direct(const ThinningView& view, const QRectF& plot, const AxisRange& x,
                                 const AxisRange& y, bool relayout)
{
    prepared_ = false;
    if (!active_ || (!thin_for(view) && !relayout && handed_))
        return;
    // Mapped afresh at every update: a few thousand points at most, and the
    // plot or the ranges may have moved.
    const std::vector<std::size_t>& kept = thinning_.kept();
    const double sx = x.max > x.min ? plot.width() / (x.max - x.min) : 0;
    const double sy = y.max > y.min ? plot.height() / (y.max - y.min) : 0;
    drawn_.clear();
    drawn_.reserve(kept.size());
    for (std::size_t i : kept) {
        const ChartPoint& p = points_[i];
        drawn_.push_back({plot.left() + (p.x - x.min) * sx, plot.bottom() - (p.y - y.min) * sy});
    }
    prepared_ = true;
}

void ChartSeries::hand_direct(const QRectF& plot)
{
    if (!active_) {
        item_->setVisible(false);
        handed_ = false;
        return;
    }
    if (!prepared_)
        return;
    prepared_ = false;
    drawn_count_ = static_cast<int>(drawn_.size());
    item_->set_drawing(plot, std::move(drawn_));
    drawn_ = {};
    item_->setVisible(true);
    handed_ = true;
}

void ChartSeries::update_drawing(const ThinningView& view)
{
    if (!active_) {
        withdraw_drawing();
        line_->setVisible(false);
        return;
    }
    const bool changed = thin_for(view);
    if (changed || !handed_) {
        const std::vector<std::size_t>& kept = thinning_.kept();
        QList<QPointF> drawn;
        drawn.reserve(static_cast<qsizetype>(kept.size()));
        for (std::size_t i : kept)
            drawn.append(QPointF(points_[i].x, points_[i].y));
        // One call: the drawing library redoes its whole geometry per change.
        line_->replace(drawn);
        drawn_count_ = static_cast<int>(drawn.size());
        handed_ = true;
    }
    line_->setVisible(true);
}

void ChartSeries::withdraw_drawing()
{
    if (item_)
        return;  // the chart's own item costs nothing while the scales move
    if (handed_ && line_->count() > 0)
        line_->clear();
    handed_ = false;
}

}  // namespace lekta::ui
