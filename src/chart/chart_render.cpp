// The chart drawn off the screen: into an image of a given size and onto a
// printer's page. A chart view that was never shown has no useful size, so
// the chart is laid out at the size wanted, drawn from its scene, and laid
// out again at its own size afterwards.
#include "chart/chart.h"

#include <QChart>
#include <QGraphicsScene>
#include <QPaintDevice>
#include <QPainter>

namespace lekta::ui {

namespace {
// Chart pixels per inch on a page: the screen's nominal resolution, so that
// fonts and lines keep their on-screen proportions on paper.
constexpr double kChartDpi = 96;
}  // namespace

void Chart::lay_out_at(const QSizeF& size)
{
    chart_->resize(size);
    relayout_ = pending_ = true;
    sync();
}

void Chart::render_at(QPainter& painter, const QRectF& target, const QSizeF& size)
{
    const QSizeF own = chart_->size();
    struct Restore {
        Chart& chart;
        QSizeF size;
        ~Restore() { chart.lay_out_at(size); }
    } restore{*this, own};
    lay_out_at(size);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    chart_->scene()->render(&painter, target, QRectF(chart_->scenePos(), size),
                            Qt::IgnoreAspectRatio);
    painter.restore();
}

QImage Chart::RenderImage(const QSize& size)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    render_at(painter, QRectF(QPointF(0, 0), image.size()), image.size());
    return image;
}

void Chart::Print(QPainter& painter, const QRect& page, const QMarginsF& margins_percent,
                  bool proportional)
{
    QRectF inner(page.left() + page.width() * margins_percent.left() / 100,
                 page.top() + page.height() * margins_percent.top() / 100,
                 page.width() * (1 - (margins_percent.left() + margins_percent.right()) / 100),
                 page.height() * (1 - (margins_percent.top() + margins_percent.bottom()) / 100));
    if (inner.width() < 1 || inner.height() < 1)
        return;
    if (proportional) {
        QSizeF shape = size();
        if (shape.isEmpty())
            shape = inner.size();
        const QSizeF fitted = shape.scaled(inner.size(), Qt::KeepAspectRatio);
        inner = QRectF(inner.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
    }
    const QPaintDevice* device = painter.device();
    const double scale_x = device ? device->logicalDpiX() / kChartDpi : 1;
    const double scale_y = device ? device->logicalDpiY() / kChartDpi : 1;
    const QSizeF chart_size(std::max(1.0, inner.width() / scale_x),
                            std::max(1.0, inner.height() / scale_y));
    render_at(painter, inner, chart_size);
}

}  // namespace lekta::ui
