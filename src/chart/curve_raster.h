#pragma once
// One-pixel solid lines written straight into a 32-bit image. A chart with
// fifty curves of a few thousand thinned points each hands the painter some
// 250,000 short segments per view; the painter's general line path costs
// some 50 ns for each, this one a few. Pixel (i, j) covers [i, i + 1) ×
// [j, j + 1); a segment sets every pixel of its Bresenham line, both ends
// included, in one opaque colour.
//
// Plain C++: the image is the caller's memory.
#include "chart/chart_thinning.h"

#include <cstddef>
#include <cstdint>

namespace lekta::ui {

struct RasterImage {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;  // pixels from one row to the next
};

// The polyline through points[0, count) in the image's pixel coordinates,
// clipped to the image. A segment with an end that is not a finite number
// is left out, as the painter leaves it out; a single point draws nothing,
// as a polyline of one point does.
void draw_polyline(const RasterImage& image, const ChartPoint* points, std::size_t count,
                   std::uint32_t colour);

}  // namespace lekta::ui
