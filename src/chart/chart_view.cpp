#include "chart/chart_view.h"

#include "chart/chart.h"

#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace lekta::ui {

ChartView::ChartView(QChart* chart, Chart& owner)
    : QChartView(chart), owner_(owner), band_(new QRubberBand(QRubberBand::Rectangle, viewport()))
{
    setRubberBand(QChartView::NoRubberBand);
    setRenderHint(QPainter::Antialiasing, false);
    setRenderHint(QPainter::TextAntialiasing, true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    band_->hide();
    // The chart's own white ground covers the view: one fill per paint, not two.
    setBackgroundBrush(Qt::NoBrush);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

QPointF ChartView::chart_pixel(const QPoint& viewport_pos) const
{
    return chart()->mapFromScene(mapToScene(viewport_pos));
}

bool ChartView::far_enough(const QPoint& pos) const
{
    return (pos - press_).manhattanLength() >= kDragDistance;
}

void ChartView::mousePressEvent(QMouseEvent* event)
{
    if (drag_ != Drag::None) {
        event->accept();
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        drag_ = Drag::Zoom;
    } else if (event->button() == Qt::RightButton) {
        drag_ = Drag::Pan;
        pan_x_ = owner_.VisibleRange(owner_.BottomAxis());
        pan_y_ = owner_.VisibleRange(owner_.LeftAxis());
        pan_plot_ = owner_.PlotArea();
    } else {
        QChartView::mousePressEvent(event);
        return;
    }
    press_ = pos;
    moved_ = false;
    event->accept();
}

void ChartView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (drag_ == Drag::None) {
        QChartView::mouseMoveEvent(event);
        return;
    }
    if (!moved_ && !far_enough(pos)) {
        event->accept();
        return;
    }
    moved_ = true;
    if (drag_ == Drag::Zoom) {
        band_->setGeometry(QRect(press_, pos).normalized());
        band_->show();
    } else if (pan_plot_.width() > 0 && pan_plot_.height() > 0) {
        const QPointF d = chart_pixel(pos) - chart_pixel(press_);
        const double dx = -d.x() / pan_plot_.width() * (pan_x_.max - pan_x_.min);
        const double dy = d.y() / pan_plot_.height() * (pan_y_.max - pan_y_.min);
        owner_.ZoomRect(QRectF(QPointF(pan_x_.min + dx, pan_y_.min + dy),
                               QPointF(pan_x_.max + dx, pan_y_.max + dy)));
    }
    event->accept();
}

void ChartView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const bool ours = (drag_ == Drag::Zoom && event->button() == Qt::LeftButton) ||
                      (drag_ == Drag::Pan && event->button() == Qt::RightButton);
    if (!ours) {
        if (drag_ == Drag::None)
            QChartView::mouseReleaseEvent(event);
        event->accept();
        return;
    }
    const Drag drag = drag_;
    drag_ = Drag::None;
    band_->hide();
    const bool moved = moved_ || far_enough(pos);
    if (drag == Drag::Zoom) {
        if (!moved) {
            emit owner_.Clicked();
        } else if (pos.x() > press_.x() && pos.y() > press_.y()) {
            // The part of the rectangle over the plot, in axis values.
            const QRectF plot = owner_.PlotArea();
            const QRectF r = QRectF(chart_pixel(press_), chart_pixel(pos)).intersected(plot);
            if (r.width() > 0 && r.height() > 0)
                owner_.ZoomRect(
                    QRectF(owner_.ValueAt(r.topLeft()), owner_.ValueAt(r.bottomRight())));
        } else {
            owner_.UndoZoom();
        }
    }
    event->accept();
}

void ChartView::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    const QRectF plot = owner_.PlotArea();
    if (delta == 0 || plot.width() <= 0 || plot.height() <= 0) {
        event->ignore();
        return;
    }
    const double share = std::pow(kWheelStep, delta / 120.0);
    QPointF at = chart_pixel(event->position().toPoint());
    // Outside the plot the nearest point of its edge stays where it is.
    at.setX(std::clamp(at.x(), plot.left(), plot.right()));
    at.setY(std::clamp(at.y(), plot.top(), plot.bottom()));
    const QPointF v = owner_.ValueAt(at);
    const AxisRange x = owner_.VisibleRange(owner_.BottomAxis());
    const AxisRange y = owner_.VisibleRange(owner_.LeftAxis());
    owner_.ZoomRect(
        QRectF(QPointF(v.x() + (x.min - v.x()) * share, v.y() + (y.min - v.y()) * share),
               QPointF(v.x() + (x.max - v.x()) * share, v.y() + (y.max - v.y()) * share)));
    event->accept();
}

void ChartView::paintEvent(QPaintEvent* event)
{
    // What changed since the last update is drawn in this paint, not the next.
    owner_.sync_if_pending();
    QChartView::paintEvent(event);
}

}  // namespace lekta::ui
