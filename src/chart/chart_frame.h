#pragma once
// What a chart draws round its series: where the plot goes inside the chart,
// the axis labels and titles around it, the grid, ticks and frame. The
// drawing library's own axes measure every label through a rich-text
// document each time a range moves, which alone costs more than a frame
// for a zoom step; these are measured with plain font metrics and drawn
// with plain text. The series stay the drawing library's, on the plot given.
#include <QFont>
#include <QGraphicsItem>
#include <QRectF>
#include <QStaticText>
#include <QStringList>
#include <vector>

#include "chart/chart_axis.h"

namespace lekta::ui {

// One axis as drawn: range, labels at their values, title.
struct FrameAxis {
    bool visible = true;
    QString title;
    AxisRange range;
    std::vector<double> values;
    QStringList labels;
    std::vector<QStaticText> texts;  // the labels laid out once, drawn at every paint
};

struct ChartFrame {
    QRectF plot;  // whole pixels, in the chart's coordinates
    FrameAxis left, bottom, right;
    QFont font;  // labels and axis titles
};

// Lays a chart of this size out: the plot inside the margins, the title band
// (title_height pixels, 0 for none) and the labels of the three axes for
// the ranges given, the bottom and left labels at the axes' increments.
ChartFrame lay_out_frame(const QSizeF& size, double title_height, const QFont& font,
                         const ChartAxis& left, const ChartAxis& bottom, const ChartAxis& right,
                         const AxisRange& left_range, const AxisRange& bottom_range,
                         const AxisRange& right_range);

// The text of an axis label: the regional decimal separator, general format.
QString axis_label_text(double value);

// Space between the chart's edge and what it holds, in pixels.
constexpr double kChartMargin = 6;

// Draws one layer of the frame: the white ground and the grid under the
// series, or the frame, ticks, labels and axis titles over them.
class ChartFrameItem : public QGraphicsItem {
public:
    enum class Layer { Grid, Frame };
    ChartFrameItem(const ChartFrame& frame, Layer layer, QGraphicsItem* parent);
    // The frame changed within a chart of this size.
    void frame_changed(const QSizeF& chart_size);

    QRectF boundingRect() const override { return bounds_; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    void paint_grid(QPainter& p) const;
    void paint_frame(QPainter& p) const;

    const ChartFrame& frame_;
    Layer layer_;
    QRectF bounds_;
};

}  // namespace lekta::ui
