// The input is a test file, read whole as the graph opener reads it; then
// the graph loader's read_curve reads the test in the buffer and the results
// engine analyses it, as the loader thread does, whatever the header and the
// tail's point count say.
//
// What must hold, whatever the bytes:
// - read_curve gives the curve or throws RangeError, nothing else, and throws
//   exactly when a read would leave its bounds: a model index above 4, the
//   point count or the yield load outside the buffer, more records than the
//   buffer holds. Up to there it reports each point read, 1 … n in order;
// - the curve holds exactly the records in the buffer, each from the bytes
//   at its place: the points with F ≥ 0 on F(H), every point on F(H e) in
//   the extensometer layout, table texts that read back as the values and
//   are no longer than their column's longest, the yield load from the tail;
// - a read stopped at point k holds the first k points;
// - the analysis throws RangeError exactly when the point count, a record or
//   a stored result lies outside the buffer. Otherwise each force it finds
//   is the force of a point of the curve, Fm the highest unless a yield
//   point moved it, FeL not above FeH nor before it; a quantity is absent
//   for the reason its inputs give (no points, no positive load, no area, no
//   extensometer, no gauge base); every value given is finite; the elastic
//   fit is there only with Fp0.2.
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/memory_file.h"

#include "analysis/result_comparison.h"
#include "common/number_text.h"
#include "graph/curve_loader.h"
#include "testfile/buffer.h"
#include "testfile/errors.h"
#include "testfile/fields.h"
#include "testfile/reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace lekta::fuzz {

namespace {

using analysis::Absence;
using analysis::Quantity;

std::int32_t le32(const unsigned char* p)
{
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                     std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
}

// The test in the buffer as its bytes say, read without the fields API.
struct Layout {
    const unsigned char* bytes = test_buffer().bytes();
    std::int64_t size = test_buffer().size();
    bool extensometer = bytes[kMode] == kExtensometerMode;
    // Where the records start, and how many the buffer holds.
    std::size_t first = extensometer ? 27 : 28;
    std::int32_t fit = static_cast<std::int32_t>((kTestBufferSize - first) / 16);
    // Tail fields, by their distance from the end of the file.
    std::size_t count_distance = extensometer ? 30 : 22;
    std::size_t yield_load_distance = extensometer ? 22 : 14;
    static constexpr std::size_t kLastResultDistance = 6;  // the tail's last field in either layout

    // The four bytes `distance` before the end of the file lie in the buffer.
    bool inside(std::size_t distance) const
    {
        const std::int64_t at = size - static_cast<std::int64_t>(distance);
        return at >= 0 && at + 4 <= static_cast<std::int64_t>(kTestBufferSize);
    }
    std::int32_t tail(std::size_t distance) const
    {
        return le32(bytes + (size - static_cast<std::int64_t>(distance)));
    }
    PointRecord record(std::int32_t i) const
    {
        const unsigned char* p = bytes + first + 16 * static_cast<std::size_t>(i);
        return extensometer ? PointRecord{le32(p + 4), le32(p + 8), le32(p)}
                            : PointRecord{le32(p), le32(p + 4), 0};
    }
};

// Counts the progress calls, checks their order, stops at `stop` (0: never).
struct Progress {
    std::int32_t n = 0;
    std::int32_t stop = 0;
    std::int32_t calls = 0;
    bool operator()(std::int32_t po, std::int32_t total)
    {
        ++calls;
        LEKTA_FUZZ_CHECK(po == calls && total == n, "progress(%d, %d) as call %d of a count of %d",
                         po, total, calls, n);
        return po != stop;
    }
};

// read_curve, or nothing on RangeError; any other exception is a fault.
std::optional<LoadedCurve> read(Progress& progress)
{
    try {
        return read_curve([&](std::int32_t po, std::int32_t n) { return progress(po, n); });
    } catch (const RangeError&) {
        return std::nullopt;
    } catch (const std::exception& e) {
        LEKTA_FUZZ_CHECK(false, "read_curve threw '%s'", e.what());
    }
    return std::nullopt;
}

// The table text of raw ÷ 10^decimals: a sign, digits, the separator only
// before digits that do not end in 0, and the value when read back.
void check_text(const QString& text, std::int32_t raw, int decimals, const std::string& separator)
{
    const std::string t = text.toStdString();
    const std::size_t sep = t.find(separator);
    const std::size_t digits_from = t.empty() || t[0] != '-' ? 0 : 1;
    bool form = t.size() > digits_from && (raw < 0) == (digits_from == 1);
    for (std::size_t i = digits_from; i < t.size() && form; ++i) {
        if (i >= sep && i < sep + separator.size())
            continue;
        form = t[i] >= '0' && t[i] <= '9';
    }
    if (sep != std::string::npos)
        form = form && sep > digits_from && sep + separator.size() < t.size() && t.back() != '0';
    LEKTA_FUZZ_CHECK(form, "'%s' is no text of %d / 10^%d", t.c_str(), raw, decimals);
    const double want = raw / std::pow(10.0, decimals);
    const double read_back = parse_number(t);
    LEKTA_FUZZ_CHECK(read_back == want, "'%s' reads back as %.17g, not %.17g", t.c_str(), read_back,
                     want);
}

void check_curve(const LoadedCurve& c, const Layout& l, std::int32_t count, std::int32_t rows,
                 bool whole, const std::string& separator)
{
    LEKTA_FUZZ_CHECK(c.point_count == count, "point count %d, the tail says %d", c.point_count,
                     count);
    LEKTA_FUZZ_CHECK(c.extensometer == l.extensometer, "layout flag wrong");
    LEKTA_FUZZ_CHECK(c.table && c.table->rows() == rows, "%d table rows for %d points",
                     c.table ? c.table->rows() : -1, rows);
    std::size_t travel = 0;
    for (std::int32_t i = 0; i < rows; ++i) {
        const PointRecord r = l.record(i);
        const double f = r.f / 1000.0;
        if (f >= 0) {
            LEKTA_FUZZ_CHECK(travel < c.travel.size(), "F(H) ends before point %d", i);
            const ui::ChartPoint want{r.h / 1000.0, f};
            LEKTA_FUZZ_CHECK(c.travel[travel] == want, "F(H) point %zu is not record %d", travel,
                             i);
            ++travel;
        }
        if (l.extensometer) {
            const ui::ChartPoint want{r.he / 10000.0, f};
            LEKTA_FUZZ_CHECK(static_cast<std::size_t>(i) < c.extension.size() &&
                                 c.extension[static_cast<std::size_t>(i)] == want,
                             "F(H e) point %d is not its record", i);
        }
    }
    LEKTA_FUZZ_CHECK(c.travel.size() == travel, "%zu points on F(H), %zu with F >= 0",
                     c.travel.size(), travel);
    LEKTA_FUZZ_CHECK(c.extension.size() == (l.extensometer ? static_cast<std::size_t>(rows) : 0u),
                     "%zu points on F(H e)", c.extension.size());

    // The table: the first rows, one in the middle and the last.
    const std::vector<QString>& longest = c.table->longest();
    LEKTA_FUZZ_CHECK(longest.size() == 3, "%zu longest texts", longest.size());
    for (const std::int32_t i : {0, 1, rows / 2, rows - 1}) {
        if (i < 0 || i >= rows)
            continue;
        const PointRecord r = l.record(i);
        const std::int32_t raw[] = {r.f, r.h, r.he};
        const int decimals[] = {3, 3, 4};
        for (int col = 0; col < 3; ++col) {
            const QString text = c.table->text(col, i);
            if (col == 2 && !l.extensometer) {
                LEKTA_FUZZ_CHECK(text.isEmpty(), "a H Δe text in the standard layout");
                continue;
            }
            check_text(text, raw[col], decimals[col], separator);
            LEKTA_FUZZ_CHECK(text.size() <= longest[static_cast<std::size_t>(col)].size(),
                             "row %d column %d is longer than the longest", i, col);
        }
    }
    if (whole)
        LEKTA_FUZZ_CHECK(c.yield_load == l.tail(l.yield_load_distance) / 1000.0, "yield load %.17g",
                         c.yield_load);
    else
        LEKTA_FUZZ_CHECK(c.yield_load == 0, "a stopped read has a yield load");
}

std::optional<analysis::ComparedResults> analyse()
{
    try {
        return analysis::analyse_buffer_test();
    } catch (const RangeError&) {
        return std::nullopt;
    } catch (const std::exception& e) {
        LEKTA_FUZZ_CHECK(false, "the analysis threw '%s'", e.what());
    }
    return std::nullopt;
}

void check_results(const analysis::ComparedResults& results, const Layout& l, std::int32_t n)
{
    const analysis::CurveResults& r = results.computed;
    double top = -INFINITY;
    for (std::int32_t i = 0; i < n; ++i)
        top = std::max(top, l.record(i).f / 1000.0);
    const double area = (l.bytes[kArea] | l.bytes[kArea + 1] << 8) / 10.0;
    const double gauge = (l.bytes[kGaugeBase] | l.bytes[kGaugeBase + 1] << 8) / 100.0;

    for (const Quantity q : analysis::quantities()) {
        const analysis::Result& v = r[q];
        if (v.present()) {
            LEKTA_FUZZ_CHECK(std::isfinite(v.value), "%s is %g", analysis::symbol(q).c_str(),
                             v.value);
            LEKTA_FUZZ_CHECK(v.place.point < static_cast<std::size_t>(n),
                             "%s read at point %zu of %d", analysis::symbol(q).c_str(),
                             v.place.point, n);
        }
        const std::optional<double> d = results.difference_percent(q);
        LEKTA_FUZZ_CHECK(!d || std::isfinite(*d), "%s differs by %g %%",
                         analysis::symbol(q).c_str(), *d);
    }
    LEKTA_FUZZ_CHECK(std::isfinite(r.noise_kn) && r.noise_kn >= 0, "force noise %g", r.noise_kn);

    // Forces: each that is found is the force of the point it names.
    const analysis::Result& fm = r[Quantity::Fm];
    const analysis::Result& feh = r[Quantity::FeH];
    const analysis::Result& fel = r[Quantity::FeL];
    const Absence no_force = n == 0    ? Absence::NoPoints
                             : top > 0 ? Absence::None
                                       : Absence::NoTension;
    LEKTA_FUZZ_CHECK(fm.absence == no_force, "Fm absent for %d, expected %d",
                     static_cast<int>(fm.absence), static_cast<int>(no_force));
    for (const Quantity q : {Quantity::Fm, Quantity::FeH, Quantity::FeL}) {
        const analysis::Result& v = r[q];
        if (v.present())
            LEKTA_FUZZ_CHECK(v.value == l.record(static_cast<std::int32_t>(v.place.point)).f /
                                            1000.0 &&
                                 v.place.f_kn == v.value,
                             "%s = %g is not the force of point %zu", analysis::symbol(q).c_str(),
                             v.value, v.place.point);
    }
    if (fm.present()) {
        LEKTA_FUZZ_CHECK(fm.value <= top, "Fm %g above the highest force %g", fm.value, top);
        LEKTA_FUZZ_CHECK(feh.present() == fel.present(), "FeH without FeL or the other way");
        LEKTA_FUZZ_CHECK(feh.present() || feh.absence == Absence::NoYieldPoint, "FeH absent for %d",
                         static_cast<int>(feh.absence));
        if (!feh.present())
            LEKTA_FUZZ_CHECK(fm.value == top,
                             "Fm %g without a yield point, the highest force is %g", fm.value, top);
        else
            LEKTA_FUZZ_CHECK(fel.value <= feh.value && fel.value <= fm.value &&
                                 fel.place.point > feh.place.point,
                             "FeL %g at point %zu, FeH %g at point %zu, Fm %g", fel.value,
                             fel.place.point, feh.value, feh.place.point, fm.value);
    }

    // Strengths: a force over the area, where both exist.
    const std::pair<Quantity, Quantity> strengths[] = {{Quantity::Fm, Quantity::Rm},
                                                       {Quantity::FeH, Quantity::ReH},
                                                       {Quantity::FeL, Quantity::ReL},
                                                       {Quantity::Fp02, Quantity::Rp02}};
    for (const auto& [force, stress] : strengths) {
        const Absence want = !r[force].present() ? r[force].absence
                             : area > 0          ? Absence::None
                                                 : Absence::NoArea;
        LEKTA_FUZZ_CHECK(r[stress].absence == want, "%s absent for %d, expected %d",
                         analysis::symbol(stress).c_str(), static_cast<int>(r[stress].absence),
                         static_cast<int>(want));
    }

    // Strain: only with an extensometer and its gauge base.
    const Absence no_strain = !l.extensometer ? Absence::NoExtensometer
                              : !(gauge > 0)  ? Absence::NoGaugeBase
                                              : no_force;
    const analysis::Result& agt = r[Quantity::Agt];
    const analysis::Result& fp = r[Quantity::Fp02];
    LEKTA_FUZZ_CHECK(agt.absence == no_strain, "Agt absent for %d, expected %d",
                     static_cast<int>(agt.absence), static_cast<int>(no_strain));
    if (no_strain != Absence::None) {
        LEKTA_FUZZ_CHECK(fp.absence == no_strain && !r.has_offset_line,
                         "Fp0.2 absent for %d, expected %d", static_cast<int>(fp.absence),
                         static_cast<int>(no_strain));
        return;
    }
    LEKTA_FUZZ_CHECK(
        fp.present() || fp.absence == Absence::NoLinearPart ||
            fp.absence == Absence::NoIntersection || fp.absence == Absence::FewElasticPoints ||
            fp.absence == Absence::ImplausibleModulus || fp.absence == Absence::SparseAtProof,
        "Fp0.2 absent for %d", static_cast<int>(fp.absence));
    // The line is there wherever one was fitted and is plausible: with too
    // few points it may have been fitted and found too uncertain.
    if (fp.absence != Absence::FewElasticPoints)
        LEKTA_FUZZ_CHECK(r.has_offset_line == (fp.absence != Absence::NoLinearPart &&
                                               fp.absence != Absence::ImplausibleModulus),
                         "offset line and Fp0.2 disagree");
    LEKTA_FUZZ_CHECK(!r.elastic.present() ||
                         (fp.present() && std::isfinite(r.elastic.modulus_gpa) &&
                          r.elastic.modulus_gpa > 0 && r.elastic.points >= 3),
                     "elastic fit without Fp0.2, E %g", r.elastic.modulus_gpa);
    // Read between two points: not above the higher of them, but for the
    // rounding of the interpolation.
    if (fp.present())
        LEKTA_FUZZ_CHECK(fp.value <= top + 1e-12 * std::abs(top),
                         "Fp0.2 %g above the highest force %g", fp.value, top);
    if (r.has_offset_line) {
        const analysis::OffsetLine& line = r.offset_line;
        LEKTA_FUZZ_CHECK(line.fit_first < line.fit_last &&
                             line.fit_last < static_cast<std::size_t>(n) &&
                             line.fit_last <= fm.place.point,
                         "elastic line fitted to points %zu to %zu of %d, Fm at %zu",
                         line.fit_first, line.fit_last, n, fm.place.point);
        LEKTA_FUZZ_CHECK(std::isfinite(line.slope_kn) && line.slope_kn > 0 &&
                             std::isfinite(line.he_at_zero_mm) && line.gauge_base_mm == gauge,
                         "elastic line: slope %g, zero at %g", line.slope_kn, line.he_at_zero_mm);
    }
}

struct Separator {
    explicit Separator(const char* sep) : saved(number_format().decimal_separator)
    {
        number_format().decimal_separator = sep;
    }
    ~Separator() { number_format().decimal_separator = saved; }
    std::string saved;
};

}  // namespace

int curve(const std::uint8_t* data, std::size_t size)
{
    if (size > 2 * kTestBufferSize)
        return 0;
    bool opened = false;
    try {
        opened = read_test_file(input_file(data, size));
    } catch (const InOutError& e) {
        LEKTA_FUZZ_CHECK(false, "reading a file in memory failed: %s", e.what());
    }
    LEKTA_FUZZ_CHECK(opened, "a regular file did not open");

    // Both separators, one input each.
    const Separator separator(size % 2 ? "," : ".");
    const std::string& sep = number_format().decimal_separator;

    const Layout l;
    const bool model_ok = l.bytes[kModelIndex] <= 4;
    const bool count_ok = l.inside(l.count_distance);
    const std::int32_t count = count_ok ? l.tail(l.count_distance) : 0;
    const std::int32_t n = std::max(count, 0);
    const bool records_ok = count <= l.fit;

    // The loader's read.
    Progress whole{count};
    const std::optional<LoadedCurve> c = read(whole);
    const bool fails = !model_ok || !count_ok || !records_ok || !l.inside(l.yield_load_distance);
    LEKTA_FUZZ_CHECK(c.has_value() != fails, "read_curve %s (model %u, count %d, %lld bytes)",
                     c ? "read past the buffer" : "refused a test inside it", l.bytes[kModelIndex],
                     count, static_cast<long long>(l.size));
    const std::int32_t reported = model_ok && count_ok ? std::min(n, l.fit) : 0;
    LEKTA_FUZZ_CHECK(whole.calls == reported, "%d points reported, %d read", whole.calls, reported);
    if (c) {
        check_curve(*c, l, count, n, true, sep);
        // Stopped part-way, at a point the input picks.
        if (n >= 2) {
            Progress part{count, 1 + static_cast<std::int32_t>(size * 7919 %
                                                               static_cast<std::size_t>(n - 1))};
            const std::optional<LoadedCurve> p = read(part);
            LEKTA_FUZZ_CHECK(p.has_value(), "a stopped read failed");
            LEKTA_FUZZ_CHECK(part.calls == part.stop, "%d points reported, stopped at %d",
                             part.calls, part.stop);
            check_curve(*p, l, count, part.stop, false, sep);
        }
    }

    // The results engine on the same buffer.
    const std::optional<analysis::ComparedResults> results = analyse();
    const bool analysis_fails = !count_ok || !records_ok || !l.inside(Layout::kLastResultDistance);
    LEKTA_FUZZ_CHECK(results.has_value() != analysis_fails,
                     "the analysis %s (count %d, %lld bytes)",
                     results ? "read past the buffer" : "refused a test inside it", count,
                     static_cast<long long>(l.size));
    if (results)
        check_results(*results, l, n);
    return 0;
}

}  // namespace lekta::fuzz
