#include "chart/curve_raster.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace lekta::ui;

namespace {

constexpr std::uint32_t kInk = 0xFF123456;

struct Canvas {
    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w * h), 0) {}
    RasterImage image() { return {pixels.data(), width, height, width}; }
    bool at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)] == kInk; }
    int width, height;
    std::vector<std::uint32_t> pixels;
};

// Distance from a pixel's centre to the segment a–b.
double distance(double px, double py, ChartPoint a, ChartPoint b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

}  // namespace

// Each segment, whatever its direction and wherever its ends, sets only
// pixels on it (a centre within a pixel's diagonal of the true line) and
// leaves no gap: every pixel column (or row, for a steep line) the visible
// part crosses has a pixel set. Segments wholly outside, with an end that is
// no number, or a lone point draw nothing.
TEST(CurveRaster, LinesLieOnTheirSegmentsWithoutGapsAndAreClipped)
{
    struct Case {
        std::string name;
        std::vector<ChartPoint> points;
        bool draws;
    };
    const std::vector<Case> cases = {
        {"shallow", {{2.5, 3.5}, {37.2, 11.9}}, true},
        {"steep, upwards", {{20.1, 28.7}, {23.9, 0.4}}, true},
        {"horizontal", {{0, 5.5}, {39.9, 5.5}}, true},
        {"vertical", {{7.5, 0}, {7.5, 29.9}}, true},
        {"polyline turning back", {{1, 1}, {30, 20}, {5, 25}, {35, 2}}, true},
        {"crossing from far outside", {{-1e9, -3e8}, {1e9, 3e8 + 30}}, true},
        {"leaving at the right edge", {{10.2, 10.7}, {400, 15}}, true},
        {"below the image", {{-5, 40}, {60, 31}}, false},
        {"an end that is no number", {{1, 1}, {NAN, 20}}, false},
        {"an infinite end", {{1, 1}, {INFINITY, 20}}, false},
        {"a single point", {{4, 4}}, false},
    };
    for (const Case& c : cases) {
        Canvas canvas(40, 30);
        draw_polyline(canvas.image(), c.points.data(), c.points.size(), kInk);
        int set = 0;
        for (int y = 0; y < canvas.height; ++y)
            for (int x = 0; x < canvas.width; ++x) {
                if (!canvas.at(x, y))
                    continue;
                ++set;
                double nearest = INFINITY;
                for (std::size_t i = 1; i < c.points.size(); ++i)
                    nearest = std::min(nearest,
                                       distance(x + 0.5, y + 0.5, c.points[i - 1], c.points[i]));
                EXPECT_LE(nearest, 0.75)
                    << c.name << ": pixel " << x << ", " << y << " off the line";
            }
        EXPECT_EQ(set > 0, c.draws) << c.name << ": " << set << " pixels";
        // No gaps: along its main direction each pixel line the segment
        // crosses inside the image has a pixel set near it.
        for (std::size_t i = 1; c.draws && i < c.points.size(); ++i) {
            const ChartPoint a = c.points[i - 1], b = c.points[i];
            const bool steep = std::abs(b.y - a.y) > std::abs(b.x - a.x);
            for (int k = 0; k < (steep ? canvas.height : canvas.width); ++k) {
                const double t = steep ? (k + 0.5 - a.y) / (b.y - a.y)
                                       : (k + 0.5 - a.x) / (b.x - a.x);
                if (!(t >= 0 && t <= 1))
                    continue;
                const double other = steep ? a.x + t * (b.x - a.x) : a.y + t * (b.y - a.y);
                const int o = static_cast<int>(std::floor(other));
                if (o < 0 || o >= (steep ? canvas.width : canvas.height))
                    continue;
                bool found = false;
                for (int d = -1; d <= 1 && !found; ++d) {
                    const int q = o + d;
                    if (q >= 0 && q < (steep ? canvas.width : canvas.height))
                        found = steep ? canvas.at(q, k) : canvas.at(k, q);
                }
                EXPECT_TRUE(found) << c.name << ": gap at " << (steep ? "row " : "column ") << k;
            }
        }
    }
}
