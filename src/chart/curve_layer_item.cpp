#include "chart/curve_layer_item.h"

#include "chart/chart_series_item.h"
#include "chart/curve_raster.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <cmath>

namespace lekta::ui {

namespace {

// Whether an image of chart pixels lands on the painter's device pixel for
// pixel: a raster device at one device pixel per chart pixel, moved only.
bool pixel_for_pixel(const QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device = painter.device();
    return engine && engine->type() == QPaintEngine::Raster && device &&
           device->devicePixelRatioF() == 1 &&
           painter.deviceTransform().type() <= QTransform::TxTranslate;
}

}  // namespace

CurveLayerItem::CurveLayerItem(QGraphicsItem* parent) : QGraphicsItem(parent) {}

void CurveLayerItem::add(const SeriesItem* series)
{
    series_.push_back(series);
    invalidate();
}

void CurveLayerItem::set_plot(const QRectF& plot)
{
    if (plot == plot_)
        return;
    prepareGeometryChange();
    plot_ = plot;
    invalidate();
}

void CurveLayerItem::invalidate()
{
    dirty_ = true;
    update();
}

void CurveLayerItem::render()
{
    dirty_ = false;
    ++renders_;
    origin_ = QPoint(static_cast<int>(std::floor(plot_.left())),
                     static_cast<int>(std::floor(plot_.top())));
    const QSize size(static_cast<int>(std::ceil(plot_.right())) - origin_.x(),
                     static_cast<int>(std::ceil(plot_.bottom())) - origin_.y());
    if (image_.size() != size)
        image_ = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::transparent);
    RasterImage target{reinterpret_cast<std::uint32_t*>(image_.bits()), image_.width(),
                       image_.height(), image_.bytesPerLine() / 4};
    std::vector<ChartPoint> shifted;
    for (const SeriesItem* s : series_) {
        if (!s->in_layer() || !s->isVisible() || s->points().size() < 2)
            continue;
        shifted.assign(s->points().begin(), s->points().end());
        for (ChartPoint& p : shifted) {
            p.x -= origin_.x();
            p.y -= origin_.y();
        }
        draw_polyline(target, shifted.data(), shifted.size(), s->pen().color().rgba());
    }
}

void CurveLayerItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (plot_.isEmpty())
        return;
    if (!pixel_for_pixel(*painter)) {
        for (const SeriesItem* s : series_)
            if (s->in_layer() && s->isVisible())
                s->paint_vector(painter);
        return;
    }
    if (dirty_)
        render();
    painter->save();
    painter->setClipRect(plot_, Qt::IntersectClip);
    painter->drawImage(origin_, image_);
    painter->restore();
}

}  // namespace lekta::ui
