#pragma once
// One curve or reference line of a chart. The points are kept in full and in
// the order given (X is not sorted: a curve may turn back on itself), with
// their extents cached. What the drawing library gets is the thinned set of
// chart_thinning.h for the plot's current X range and width, handed over in
// one call whenever it changes.
#include <QRectF>
#include <QString>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "chart/chart_axis.h"
#include "chart/chart_thinning.h"

class QLineSeries;

namespace lekta::ui {

class Chart;
class SeriesItem;

// Both draw a polyline; Line is the curve kind, FastLine the one for
// reference lines. Either may show point markers.
enum class SeriesKind { Line, FastLine };

// Where a point's label stands: centred above it, or above it ending left
// of it or starting right of it, clear of its marker.
enum class LabelSide { Above, Left, Right };

// A container of anything with members x and y (ChartPoint, the link
// engine's points, …).
template <class Points>
concept PointsWithXY = requires(const Points& p)
{
    {
        std::begin(p)->x
        } -> std::convertible_to<double>;
    {
        std::begin(p)->y
        } -> std::convertible_to<double>;
    std::size(p);
};

class ChartSeries {
public:
    ChartSeries(const ChartSeries&) = delete;
    ChartSeries& operator=(const ChartSeries&) = delete;
    ~ChartSeries();

    SeriesKind Kind() const { return kind_; }

    void Clear();
    // One point; for the few points of a reference line.
    void AddXY(double x, double y);
    // The whole curve in one call.
    void ReplacePoints(std::vector<ChartPoint> points);
    template <PointsWithXY Points>
    void ReplacePoints(const Points& points)
    {
        ReplacePoints(copy_points(points));
    }
    // Points after the existing ones, in one call (a live response): only the
    // new points are looked at for the extents and the thinning.
    void AppendPoints(const ChartPoint* points, std::size_t count);
    void AppendPoints(const std::vector<ChartPoint>& points)
    {
        AppendPoints(points.data(), points.size());
    }
    template <PointsWithXY Points>
    void AppendPoints(const Points& points)
    {
        const std::vector<ChartPoint> p = copy_points(points);
        AppendPoints(p.data(), p.size());
    }

    int Count() const { return static_cast<int>(points_.size()); }
    // Throws std::out_of_range for an index outside 0 … Count() − 1.
    double XValue(int index) const;
    double YValue(int index) const;
    const std::vector<ChartPoint>& Points() const { return points_; }

    // Extents over all points (finite values only), 0 for an empty series.
    double MinXValue() const { return has_extent_ ? min_x_ : 0; }
    double MaxXValue() const { return has_extent_ ? max_x_ : 0; }
    double MinYValue() const { return has_extent_ ? min_y_ : 0; }
    double MaxYValue() const { return has_extent_ ? max_y_ : 0; }
    // The X or Y extent as a range, empty for a series without points.
    AxisRange XRange() const { return {MinXValue(), MaxXValue(), !has_extent_}; }
    AxisRange YRange() const { return {MinYValue(), MaxYValue(), !has_extent_}; }

    // An inactive series is not drawn and does not count for automatic axis ranges.
    bool Active() const { return active_; }
    void SetActive(bool active);
    // 0x00BBGGRR or a system colour value (colour.h), as the settings store it.
    std::int32_t Color() const { return colour_; }
    void SetColor(std::int32_t colour);
    int LineWidth() const { return line_width_; }
    void SetLineWidth(int width);
    // Point markers: circles of 3 × 3 pixels at the points drawn, or wider
    // than a wide line by 4 pixels, so that they show over it.
    bool PointerVisible() const { return pointer_visible_; }
    void SetPointerVisible(bool visible);
    // The markers' size in pixels across (3 unless set; at least the line's
    // width + 4 when drawn by the drawing library).
    double PointerSize() const { return pointer_size_; }
    void SetPointerSize(double pixels);
    // A text written beside each point drawn, in the series' colour (none
    // while empty): the name of a marked place.
    const QString& PointLabel() const { return point_label_; }
    void SetPointLabel(const QString& text, LabelSide side = LabelSide::Above);

    // Brings the chart's drawing up to date and repaints it now.
    void Repaint();

    // Points handed to the drawing library at the last update (for tests and
    // benchmarks: it shows the thinning at work).
    int DrawnCount() const { return drawn_count_; }

private:
    friend class Chart;
    enum class Change { Data, Style, Active };
    // Drawn by the drawing library's `line`, or, with `line` null, by the
    // chart's own `item` (Chart::SetSeriesDrawing).
    ChartSeries(Chart& chart, SeriesKind kind, QLineSeries* line, SeriesItem* item = nullptr);

    template <class Points>
    static std::vector<ChartPoint> copy_points(const Points& points)
    {
        std::vector<ChartPoint> out;
        out.reserve(std::size(points));
        for (const auto& p : points)
            out.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
        return out;
    }
    void extend_extent(std::size_t from);
    void apply_style();
    // Called by the chart: hand over the points to draw for this view.
    void update_drawing(const ThinningView& view);
    // The same for a series the chart draws itself, in two steps: the kept
    // points mapped onto the plot rectangle for the drawn ranges x and y
    // (nothing to do when neither the points nor the layout changed), which
    // touches nothing but this series and may run on any thread; then,
    // on the window's thread, handed to the series' item.
    void prepare_direct(const ThinningView& view, const QRectF& plot, const AxisRange& x,
                        const AxisRange& y, bool relayout);
    void hand_direct(const QRectF& plot);
    // Thins afresh or extends the kept points for the view; true when they changed.
    bool thin_for(const ThinningView& view);
    // Called by the chart before its axes or plot change: the drawing
    // library holds no points until the next update_drawing.
    void withdraw_drawing();

    Chart& chart_;
    SeriesKind kind_;
    QLineSeries* line_;  // owned by the chart's scene; null when the chart draws the series itself
    SeriesItem* item_;   // owned by the chart's scene; null when the drawing library draws it
    std::vector<ChartPoint> points_;
    bool has_extent_ = false;
    double min_x_ = 0, max_x_ = 0, min_y_ = 0, max_y_ = 0;
    bool active_ = true;
    std::int32_t colour_ = 0x000000FF;  // red
    int line_width_ = 1;
    bool pointer_visible_ = false;
    double pointer_size_ = 3;
    QString point_label_;
    LabelSide label_side_ = LabelSide::Above;

    ColumnThinning thinning_;
    bool rethin_ = true;             // the points changed other than by appending, or the markers
    bool points_replaced_ = true;    // the points changed other than by appending
    bool handed_ = false;            // the drawing library holds the kept points
    std::vector<ChartPoint> drawn_;  // mapped by prepare_direct, for hand_direct
    bool prepared_ = false;
    int drawn_count_ = 0;
};

}  // namespace lekta::ui
