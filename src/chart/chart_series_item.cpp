#include "chart/chart_series_item.h"

#include <QPainter>

namespace lekta::ui {

namespace {
constexpr double kMarkerRadius = 1.5;  // markers 3 pixels across, as the drawing library's
}

SeriesItem::SeriesItem(QGraphicsItem* parent) : QGraphicsItem(parent)
{
    setFlag(ItemClipsToShape, false);
}

void SeriesItem::set_drawing(const QRectF& plot, QPolygonF points)
{
    if (plot != plot_)
        prepareGeometryChange();
    plot_ = plot;
    points_ = std::move(points);
    segments_.clear();
    if (points_.size() > 1) {
        segments_.reserve(points_.size() - 1);
        for (qsizetype i = 1; i < points_.size(); ++i)
            segments_.append(QLineF(points_[i - 1], points_[i]));
    }
    update();
}

void SeriesItem::set_style(const QPen& pen, bool markers)
{
    pen_ = pen;
    markers_ = markers;
    update();
}

void SeriesItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (points_.isEmpty() || plot_.isEmpty())
        return;
    painter->save();
    painter->setClipRect(plot_, Qt::IntersectClip);
    painter->setPen(pen_);
    painter->setBrush(Qt::NoBrush);
    // Segment by segment, as the drawing library does: the raster engine
    // draws a wide line on its own far quicker than it strokes a wide
    // polyline with joins.
    if (points_.size() > 1)
        painter->drawLines(segments_);
    if (markers_) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(pen_.color());
        for (const QPointF& p : points_)
            painter->drawEllipse(p, kMarkerRadius, kMarkerRadius);
    }
    painter->restore();
}

}  // namespace lekta::ui
