#pragma once
// The chart both chart windows use: two-dimensional, white, no legend; a
// title of one or more lines; a left, a bottom and a right axis (the right
// one hidden unless shown); series drawn in the order they were added.
//
//     Chart chart;
//     chart.LeftAxis().SetTitle("F, кН");
//     ChartSeries* curve = chart.AddSeries(SeriesKind::Line);
//     curve->SetColor(255);                 // 0x00BBGGRR: red
//     curve->ReplacePoints(points);         // the whole curve in one call
//     curve->AppendPoints(response);        // a live response
//     chart.Title().SetText("Серия-1 №-2");
//     {
//         ScopedHiddenTitle hidden(chart);     // a picture without the title
//         chart.RenderImage(chart.size()).save(file);
//     }
//     QPainter painter(&printer);           // the page inside 4 % margins
//     chart.Print(painter, QRect(QPoint(0, 0), QSize(printer.width(), printer.height())),
//                 QMarginsF(4, 4, 4, 4), false);
//
// A limit or increment the axis refuses throws AxisError with the
// operator's text (chart_axis.h), for the window's general error display.
//
// Changes are drawn on the next turn of the event loop (many changes in one
// handler cost one update); Repaint() draws at once. The axes' settings and
// limits (ChartAxis) are read back at once.
//
// Operators zoom and pan with the mouse (chart_view.h): a rectangle dragged
// down-right with the left button zooms into it, a drag up-left returns to
// the full view, the right button pans, the wheel zooms about the pointer.
// Zooming and panning change only the drawn ranges, never the axes'
// settings, so UndoZoom() returns to exactly what the window set. A zoom
// stays while the data and the settings change (a live curve goes on
// growing under it); a window showing something new calls UndoZoom().
#include <QImage>
#include <QMarginsF>
#include <QRectF>
#include <QWidget>
#include <memory>
#include <vector>

#include "chart/chart_axis.h"
#include "chart/chart_frame.h"
#include "chart/chart_series.h"
#include "chart/chart_title.h"

class QChart;
class QValueAxis;
class QPainter;

namespace lekta::ui {

class ChartView;
class CurveLayerItem;

// Who draws the series. QtCharts (the default) restrokes a series' whole
// outline whenever its points change, which a curve of a few thousand drawn
// points pays for in milliseconds; Direct has the chart paint the thinned
// points as a polyline itself, for a live chart that changes twice a second.
enum class SeriesDrawing { QtCharts, Direct };

class Chart : public QWidget {
    Q_OBJECT
public:
    explicit Chart(QWidget* parent = nullptr);
    ~Chart() override;

    ChartTitle& Title() { return title_; }
    const ChartTitle& Title() const { return title_; }
    bool TitleVisible() const { return title_visible_; }
    void SetTitleVisible(bool visible);

    ChartAxis& LeftAxis() { return left_; }
    ChartAxis& BottomAxis() { return bottom_; }
    ChartAxis& RightAxis() { return right_; }
    const ChartAxis& LeftAxis() const { return left_; }
    const ChartAxis& BottomAxis() const { return bottom_; }
    const ChartAxis& RightAxis() const { return right_; }

    // Chosen before the first series is added (std::logic_error after).
    void SetSeriesDrawing(SeriesDrawing drawing);

    // A new series, drawn over the earlier ones; the chart owns it. Its X
    // goes along the bottom axis, its Y along the left one.
    ChartSeries* AddSeries(SeriesKind kind);
    int SeriesCount() const { return static_cast<int>(series_.size()); }
    // Throws std::out_of_range for an index outside 0 … SeriesCount() − 1.
    ChartSeries* Series(int index) const;

    // The range an axis draws now: the zoomed one while zoomed, otherwise
    // its limits in effect (widened when flat, see ChartAxis::DrawnRange).
    AxisRange VisibleRange(const ChartAxis& axis) const;
    // True while the drawn ranges differ from the axes' settings (after a
    // zoom, a pan or a wheel turn).
    bool Zoomed() const { return zoomed_; }
    // Draws the bottom range rect.left() … rect.right() and the left range
    // rect.top() … rect.bottom() (either order), in axis values. A rectangle
    // without width or height is ignored.
    void ZoomRect(const QRectF& values);
    // Back to the ranges the axes' settings give.
    void UndoZoom();

    // The plot area in the chart's pixels, and the axis values at a pixel of it.
    QRectF PlotArea() const;
    QPointF ValueAt(const QPointF& pixel) const;

    // Brings the drawing up to date and, when shown, repaints at once.
    void Repaint();
    // Brings the drawing up to date; the next paint shows it.
    void Refresh() { sync_if_pending(); }

    // The chart drawn into an image of this size in pixels, shown or not.
    QImage RenderImage(const QSize& size);
    // The chart drawn onto a page: margins in percent of the page's width
    // (left, right) and height (top, bottom). Not proportional: the chart
    // fills the rectangle inside the margins; proportional: it keeps its
    // on-screen shape, centred in that rectangle.
    void Print(QPainter& painter, const QRect& page, const QMarginsF& margins_percent,
               bool proportional);

    ChartView* View() const { return view_; }

signals:
    // A left click without dragging.
    void Clicked();

private:
    friend class ChartSeries;
    friend class ChartView;

    AxisRange data_range(bool horizontal) const;
    void settings_changed();
    void series_changed(ChartSeries& series, ChartSeries::Change change);
    void schedule();
    // Applies everything pending to the drawing library.
    void sync();
    void sync_if_pending();
    // Lays the chart out at size (chart pixels) and updates the drawing for it.
    void lay_out_at(const QSizeF& size);
    void render_at(QPainter& painter, const QRectF& target, const QSizeF& size);

    ChartTitle title_;
    bool title_visible_ = true;
    ChartAxis left_;
    ChartAxis bottom_;
    ChartAxis right_;
    QChart* chart_;  // owned by view_
    ChartView* view_;
    ChartFrame frame_;  // as drawn now
    ChartTitleItem* title_item_;
    ChartFrameItem* grid_item_;
    ChartFrameItem* frame_item_;
    CurveLayerItem* layer_ = nullptr;  // the one-pixel curves of a chart that draws its series
    // The series' scales: hidden axes of the drawing library, at the
    // bottom and left axes' drawn ranges.
    QValueAxis* scale_x_;
    QValueAxis* scale_y_;
    std::vector<std::unique_ptr<ChartSeries>> series_;
    SeriesDrawing drawing_ = SeriesDrawing::QtCharts;

    bool zoomed_ = false;
    AxisRange zoom_x_;
    AxisRange zoom_y_;

    bool pending_ = false;   // changes not yet drawn
    bool relayout_ = false;  // among them changes of axes, title or size
    bool posted_ = false;    // an update is queued
    bool in_sync_ = false;
};

// Hides a chart's title for as long as it lives (a picture without the
// title), and restores its visibility however the rendering ends.
class ScopedHiddenTitle {
public:
    explicit ScopedHiddenTitle(Chart& chart);
    ~ScopedHiddenTitle();
    ScopedHiddenTitle(const ScopedHiddenTitle&) = delete;
    ScopedHiddenTitle& operator=(const ScopedHiddenTitle&) = delete;

private:
    Chart& chart_;
    bool was_visible_;
};

}  // namespace lekta::ui
