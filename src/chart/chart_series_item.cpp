#include "chart/chart_series_item.h"

#include "chart/curve_layer_item.h"

#include <QLineF>
#include <QList>
#include <QPainter>

namespace lekta::ui {

namespace {
constexpr double kMarkerRadius = 1.5;  // markers 3 pixels across, as the drawing library's
}

SeriesItem::SeriesItem(QGraphicsItem* parent, CurveLayerItem* layer)
    : QGraphicsItem(parent), layer_(layer)
{
    setFlag(ItemClipsToShape, false);
}

void SeriesItem::set_drawing(const QRectF& plot, std::vector<ChartPoint> points)
{
    if (plot != plot_)
        prepareGeometryChange();
    plot_ = plot;
    points_ = std::move(points);
    if (in_layer_)
        layer_->invalidate();
    else
        update();
}

void SeriesItem::set_style(const QPen& pen, bool markers)
{
    pen_ = pen;
    markers_ = markers;
    const bool was = in_layer_;
    in_layer_ = layer_ && !markers && pen.width() <= 1 && pen.style() == Qt::SolidLine &&
                pen.color().alpha() == 255;
    if (in_layer_ || was)
        layer_->invalidate();
    update();
}

QVariant SeriesItem::itemChange(GraphicsItemChange change, const QVariant& value)
{
    if (change == ItemVisibleHasChanged && in_layer_)
        layer_->invalidate();
    return QGraphicsItem::itemChange(change, value);
}

void SeriesItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (!in_layer_)
        paint_vector(painter);
}

void SeriesItem::paint_vector(QPainter* painter) const
{
    if (points_.empty() || plot_.isEmpty())
        return;
    painter->save();
    painter->setClipRect(plot_, Qt::IntersectClip);
    painter->setPen(pen_);
    painter->setBrush(Qt::NoBrush);
    // Segment by segment, as the drawing library does: the raster engine
    // draws a wide line on its own far quicker than it strokes a wide
    // polyline with joins.
    if (points_.size() > 1) {
        QList<QLineF> segments;
        segments.reserve(static_cast<qsizetype>(points_.size() - 1));
        for (std::size_t i = 1; i < points_.size(); ++i)
            segments.append(QLineF(points_[i - 1].x, points_[i - 1].y, points_[i].x, points_[i].y));
        painter->drawLines(segments);
    }
    if (markers_) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(pen_.color());
        for (const ChartPoint& p : points_)
            painter->drawEllipse(QPointF(p.x, p.y), kMarkerRadius, kMarkerRadius);
    }
    painter->restore();
}

}  // namespace lekta::ui
