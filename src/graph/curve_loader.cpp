#include "graph/curve_loader.h"

#include "testfile/errors.h"
#include "testfile/fields.h"
#include "testfile/number_text.h"

#include <algorithm>

namespace lekta {

namespace {

// Every record that fits the buffer: a larger count stops at the first one
// past its end, so nothing more is reserved.
constexpr std::int32_t kMostRecords = 64'000;

QString text_of(std::int32_t raw, int decimals)
{
    return QString::fromStdString(decimal_text(raw, decimals));
}

}  // namespace

const QString& model_text(unsigned model_index)
{
    static const QString texts[] = {"50", "100", "200", "300", "500"};
    if (model_index > 4)
        throw RangeError();
    return texts[model_index];
}

QString graph_caption(unsigned model_index)
{
    return QStringLiteral("ЛЕКТА ") + model_text(model_index) + QStringLiteral("-ЗИВ8");
}

LoadedCurve read_curve(const std::function<bool(std::int32_t po, std::int32_t n)>& progress)
{
    LoadedCurve out;
    out.caption = graph_caption(read_byte(kModelIndex));
    out.extensometer = read_byte(kMode) == kExtensometerMode;
    const std::int32_t n = point_count();
    out.point_count = n;
    const auto reserve = static_cast<std::size_t>(std::clamp(n, 0, kMostRecords));
    out.travel.reserve(reserve);
    if (out.extensometer)
        out.extension.reserve(reserve);
    out.cells.reserve(3 * reserve);
    for (std::int32_t po = 1; po <= n; ++po) {
        const PointRecord r = point_record(po - 1);
        // Loads in N and travel in µm read as kN and mm; the extensometer
        // counts tenths of a micrometre.
        const double f = r.f / 1000.0;
        const double h = r.h / 1000.0;
        if (f >= 0)
            out.travel.push_back({h, f});
        out.cells.push_back(text_of(r.f, 3));
        out.cells.push_back(text_of(r.h, 3));
        if (out.extensometer) {
            out.extension.push_back({r.he / 10000.0, f});
            out.cells.push_back(text_of(r.he, 4));
        } else {
            out.cells.emplace_back();
        }
        if (progress && !progress(po, n))
            return out;
    }
    out.yield_load = static_cast<std::int32_t>(tail_u32(Tail::YieldLoad)) / 1000.0;
    return out;
}

}  // namespace lekta
