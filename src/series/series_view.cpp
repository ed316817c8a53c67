#include "series/series_view.h"

namespace lekta::series {

std::vector<ui::ChartPoint> view_points(const SeriesTest& test, SeriesView view)
{
    const std::vector<ui::ChartPoint>& load = view.deformation == Deformation::Travel
                                                  ? test.travel
                                                  : test.extension;
    return view.stress ? stress_points(load, test.area_mm2) : load;
}

std::string left_title(SeriesView view)
{
    return view.stress ? "σ, МПа" : "F, кН";
}

std::string bottom_title(SeriesView view)
{
    return view.deformation == Deformation::Travel ? "H Δ, мм" : "H Δe, мм";
}

std::int32_t curve_colour(std::size_t index, std::int32_t first)
{
    // 0x00BBGGRR: red, blue, green, orange, purple, teal, brown, magenta,
    // olive, navy, grey, dark red.
    static const std::int32_t palette[] = {0x0000FF, 0xC00000, 0x008000, 0x0080FF,
                                           0x800080, 0x808000, 0x204080, 0xFF00FF,
                                           0x008080, 0x800000, 0x808080, 0x000080};
    if (index == 0)
        return first;
    std::vector<std::int32_t> rest;
    for (std::int32_t c : palette)
        if (c != first)
            rest.push_back(c);
    return rest[(index - 1) % rest.size()];
}

}  // namespace lekta::series
