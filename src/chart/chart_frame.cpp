#include "chart/chart_frame.h"

#include "chart/chart_ticks.h"
#include "common/number_text.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace lekta::ui {

namespace {

constexpr double kTick = 4;      // tick marks outside the plot
constexpr double kLabelGap = 2;  // between a tick and its label
constexpr double kTitleGap = 4;  // between the labels and the axis title

// Value → pixel along the plot.
double x_pixel(const QRectF& plot, const AxisRange& r, double v)
{
    return plot.left() + (v - r.min) / (r.max - r.min) * plot.width();
}

double y_pixel(const QRectF& plot, const AxisRange& r, double v)
{
    return plot.bottom() - (v - r.min) / (r.max - r.min) * plot.height();
}

FrameAxis plan_axis(const ChartAxis& axis, const AxisRange& range, double length, const QFont& font,
                    const QFontMetricsF& fm)
{
    FrameAxis out;
    out.visible = axis.Visible();
    out.title = axis.Title();
    out.range = range;
    if (!out.visible)
        return out;
    const bool horizontal = axis.Horizontal();
    const double zero = fm.horizontalAdvance(QLatin1Char('0'));
    TickSpacing spacing;
    spacing.length = length;
    // Labels of a given increment may stand close; those of the axis' own
    // choosing keep some air between them.
    spacing.gap = horizontal ? zero : 2;
    spacing.auto_gap = horizontal ? 3 * zero : 1.5 * fm.height();
    const TickLayout ticks = choose_ticks(
        range.min, range.max, axis.Increment(), spacing, [&](double v) {
            return horizontal ? fm.horizontalAdvance(axis_label_text(v)) : fm.height();
        });
    for (double v : ticks.values) {
        const QString text = axis_label_text(v);
        // Two ticks that print alike (only at the limits of precision) show once.
        if (!out.labels.isEmpty() && out.labels.back() == text)
            continue;
        out.values.push_back(v);
        out.labels.append(text);
        QStaticText st(text);
        st.setTextFormat(Qt::PlainText);
        st.prepare(QTransform(), font);
        out.texts.push_back(st);
    }
    return out;
}

double widest(const QStringList& labels, const QFontMetricsF& fm)
{
    double w = 0;
    for (const QString& s : labels)
        w = std::max(w, fm.horizontalAdvance(s));
    return w;
}

}  // namespace

QString axis_label_text(double value)
{
    return QString::fromStdString(number_text(value));
}

ChartFrame lay_out_frame(const QSizeF& size, double title_height, const QFont& font,
                         const ChartAxis& left, const ChartAxis& bottom, const ChartAxis& right,
                         const AxisRange& left_range, const AxisRange& bottom_range,
                         const AxisRange& right_range)
{
    ChartFrame f;
    f.font = font;
    const QFontMetricsF fm(font);
    const double line = fm.height();
    const bool any_vertical = left.Visible() || right.Visible();

    // Heights first: they do not depend on the labels' texts. A vertical
    // axis' end labels are centred on the plot's top and bottom edges.
    double top = kChartMargin + (title_height > 0 ? title_height + kChartMargin : 0) +
                 (any_vertical ? line / 2 : 0);
    double bottom_edge = size.height() - kChartMargin;
    if (bottom.Visible())
        bottom_edge -= kTick + kLabelGap + line + (bottom.Title().isEmpty() ? 0 : kTitleGap + line);
    else if (any_vertical)
        bottom_edge -= line / 2;
    const double plot_height = std::max(1.0, std::floor(bottom_edge) - std::ceil(top));
    top = std::ceil(top);

    f.left = plan_axis(left, left_range, plot_height, font, fm);
    f.right = plan_axis(right, right_range, plot_height, font, fm);
    auto side = [&](const FrameAxis& a) {
        if (!a.visible)
            return kChartMargin;
        return kChartMargin + kTick + kLabelGap + widest(a.labels, fm) +
               (a.title.isEmpty() ? 0 : kTitleGap + line);
    };
    const double left_side = side(f.left);
    const double right_side = side(f.right);

    // The bottom labels decide how far the first and last reach past the
    // plot's sides, which decides the plot's width: a second pass settles it.
    double reach_left = 0;
    double reach_right = 0;
    double plot_left = 0;
    double plot_width = 1;
    for (int pass = 0; pass < 3; ++pass) {
        plot_left = std::ceil(std::max(left_side, kChartMargin + reach_left));
        const double plot_right = std::floor(size.width() -
                                             std::max(right_side, kChartMargin + reach_right));
        plot_width = std::max(1.0, plot_right - plot_left);
        f.bottom = plan_axis(bottom, bottom_range, plot_width, font, fm);
        double need_left = 0;
        double need_right = 0;
        if (!f.bottom.values.empty()) {
            const double span = bottom_range.max - bottom_range.min;
            const double first = (f.bottom.values.front() - bottom_range.min) / span * plot_width;
            const double last = (bottom_range.max - f.bottom.values.back()) / span * plot_width;
            need_left = std::max(0.0, fm.horizontalAdvance(f.bottom.labels.front()) / 2 - first);
            need_right = std::max(0.0, fm.horizontalAdvance(f.bottom.labels.back()) / 2 - last);
        }
        if (need_left <= reach_left + 0.5 && need_right <= reach_right + 0.5)
            break;
        reach_left = std::max(reach_left, need_left);
        reach_right = std::max(reach_right, need_right);
    }
    f.plot = QRectF(plot_left, top, plot_width, plot_height);
    return f;
}

ChartFrameItem::ChartFrameItem(const ChartFrame& frame, Layer layer, QGraphicsItem* parent)
    : QGraphicsItem(parent), frame_(frame), layer_(layer)
{}

void ChartFrameItem::frame_changed(const QSizeF& chart_size)
{
    const QRectF bounds(QPointF(0, 0), chart_size);
    if (bounds != bounds_) {
        prepareGeometryChange();
        bounds_ = bounds;
    }
    update();
}

void ChartFrameItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (layer_ == Layer::Grid)
        paint_grid(*painter);
    else
        paint_frame(*painter);
    painter->restore();
}

void ChartFrameItem::paint_grid(QPainter& p) const
{
    // The chart's white ground: the drawing library's own background keeps
    // the size of its first layout once the plot area is fixed.
    p.fillRect(bounds_, Qt::white);
    const QRectF& plot = frame_.plot;
    p.setPen(QPen(QColor(192, 192, 192), 1, Qt::DotLine));
    if (frame_.bottom.visible)
        for (double v : frame_.bottom.values) {
            const double x = std::round(x_pixel(plot, frame_.bottom.range, v));
            p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        }
    if (frame_.left.visible)
        for (double v : frame_.left.values) {
            const double y = std::round(y_pixel(plot, frame_.left.range, v));
            p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        }
}

void ChartFrameItem::paint_frame(QPainter& p) const
{
    const QRectF& plot = frame_.plot;
    const QFontMetricsF fm(frame_.font);
    const double line = fm.height();
    p.setFont(frame_.font);
    p.setPen(QPen(QColor(128, 128, 128), 1));
    p.drawRect(plot);
    p.setPen(QPen(Qt::black, 1));

    if (frame_.bottom.visible) {
        const FrameAxis& a = frame_.bottom;
        p.drawLine(plot.bottomLeft(), plot.bottomRight());
        double labels_bottom = plot.bottom() + kTick + kLabelGap;
        for (qsizetype i = 0; i < a.labels.size(); ++i) {
            const double x = std::round(
                x_pixel(plot, a.range, a.values[static_cast<std::size_t>(i)]));
            p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + kTick));
            const QStaticText& text = a.texts[static_cast<std::size_t>(i)];
            p.drawStaticText(QPointF(x - text.size().width() / 2, labels_bottom), text);
        }
        labels_bottom += line;
        if (!a.title.isEmpty())
            p.drawText(QRectF(plot.left(), labels_bottom + kTitleGap, plot.width(), line),
                       Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, a.title);
    }
    auto vertical = [&](const FrameAxis& a, bool on_left) {
        const double edge = on_left ? plot.left() : plot.right();
        const double out = on_left ? -1 : 1;
        p.drawLine(QPointF(edge, plot.top()), QPointF(edge, plot.bottom()));
        double widest_label = 0;
        for (qsizetype i = 0; i < a.labels.size(); ++i) {
            const double y = std::round(
                y_pixel(plot, a.range, a.values[static_cast<std::size_t>(i)]));
            p.drawLine(QPointF(edge, y), QPointF(edge + out * kTick, y));
            const QStaticText& text = a.texts[static_cast<std::size_t>(i)];
            const double w = fm.horizontalAdvance(a.labels[i]);
            widest_label = std::max(widest_label, w);
            const double x = on_left ? edge - kTick - kLabelGap - w : edge + kTick + kLabelGap;
            p.drawStaticText(QPointF(x, y - text.size().height() / 2), text);
        }
        if (a.title.isEmpty())
            return;
        // The title reads upwards beside the labels.
        const double centre_x = edge +
                                out * (kTick + kLabelGap + widest_label + kTitleGap + line / 2);
        p.save();
        p.translate(centre_x, plot.center().y());
        p.rotate(-90);
        p.drawText(QRectF(-plot.height() / 2, -line / 2, plot.height(), line),
                   Qt::AlignCenter | Qt::TextSingleLine, a.title);
        p.restore();
    };
    if (frame_.left.visible)
        vertical(frame_.left, true);
    if (frame_.right.visible)
        vertical(frame_.right, false);
}

}  // namespace lekta::ui
