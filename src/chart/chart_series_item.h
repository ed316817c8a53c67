#pragma once
// A series drawn by the chart itself (Chart::SetSeriesDrawing(Direct)): the
// thinned points as one polyline in the plot, clipped to it, with optional
// 3-pixel point markers. The drawing library's own series restrokes the
// whole outline of a curve at every change of its points (its hit-test
// shape); this item only maps the kept points to pixels and paints them, so
// a live response costs the same however long the curve has grown.
#include <QGraphicsItem>
#include <QLineF>
#include <QList>
#include <QPen>
#include <QPolygonF>

namespace lekta::ui {

class SeriesItem : public QGraphicsItem {
public:
    explicit SeriesItem(QGraphicsItem* parent);

    // The plot rectangle in the chart's coordinates and the points in pixels.
    void set_drawing(const QRectF& plot, QPolygonF points);
    void set_style(const QPen& pen, bool markers);
    const QPolygonF& points() const { return points_; }

    QRectF boundingRect() const override { return plot_; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    QRectF plot_;
    QPolygonF points_;
    QList<QLineF> segments_;  // consecutive points joined, as painted
    QPen pen_;
    bool markers_ = false;
};

}  // namespace lekta::ui
