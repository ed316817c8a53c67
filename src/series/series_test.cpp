#include "series/series_test.h"

#include <cmath>
#include <exception>

#include "analysis/curve_analysis.h"
#include "testfile/buffer.h"
#include "testfile/errors.h"
#include "testfile/fields.h"
#include "testfile/reader.h"

namespace lekta::series {

const std::string& left_out_text(LeftOut reason)
{
    static const std::string texts[] = {
        "",
        "файл не открывается",
        "файл повреждён",
        "испытание без графика",
        "испытание на сжатие",
        "в графике нет точек с нагрузкой",
    };
    return texts[static_cast<int>(reason)];
}

std::string SeriesTest::label() const
{
    return "Серия-" + std::to_string(series) + " №-" + std::to_string(number);
}

namespace {

void take_curve(SeriesTest& t)
{
    const analysis::TestCurve curve = analysis::read_test_curve();
    t.extensometer = curve.extensometer;
    t.area_mm2 = curve.area_mm2;
    t.gauge_base_mm = curve.gauge_base_mm;
    t.travel.reserve(curve.points.size());
    if (curve.extensometer)
        t.extension.reserve(curve.points.size());
    for (const analysis::CurvePoint& p : curve.points) {
        if (p.f_kn >= 0)
            t.travel.push_back({p.h_mm, p.f_kn});
        if (curve.extensometer)
            t.extension.push_back({p.he_mm, p.f_kn});
    }
    t.stored = analysis::read_stored_results();
    t.results = analysis::analyse_curve(curve.input());
}

}  // namespace

SeriesTest load_series_test(const std::string& path, const std::string& shown_name)
{
    SeriesTest t;
    t.file = shown_name;
    try {
        if (!read_test_file(path)) {
            t.left_out = LeftOut::Unreadable;
            return t;
        }
        t.series = read_byte(kSeries);
        t.number = read_byte(kTestNo);
        if (read_byte(kNoCurve) != 0) {
            t.left_out = LeftOut::NoCurve;
            return t;
        }
        const bool extensometer = is_extensometer_layout();
        if (!extensometer && read_byte(kMode) == 1) {
            t.left_out = LeftOut::Compression;
            return t;
        }
        mode_text(read_byte(kMode));  // RangeError for a mode outside its table: a damaged header
        shape_text(read_byte(kShape));
        take_curve(t);
        if (t.travel.empty() || !t.results[analysis::Quantity::Fm].present()) {
            t.left_out = LeftOut::NoPoints;
            t.travel.clear();
            t.extension.clear();
        }
    } catch (const InOutError& e) {
        t.left_out = LeftOut::Unreadable;
        t.detail = e.what();
    } catch (const std::exception& e) {
        t.left_out = LeftOut::Damaged;
        t.detail = e.what();
        t.travel.clear();
        t.extension.clear();
    }
    return t;
}

std::vector<ui::ChartPoint> stress_points(const std::vector<ui::ChartPoint>& points,
                                          double area_mm2)
{
    std::vector<ui::ChartPoint> out;
    if (!(area_mm2 > 0))
        return out;
    out.reserve(points.size());
    const double k = 1000.0 / area_mm2;
    for (const ui::ChartPoint& p : points)
        out.push_back({p.x, p.y * k});
    return out;
}

}  // namespace lekta::series
