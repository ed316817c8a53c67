#pragma once
// The chart's view and what the mouse does in it: a rectangle dragged
// down-right with the left button zooms into it (a rubber band shows while
// dragging), a drag up-left returns to the full view, a drag with the right
// button pans, the wheel zooms about the pointer. A left click without a drag
// is the chart's click.
#include <QChartView>

#include "chart/chart_axis.h"

class QRubberBand;

namespace lekta::ui {

class Chart;

class ChartView : public QChartView {
    Q_OBJECT
public:
    ChartView(QChart* chart, Chart& owner);

    // Each wheel notch (120 units) forward draws this share of the ranges.
    static constexpr double kWheelStep = 0.8;
    // A press that moves less than this (pixels) is a click, not a drag.
    static constexpr int kDragDistance = 3;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    enum class Drag { None, Zoom, Pan };
    QPointF chart_pixel(const QPoint& viewport_pos) const;
    bool far_enough(const QPoint& pos) const;

    Chart& owner_;
    QRubberBand* band_;
    Drag drag_ = Drag::None;
    QPoint press_;
    bool moved_ = false;
    // Ranges and plot when the pan began: the pan follows the pointer from there.
    AxisRange pan_x_;
    AxisRange pan_y_;
    QRectF pan_plot_;
};

}  // namespace lekta::ui
