#pragma once
// A series drawn by the chart itself (Chart::SetSeriesDrawing(Direct)): the
// thinned points as one polyline in the plot, clipped to it, with optional
// 3-pixel point markers. The drawing library's own series restrokes the
// whole outline of a curve at every change of its points (its hit-test
// shape); this item only maps the kept points to pixels and paints them, so
// a live response costs the same however long the curve has grown.
//
// A one-pixel solid line without markers is drawn by the chart's curve
// layer with the other such lines, into one image (CurveLayerItem); this
// item then paints nothing itself.
#include "chart/chart_thinning.h"

#include <QGraphicsItem>
#include <QPen>
#include <vector>

namespace lekta::ui {

class CurveLayerItem;

class SeriesItem : public QGraphicsItem {
public:
    SeriesItem(QGraphicsItem* parent, CurveLayerItem* layer);

    // The plot rectangle in the chart's coordinates and the points in pixels.
    void set_drawing(const QRectF& plot, std::vector<ChartPoint> points);
    void set_style(const QPen& pen, bool markers);
    const std::vector<ChartPoint>& points() const { return points_; }
    const QPen& pen() const { return pen_; }
    // Drawn by the curve layer rather than by this item.
    bool in_layer() const { return in_layer_; }

    QRectF boundingRect() const override { return plot_; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    // The line and the markers with the painter's own means (a printer, a
    // scaled page): what paint() draws, whoever would draw it otherwise.
    void paint_vector(QPainter* painter) const;

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

private:
    CurveLayerItem* layer_;
    QRectF plot_;
    std::vector<ChartPoint> points_;
    QPen pen_;
    bool markers_ = false;
    bool in_layer_ = false;
};

}  // namespace lekta::ui
