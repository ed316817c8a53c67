#include "analysis/curve_analysis.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace lekta::analysis {
namespace {

// How the curve is read. The values themselves are taken from the recorded
// points as they stand, without smoothing, as the unit takes its own; the
// noise only scales the thresholds.

// A fall of the force is clear when it is at least 0.5 % of the force it
// falls from and at least eight times the force noise: the smallest upper
// yield points of steels stand 1–2 % above their plateau, and the plateau
// itself wavers by about as much, while a noise sample almost never strays
// four deviations either way.
constexpr double kClearFallShare = 0.005;
constexpr double kClearFallNoise = 8.0;
// Falls below 30 % of the highest force are the specimen settling in the
// grips, not yielding.
constexpr double kSeatingShare = 0.3;
// Yielding never sheds half of the force reached: a reading below half of it
// is a dropout or the fracture, never yielding.
constexpr double kFractureShare = 0.5;
// The elastic slope: windows 15 % of Fm wide slide in steps of 2.5 % of Fm
// from 2.5 % up to 80 %; each takes the run of points from the first one
// that reaches its lower bound to the last one before the force first
// passes its upper bound. The steepest window whose points lie on a line
// (r² at least 0.995, or a scatter about the line within 1.5 times the force
// noise; four points or more) is the linear part: below it the specimen
// settles, above it the curve bends over, and both lower the slope.
constexpr double kWindowSpan = 0.15;
constexpr double kWindowStep = 0.025;
constexpr double kWindowTop = 0.80;
constexpr double kMinLinearity = 0.995;
constexpr double kMaxScatterNoise = 1.5;
constexpr std::size_t kMinFitPoints = 4;
// The offset of the proof force: 0.2 % of the gauge base.
constexpr double kProofStrain = 0.002;

double clear_fall(double from, double noise)
{
    return std::max(kClearFallShare * from, kClearFallNoise * noise);
}

// The points the analysis works on: the caller's, or a copy without the
// points that carry a value that is not a number.
struct Points {
    std::span<const CurvePoint> p;
    std::vector<CurvePoint> kept;
    std::vector<std::size_t> original;  // file number of each kept point

    Points(std::span<const CurvePoint> all, bool extensometer)
    {
        auto finite = [extensometer](const CurvePoint& q) {
            return std::isfinite(q.f_kn) && std::isfinite(q.h_mm) && (!extensometer || std::isfinite(q.he_mm));
        };
        if (std::all_of(all.begin(), all.end(), finite)) {
            p = all;
            return;
        }
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (finite(all[i])) {
                kept.push_back(all[i]);
                original.push_back(i);
            }
        }
        p = kept;
    }
    std::size_t size() const { return p.size(); }
    double f(std::size_t i) const { return p[i].f_kn; }
    CurvePlace at(std::size_t i) const { return {p[i].f_kn, p[i].h_mm, p[i].he_mm, original.empty() ? i : original[i]}; }
    // The place a fraction t of the way from point i - 1 to point i.
    CurvePlace between(std::size_t i, double t) const
    {
        const CurvePoint& a = p[i - 1];
        const CurvePoint& b = p[i];
        auto mix = [t](double x, double y) { return x + t * (y - x); };
        return {mix(a.f_kn, b.f_kn), mix(a.h_mm, b.h_mm), mix(a.he_mm, b.he_mm), at(i).point};
    }
};

// Deviation of the force noise: for white noise of deviation s a second
// difference has deviation s·√6, and the median of its magnitude is 0.6745 of
// that. The median ignores the few places where the curve itself bends.
double force_noise(const Points& pts)
{
    const std::size_t n = pts.size();
    if (n < 3)
        return 0;
    std::vector<double> d(n - 2);
    for (std::size_t i = 1; i + 1 < n; ++i)
        d[i - 1] = std::abs(pts.f(i + 1) - 2 * pts.f(i) + pts.f(i - 1));
    const auto mid = d.begin() + static_cast<std::ptrdiff_t>(d.size() / 2);
    std::nth_element(d.begin(), mid, d.end());
    return *mid / (0.6745 * std::sqrt(6.0));
}

std::size_t first_maximum(const Points& pts, std::size_t from)
{
    std::size_t at = from;
    for (std::size_t i = from + 1; i < pts.size(); ++i)
        if (pts.f(i) > pts.f(at))
            at = i;
    return at;
}

struct UpperYield {
    std::size_t upper;  // FeH
    std::size_t fall;   // the first point clearly below it
};

// The upper yield force is the first maximum before the force first falls by
// a clear amount while the specimen goes on lengthening, provided the force
// then climbs again (the plateau or the hardening after it). A first clear
// fall that never turns is the end of the test: no yield point. A fall while
// the travel goes back is an unloading, passed over until the force reaches
// a new maximum; a reading below half the maximum is a dropout or the
// fracture and is passed over alone.
std::optional<UpperYield> find_upper_yield(const Points& pts, double top, double noise)
{
    double peak = -std::numeric_limits<double>::infinity();
    std::size_t at = 0;
    bool unloading = false;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const double f = pts.f(i);
        if (f > peak) {
            peak = f;
            at = i;
            unloading = false;
            continue;
        }
        const double clear = clear_fall(peak, noise);
        if (unloading || peak < kSeatingShare * top || f > peak - clear || f < kFractureShare * peak)
            continue;
        if (pts.p[i].h_mm < pts.p[at].h_mm) {
            unloading = true;
            continue;
        }
        double low = f;
        for (std::size_t k = i + 1; k < pts.size(); ++k) {
            const double g = pts.f(k);
            if (g < kFractureShare * peak)
                continue;
            low = std::min(low, g);
            if (g >= low + clear)
                return UpperYield{at, i};
        }
        return std::nullopt;
    }
    return std::nullopt;
}

// The lower yield force: the lowest force while the specimen yields, from the
// fall after the upper yield point until the force regains the upper yield
// force (or reaches its maximum, when it never does). The initial transient
// is the undershoot right after the fall: from where the force first comes
// down to the plateau (the median force while yielding) until it is back up
// there. It is left out when it dips below the plateau by a clear amount; a
// shallower one changes nothing worth leaving out.
std::size_t find_lower_yield(const Points& pts, const UpperYield& y, std::size_t fm_at, double noise)
{
    const double upper = pts.f(y.upper);
    std::size_t end = fm_at;
    for (std::size_t i = y.fall; i < fm_at; ++i) {
        if (pts.f(i) >= upper) {
            end = i;
            break;
        }
    }
    std::vector<double> forces(end - y.fall + 1);
    for (std::size_t i = y.fall; i <= end; ++i)
        forces[i - y.fall] = pts.f(i);
    const auto mid = forces.begin() + static_cast<std::ptrdiff_t>(forces.size() / 2);
    std::nth_element(forces.begin(), mid, forces.end());
    const double plateau = *mid;

    // Readings below half the upper yield force are dropouts, not yielding.
    const double floor = kFractureShare * upper;
    auto lowest = [&](std::size_t from, std::size_t to) {
        std::size_t at = to + 1;
        for (std::size_t i = from; i <= to; ++i)
            if (pts.f(i) >= floor && (at > to || pts.f(i) < pts.f(at)))
                at = i;
        return at;
    };
    std::size_t down = y.fall;
    while (down < end && !(pts.f(down) >= floor && pts.f(down) <= plateau))
        ++down;
    std::size_t back = down + 1;
    while (back <= end && !(pts.f(back) >= floor && pts.f(back) >= plateau))
        ++back;
    // The yielding after the transient ends before `end`, where the force
    // has regained FeH or reached Fm: a force that is back only there (a
    // single high reading) leaves nothing after the transient to take.
    if (back < end && pts.f(lowest(down, back - 1)) < plateau - clear_fall(upper, noise)) {
        const std::size_t after = lowest(back, end - 1);
        if (after < end)
            return after;
    }
    return lowest(y.fall, end);
}

struct LinearPart {
    double intercept;  // kN at zero strain
    double slope;      // kN per unit strain
    std::size_t first, last;
};

// The steepest straight window of force against strain while loading (up to
// the point of maximum force `last`); see the constants above.
std::optional<LinearPart> find_linear_part(const Points& pts, std::size_t last, double fm, double gauge,
                                           double noise)
{
    std::optional<LinearPart> best;
    std::size_t s = 0, e = 0;
    for (int w = 1;; ++w) {
        const double lo = kWindowStep * w * fm;
        const double hi = lo + kWindowSpan * fm;
        if (hi > kWindowTop * fm * (1 + 1e-9))
            break;
        while (s <= last && pts.f(s) < lo)
            ++s;
        if (s > last)
            break;
        e = std::max(e, s);
        while (e <= last && pts.f(e) <= hi)
            ++e;
        const std::size_t n = e - s;
        if (n < kMinFitPoints)
            continue;
        double mx = 0, my = 0;
        for (std::size_t i = s; i < e; ++i) {
            mx += pts.p[i].he_mm / gauge;
            my += pts.f(i);
        }
        mx /= static_cast<double>(n);
        my /= static_cast<double>(n);
        double sxx = 0, sxy = 0, syy = 0;
        for (std::size_t i = s; i < e; ++i) {
            const double dx = pts.p[i].he_mm / gauge - mx, dy = pts.f(i) - my;
            sxx += dx * dx;
            sxy += dx * dy;
            syy += dy * dy;
        }
        if (!(sxx > 0 && syy > 0 && sxy > 0))
            continue;
        const double slope = sxy / sxx;
        const double scatter = std::sqrt(std::max(0.0, syy - sxy * slope) / static_cast<double>(n - 2));
        const bool straight = sxy * slope / syy >= kMinLinearity || scatter <= kMaxScatterNoise * noise;
        if (!straight || !std::isfinite(slope))
            continue;
        if (!best || slope > best->slope)
            best = LinearPart{my - slope * mx, slope, s, e - 1};
    }
    return best;
}

// The first place, from the start of the linear part up to the maximum force,
// where the curve falls to the elastic line shifted by 0.2 % strain.
std::optional<CurvePlace> offset_intersection(const Points& pts, const LinearPart& line, std::size_t last,
                                              double gauge)
{
    auto gap = [&](std::size_t i) {
        return pts.f(i) - (line.intercept + line.slope * (pts.p[i].he_mm / gauge - kProofStrain));
    };
    double before = gap(line.first);
    if (before <= 0)
        return pts.at(line.first);
    for (std::size_t i = line.first + 1; i <= last; ++i) {
        const double g = gap(i);
        if (g <= 0)
            return pts.between(i, before / (before - g));
        before = g;
    }
    return std::nullopt;
}

}  // namespace

CurveResults analyse_curve(const CurveInput& input)
{
    CurveResults r;
    const Points pts(input.points, input.extensometer);
    const bool area_ok = std::isfinite(input.area_mm2) && input.area_mm2 > 0;
    const double gauge = input.gauge_base_mm;
    Absence strain_absence = Absence::None;
    if (!input.extensometer)
        strain_absence = Absence::NoExtensometer;
    else if (!(std::isfinite(gauge) && gauge > 0))
        strain_absence = Absence::NoGaugeBase;

    auto put = [&r](Quantity q, double value, const CurvePlace& place) {
        r[q] = Result{value, Absence::None, place};
    };
    auto absent = [&r](Quantity q, Absence why) { r[q] = Result{0, why, {}}; };
    auto fill_absent = [&](Absence why) {
        absent(Quantity::Fm, why);
        absent(Quantity::FeH, why);
        absent(Quantity::FeL, why);
        absent(Quantity::Fp02, strain_absence != Absence::None ? strain_absence : why);
        absent(Quantity::Agt, strain_absence != Absence::None ? strain_absence : why);
    };
    // A strength: its force over the area, where both exist.
    auto stresses = [&] {
        const std::pair<Quantity, Quantity> pairs[] = {
            {Quantity::Fm, Quantity::Rm}, {Quantity::FeH, Quantity::ReH},
            {Quantity::FeL, Quantity::ReL}, {Quantity::Fp02, Quantity::Rp02}};
        for (const auto& [force, stress] : pairs) {
            const Result& f = r[force];
            if (!f.present())
                absent(stress, f.absence);
            else if (!area_ok)
                absent(stress, Absence::NoArea);
            else
                put(stress, f.value * 1000 / input.area_mm2, f.place);  // kN over mm² in МПа
        }
    };

    if (pts.size() == 0) {
        fill_absent(Absence::NoPoints);
        stresses();
        return r;
    }
    const std::size_t top_at = first_maximum(pts, 0);
    const double top = pts.f(top_at);
    if (!(top > 0)) {
        fill_absent(Absence::NoTension);
        stresses();
        return r;
    }
    r.noise_kn = force_noise(pts);

    // With a yield point the maximum force is the highest after yielding
    // began: a curve whose upper yield stays the highest force has its
    // strength from the hardening after the plateau.
    const std::optional<UpperYield> yield = find_upper_yield(pts, top, r.noise_kn);
    const std::size_t fm_at = yield ? first_maximum(pts, yield->fall) : top_at;
    put(Quantity::Fm, pts.f(fm_at), pts.at(fm_at));
    if (yield) {
        put(Quantity::FeH, pts.f(yield->upper), pts.at(yield->upper));
        const std::size_t lower = find_lower_yield(pts, *yield, fm_at, r.noise_kn);
        put(Quantity::FeL, pts.f(lower), pts.at(lower));
    } else {
        absent(Quantity::FeH, Absence::NoYieldPoint);
        absent(Quantity::FeL, Absence::NoYieldPoint);
    }

    if (strain_absence != Absence::None) {
        absent(Quantity::Fp02, strain_absence);
        absent(Quantity::Agt, strain_absence);
    } else {
        // The extensometer reads from zero at the start of the test.
        put(Quantity::Agt, pts.p[fm_at].he_mm / gauge * 100, pts.at(fm_at));
        const std::optional<LinearPart> line = find_linear_part(pts, fm_at, pts.f(fm_at), gauge, r.noise_kn);
        if (!line) {
            absent(Quantity::Fp02, Absence::NoLinearPart);
        } else {
            r.has_offset_line = true;
            r.offset_line.slope_kn = line->slope;
            r.offset_line.gauge_base_mm = gauge;
            r.offset_line.he_at_zero_mm = -line->intercept / line->slope * gauge;
            r.offset_line.offset_mm = kProofStrain * gauge;
            r.offset_line.fit_first = pts.at(line->first).point;
            r.offset_line.fit_last = pts.at(line->last).point;
            const std::optional<CurvePlace> cross = offset_intersection(pts, *line, fm_at, gauge);
            if (cross)
                put(Quantity::Fp02, cross->f_kn, *cross);
            else
                absent(Quantity::Fp02, Absence::NoIntersection);
        }
    }
    stresses();
    return r;
}

}  // namespace lekta::analysis
