#pragma once
// A stand-in for the online window as the link protocol engine sees it: it
// keeps every label, title, point, row and axis change so tests can look at them.
#include "online/link_interfaces.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

namespace lekta::testing {

struct FakeAxes {
    double bottom_min = 0, bottom_max = 50, left_min = -0.2, left_max = 20;
    bool manual = false;
};

struct RecordingLinkView : LinkView {
    void set_extensometer_chart_visible(bool v) override { panel2 = v; }
    void set_main_chart_title(const std::string& t) override { title = t; }
    void set_label(int i, const std::string& t) override { labels[i] = t; }
    void set_record_count_text(const std::string& t) override { record_count = t; }
    void add_points(LinkSeries s, const std::vector<LinkPoint>& p) override
    {
        auto& v = series[s];
        v.insert(v.end(), p.begin(), p.end());
        ++add_calls[s];
    }
    SeriesExtent extent(LinkSeries s) const override
    {
        SeriesExtent e;
        auto it = series.find(s);
        if (it == series.end() || it->second.empty())
            return e;
        e = {it->second[0].x, it->second[0].x, it->second[0].y, it->second[0].y};
        for (const LinkPoint& p : it->second) {
            e.min_x = std::min(e.min_x, p.x);
            e.max_x = std::max(e.max_x, p.x);
            e.min_y = std::min(e.min_y, p.y);
            e.max_y = std::max(e.max_y, p.y);
        }
        return e;
    }
    double bottom_minimum(LinkChart c) const override { return axes[int(c)].bottom_min; }
    double bottom_maximum(LinkChart c) const override { return axes[int(c)].bottom_max; }
    void set_bottom_minimum(LinkChart c, double v) override
    {
        axes[int(c)].bottom_min = v, ++axis_sets;
    }
    void set_bottom_maximum(LinkChart c, double v) override
    {
        axes[int(c)].bottom_max = v, ++axis_sets;
    }
    void set_left_minimum(LinkChart c, double v) override
    {
        axes[int(c)].left_min = v, ++axis_sets;
    }
    void set_left_maximum(LinkChart c, double v) override
    {
        axes[int(c)].left_max = v, ++axis_sets;
    }
    void set_manual_left_minimum_bottom_maximum(LinkChart c) override
    {
        axes[int(c)].manual = true;
    }
    void add_rows(const std::vector<PointRow>& r) override
    {
        rows.insert(rows.end(), r.begin(), r.end());
        ++row_calls;
    }
    void unit_not_found() override { ++not_found; }
    void link_lost() override { ++lost; }

    const std::vector<LinkPoint>& pts(LinkSeries s) { return series[s]; }
    bool panel2 = false;
    std::string title, record_count;
    std::map<int, std::string> labels;
    std::map<LinkSeries, std::vector<LinkPoint>> series;
    std::map<LinkSeries, int> add_calls;
    std::array<FakeAxes, 2> axes{};
    int axis_sets = 0, row_calls = 0, not_found = 0, lost = 0;
    std::vector<PointRow> rows;
};

}  // namespace lekta::testing
