#include "chart/curve_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lekta::ui {

namespace {

// Clips the segment to [0, w] × [0, h] (Liang and Barsky's method); false
// when nothing of it is inside.
bool clip(double& x0, double& y0, double& x1, double& y1, double w, double h)
{
    const double dx = x1 - x0, dy = y1 - y0;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0, w - x0, y0, h - y0};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0)
                return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
    const double bx = x0 + t1 * dx, by = y0 + t1 * dy;
    x0 = ax;
    y0 = ay;
    x1 = bx;
    y1 = by;
    return std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1);
}

// The pixel a coordinate inside the image lies in (truncation is the floor
// there); a clipped end on the far edge in the last pixel, a rounding just
// below 0 in the first.
int pixel(double v, int size)
{
    return std::clamp(static_cast<int>(v), 0, size - 1);
}

// The segment (inside the image) one pixel per column, or per row when it
// is steep: at each column's centre the pixel the true line passes through,
// so the pixels stay within half a pixel of it and join without a gap.
void line(const RasterImage& image, double x0, double y0, double x1, double y1,
          std::uint32_t colour)
{
    const double dx = x1 - x0, dy = y1 - y0;
    const bool steep = std::abs(dy) > std::abs(dx);
    // Along the main direction u, across it v.
    const double u0 = steep ? y0 : x0, u1 = steep ? y1 : x1;
    const double v0 = steep ? x0 : y0, v1 = steep ? x1 : y1;
    const int u_size = steep ? image.height : image.width;
    const int v_size = steep ? image.width : image.height;
    const int from = pixel(u0, u_size), to = pixel(u1, u_size);
    const int step = from <= to ? 1 : -1;
    const double slope = u1 != u0 ? (v1 - v0) / (u1 - u0) : 0;
    const double v_low = std::min(v0, v1), v_high = std::max(v0, v1);
    const std::ptrdiff_t u_stride = steep ? image.stride : 1;
    const std::ptrdiff_t v_stride = steep ? 1 : image.stride;
    auto set = [&](int u, double v) {
        image.pixels[u * u_stride + pixel(v, v_size) * v_stride] = colour;
    };
    // The ends' own pixels at the ends; the centre's crossing between.
    set(from, v0);
    if (to == from)
        return;
    for (int u = from + step; u != to; u += step)
        set(u, std::clamp(v0 + (u + 0.5 - u0) * slope, v_low, v_high));
    set(to, v1);
}

}  // namespace

void draw_polyline(const RasterImage& image, const ChartPoint* points, std::size_t count,
                   std::uint32_t colour)
{
    if (image.width <= 0 || image.height <= 0 || count < 2)
        return;
    const double w = image.width, h = image.height;
    auto inside = [w, h](const ChartPoint& p) {
        return p.x >= 0 && p.x < w && p.y >= 0 && p.y < h;
    };
    for (std::size_t i = 1; i < count; ++i) {
        const ChartPoint& a = points[i - 1];
        const ChartPoint& b = points[i];
        if (inside(a) && inside(b)) {
            line(image, a.x, a.y, b.x, b.y, colour);
            continue;
        }
        double x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y;
        if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
            continue;
        // Wholly beside the image: nothing to clip.
        if ((x0 < 0 && x1 < 0) || (x0 >= w && x1 >= w) || (y0 < 0 && y1 < 0) ||
            (y0 >= h && y1 >= h))
            continue;
        if (!clip(x0, y0, x1, y1, w, h))
            continue;
        line(image, x0, y0, x1, y1, colour);
    }
}

}  // namespace lekta::ui
