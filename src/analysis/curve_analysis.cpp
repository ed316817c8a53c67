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
// The yield phenomenon counts only where the force, after its fall, stays
// at or below the peak over at least 0.05 % strain (a single low reading
// or a pause of the machine is over well before), and only where the
// specimen had not yet hardened past the proof point: at the peak its
// plastic strain, read off the elastic line fitted to 10–40 % of the peak
// force, is below 0.5 %. Serrations of the hardening lie at 2 % and more.
constexpr double kYieldRunStrain = 0.0005;
constexpr double kHardenedStrain = 0.005;
// Without an extensometer the strain is the travel over a proportional
// gauge length of 5.65 √S.
constexpr double kProportionalFactor = 5.65;
// The elastic line: least squares over 10 % to 40 % of the proof force,
// the range taken first from the maximum force and then from each new
// proof force until it no longer changes. Below 10 % the specimen settles
// in the grips; above 40 % the first plastic strain bends the curve on
// some metals.
constexpr double kElasticFrom = 0.10;
constexpr double kElasticTo = 0.40;
constexpr int kElasticRounds = 30;
// The slope needs three points in the range at least, and a proof force
// that moves by no more than 0.5 % when the slope changes by twice its
// standard error: else it rests on too little.
constexpr std::size_t kMinElasticPoints = 3;
constexpr double kSlopeErrors = 2;
constexpr double kMaxProofSpread = 0.005;
// A modulus outside this range belongs to no metal: the fit took the
// wrong part of the curve.
constexpr double kMinModulusGpa = 20;
constexpr double kMaxModulusGpa = 450;
// Points farther apart than this share of the proof force, where the
// shifted line crosses the curve, leave the proof force uncertain by more
// than the interpolation can make good.
constexpr double kMaxProofStep = 0.03;
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
            return std::isfinite(q.f_kn) && std::isfinite(q.h_mm) &&
                   (!extensometer || std::isfinite(q.he_mm));
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
    CurvePlace at(std::size_t i) const
    {
        return {p[i].f_kn, p[i].h_mm, p[i].he_mm, original.empty() ? i : original[i]};
    }
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

// The strain the yield rules measure: the extensometer's where there is one,
// else the travel over a proportional gauge length; unknown without either.
struct StrainScale {
    bool extensometer = false;
    double length_mm = 0;
    bool known() const { return length_mm > 0; }
    double at(const Points& pts, std::size_t i) const
    {
        return (extensometer ? pts.p[i].he_mm : pts.p[i].h_mm) / length_mm;
    }
};

// A straight line of force against strain, fitted by least squares.
struct Line {
    double intercept = 0;  // kN at zero strain
    double slope = 0;      // kN per unit strain
    double r_squared = 0;
    double slope_error = 0;         // the slope's standard error
    double mean_x = 0, mean_y = 0;  // the centroid of its points
    std::size_t first = 0, last = 0;
};

struct LineFit {
    std::optional<Line> line;
    Absence absence = Absence::None;  // why there is none
};

// The line through the loading points from the first one, at or after
// `from`, that reaches `lo` to the last one before the force first passes
// `hi`, up to point `last`.
LineFit fit_line(const Points& pts, const StrainScale& x, std::size_t from, std::size_t last,
                 double lo, double hi, std::size_t min_points)
{
    std::size_t s = from;
    while (s <= last && pts.f(s) < lo)
        ++s;
    std::size_t e = s;
    while (e <= last && pts.f(e) <= hi)
        ++e;
    const std::size_t n = e - s;
    if (n < min_points)
        return {std::nullopt, Absence::FewElasticPoints};
    double mx = 0, my = 0;
    for (std::size_t i = s; i < e; ++i) {
        mx += x.at(pts, i);
        my += pts.f(i);
    }
    mx /= static_cast<double>(n);
    my /= static_cast<double>(n);
    double sxx = 0, sxy = 0, syy = 0;
    for (std::size_t i = s; i < e; ++i) {
        const double dx = x.at(pts, i) - mx, dy = pts.f(i) - my;
        sxx += dx * dx;
        sxy += dx * dy;
        syy += dy * dy;
    }
    if (!(sxx > 0 && syy > 0 && sxy > 0) || !std::isfinite(sxy / sxx))
        return {std::nullopt, Absence::NoLinearPart};
    const double slope = sxy / sxx;
    const double residual = std::max(0.0, syy - slope * sxy);
    const double error = n > 2 ? std::sqrt(residual / static_cast<double>(n - 2) / sxx) : 0;
    return {Line{my - slope * mx, slope, sxy * slope / syy, error, mx, my, s, e - 1},
            Absence::None};
}

// The plastic strain at point `peak`: its strain less the elastic strain of
// its force, on the line fitted to the loading points from 10 % to 40 % of
// that force. Unknown where fewer than three points lie there.
std::optional<double> plastic_strain_at(const Points& pts, const StrainScale& x, std::size_t peak)
{
    const double f = pts.f(peak);
    const LineFit fit = fit_line(pts, x, 0, peak, kElasticFrom * f, kElasticTo * f, 3);
    if (!fit.line)
        return std::nullopt;
    return x.at(pts, peak) - (f - fit.line->intercept) / fit.line->slope;
}

struct UpperYield {
    std::size_t upper;  // FeH
    std::size_t fall;   // the first point clearly below it
};

// The upper yield force is the first maximum before the force first falls by
// a clear amount while the specimen goes on lengthening, then stays at or
// below it over 0.05 % strain and climbs again (the plateau or the hardening
// after it), provided the specimen had not yet hardened at that maximum
// (see the constants above). A fall that never turns is the end of the test,
// one that turns before the strain has run is passed over, and a maximum
// reached after hardening is no yield point and neither is any after it. A
// fall while the travel goes back is an unloading, passed over until the
// force reaches a new maximum; a reading below half the maximum is a
// dropout or the fracture and is passed over alone.
std::optional<UpperYield> find_upper_yield(const Points& pts, double top, double noise,
                                           const StrainScale& x)
{
    double peak = -std::numeric_limits<double>::infinity();
    std::size_t at = 0;
    bool unloading = false;
    const std::size_t n = pts.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double f = pts.f(i);
        if (f > peak) {
            peak = f;
            at = i;
            unloading = false;
            continue;
        }
        const double clear = clear_fall(peak, noise);
        if (unloading || peak < kSeatingShare * top || f > peak - clear ||
            f < kFractureShare * peak)
            continue;
        if (pts.p[i].h_mm < pts.p[at].h_mm) {
            unloading = true;
            continue;
        }
        if (x.known()) {
            // Where the force first passes the peak again, between two points.
            std::size_t k = i + 1;
            while (k < n && !(pts.f(k) > peak))
                ++k;
            double end = x.at(pts, n - 1);
            if (k < n) {
                const double t = (peak - pts.f(k - 1)) / (pts.f(k) - pts.f(k - 1));
                end = x.at(pts, k - 1) + t * (x.at(pts, k) - x.at(pts, k - 1));
            }
            if (!(end - x.at(pts, at) >= kYieldRunStrain)) {
                i = k - 1;  // the same dip: passed over whole
                continue;
            }
        }
        double low = f;
        bool turns = false;
        for (std::size_t k = i + 1; k < n && !turns; ++k) {
            const double g = pts.f(k);
            if (g < kFractureShare * peak)
                continue;
            low = std::min(low, g);
            turns = g >= low + clear;
        }
        if (!turns)
            return std::nullopt;
        if (x.known()) {
            const std::optional<double> plastic = plastic_strain_at(pts, x, at);
            if (plastic && *plastic > kHardenedStrain)
                return std::nullopt;
        }
        return UpperYield{at, i};
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
std::size_t find_lower_yield(const Points& pts, const UpperYield& y, std::size_t fm_at,
                             double noise)
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

struct Crossing {
    CurvePlace place;
    std::size_t after = 0;  // the point at or after it
};

// The first place, from the start of the elastic line's points up to the
// maximum force, where the curve falls to the line shifted by 0.2 % strain.
std::optional<Crossing> offset_intersection(const Points& pts, const Line& line, std::size_t last,
                                            double gauge)
{
    auto gap = [&](std::size_t i) {
        return pts.f(i) - (line.intercept + line.slope * (pts.p[i].he_mm / gauge - kProofStrain));
    };
    double before = gap(line.first);
    if (before <= 0)
        return Crossing{pts.at(line.first), line.first};
    for (std::size_t i = line.first + 1; i <= last; ++i) {
        const double g = gap(i);
        if (g <= 0)
            return Crossing{pts.between(i, before / (before - g)), i};
        before = g;
    }
    return std::nullopt;
}

struct Proof {
    std::optional<Line> line;         // the elastic line, where one was fitted
    std::optional<CurvePlace> place;  // Fp0.2, where it holds
    Absence absence = Absence::None;  // why not
};

// The elastic line and the proof force by the offset method, on the points
// up to the maximum force `last` (see the constants above). The line is
// kept, for showing, where it meets nothing; not where it is implausible.
Proof find_proof(const Points& pts, std::size_t last, double gauge, double area)
{
    const StrainScale x{true, gauge};
    double base = pts.f(last);
    std::optional<Crossing> cross;
    std::optional<Line> line;
    for (int round = 0; round < kElasticRounds; ++round) {
        const LineFit fit = fit_line(pts, x, 0, last, kElasticFrom * base, kElasticTo * base,
                                     kMinElasticPoints);
        if (!fit.line)
            return {std::nullopt, std::nullopt, fit.absence};
        const bool same = line && line->first == fit.line->first && line->last == fit.line->last;
        line = fit.line;
        cross = offset_intersection(pts, *line, last, gauge);
        if (!cross)
            return {line, std::nullopt, Absence::NoIntersection};
        if (same)
            break;
        base = cross->place.f_kn;
    }
    if (area > 0) {
        const double modulus = line->slope / area;  // kN per mm² is ГПа
        if (!(modulus >= kMinModulusGpa && modulus <= kMaxModulusGpa))
            return {std::nullopt, std::nullopt, Absence::ImplausibleModulus};
    }
    for (const double sign : {-1.0, 1.0}) {
        Line tilted = *line;
        tilted.slope = line->slope + sign * kSlopeErrors * line->slope_error;
        tilted.intercept = line->mean_y - tilted.slope * line->mean_x;
        const std::optional<Crossing> other = tilted.slope > 0
                                                  ? offset_intersection(pts, tilted, last, gauge)
                                                  : std::nullopt;
        if (!other ||
            std::abs(other->place.f_kn - cross->place.f_kn) > kMaxProofSpread * cross->place.f_kn)
            return {line, std::nullopt, Absence::FewElasticPoints};
    }
    const std::size_t i = cross->after;
    if (i > line->first && pts.f(i) - pts.f(i - 1) > kMaxProofStep * cross->place.f_kn)
        return {line, std::nullopt, Absence::SparseAtProof};
    return {line, cross->place, Absence::None};
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
    r.elastic.absence = strain_absence;

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
        r.elastic.absence = r[Quantity::Fp02].absence;
    };
    // A strength: its force over the area, where both exist.
    auto stresses = [&] {
        const std::pair<Quantity, Quantity> pairs[] = {{Quantity::Fm, Quantity::Rm},
                                                       {Quantity::FeH, Quantity::ReH},
                                                       {Quantity::FeL, Quantity::ReL},
                                                       {Quantity::Fp02, Quantity::Rp02}};
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
    StrainScale yield_strain;
    if (strain_absence == Absence::None)
        yield_strain = {true, gauge};
    else if (area_ok)
        yield_strain = {false, kProportionalFactor * std::sqrt(input.area_mm2)};
    const std::optional<UpperYield> yield = find_upper_yield(pts, top, r.noise_kn, yield_strain);
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
        const Proof proof = find_proof(pts, fm_at, gauge, area_ok ? input.area_mm2 : 0);
        if (proof.line) {
            const Line& line = *proof.line;
            r.has_offset_line = true;
            r.offset_line.slope_kn = line.slope;
            r.offset_line.gauge_base_mm = gauge;
            r.offset_line.he_at_zero_mm = -line.intercept / line.slope * gauge;
            r.offset_line.offset_mm = kProofStrain * gauge;
            r.offset_line.fit_first = pts.at(line.first).point;
            r.offset_line.fit_last = pts.at(line.last).point;
        }
        if (proof.place) {
            put(Quantity::Fp02, proof.place->f_kn, *proof.place);
            ElasticFit& e = r.elastic;
            e.modulus_gpa = area_ok ? proof.line->slope / input.area_mm2 : 0;
            e.r_squared = proof.line->r_squared;
            e.points = proof.line->last - proof.line->first + 1;
            e.from_fraction = kElasticFrom;
            e.to_fraction = kElasticTo;
            e.absence = area_ok ? Absence::None : Absence::NoArea;
        } else {
            absent(Quantity::Fp02, proof.absence);
            r.elastic.absence = proof.absence;
        }
    }
    stresses();
    return r;
}

}  // namespace lekta::analysis
