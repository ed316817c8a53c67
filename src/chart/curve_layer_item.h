#pragma once
// The chart's one-pixel curves in one image: each series drawn by the chart
// itself with a one-pixel solid line and no markers is written into the
// layer's image (curve_raster.h), in the order the series were added, and a
// repaint only puts the image on the screen. The image is drawn again when
// such a series' points, style or visibility change, or the plot moves.
//
// Onto a painter that is not a plain raster at one device pixel per chart
// pixel (a printer, a PDF page, a scaled picture, a high-density screen)
// each series is drawn with the painter's own lines instead.
#include <QGraphicsItem>
#include <QImage>
#include <vector>

namespace lekta::ui {

class SeriesItem;

class CurveLayerItem : public QGraphicsItem {
public:
    explicit CurveLayerItem(QGraphicsItem* parent);

    // The series in the order they are drawn (later over earlier).
    void add(const SeriesItem* series);
    void set_plot(const QRectF& plot);
    // A series of the layer changed: the image is drawn again at the next paint.
    void invalidate();

    QRectF boundingRect() const override { return plot_; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    // Times the image was drawn (for tests: a repaint alone draws nothing).
    int renders() const { return renders_; }

private:
    void render();

    QRectF plot_;
    std::vector<const SeriesItem*> series_;
    QImage image_;
    QPoint origin_;  // the image's top left pixel in the chart's coordinates
    bool dirty_ = true;
    int renders_ = 0;
};

}  // namespace lekta::ui
