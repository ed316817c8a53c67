#pragma once
// What the series chart draws in each view: F(H), F(H e) (extensometer
// tests only) and either as stress (load ÷ each test's area, МПа), so that
// specimens of different size compare; the axis titles and each curve's
// colour. Plain C++.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "series/series_test.h"

namespace lekta::series {

enum class Deformation { Travel, Extension };

struct SeriesView {
    Deformation deformation = Deformation::Travel;
    bool stress = false;
};

// The test's curve in the view: empty where the view has nothing of it
// (F(H e) of a test without extensometer, stress of a test without area).
std::vector<ui::ChartPoint> view_points(const SeriesTest& test, SeriesView view);

// "F, кН" or "σ, МПа"; "H Δ, мм" or "H Δe, мм".
std::string left_title(SeriesView view);
std::string bottom_title(SeriesView view);

// The colour of the index-th curve, 0x00BBGGRR: the first in the graph
// window's load curve colour, then a fixed palette of clearly different
// colours (skipping one equal to the first), repeated past its end.
std::int32_t curve_colour(std::size_t index, std::int32_t first);

}  // namespace lekta::series
