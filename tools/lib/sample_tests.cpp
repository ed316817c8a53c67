#include "lib/sample_tests.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lekta::tools {

// ---------------------------------------------------------------- numbers

std::uint64_t SampleRng::next()
{
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double SampleRng::uniform()
{
    return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0);
}

double SampleRng::uniform(double lo, double hi)
{
    return lo + (hi - lo) * uniform();
}

int SampleRng::integer(int lo, int hi)
{
    const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
    return lo + static_cast<int>(next() % span);
}

double SampleRng::normal()
{
    // Sum of twelve uniforms: close enough to a normal deviate for sensor noise,
    // and bounded, so no wild outliers.
    double s = 0;
    for (int i = 0; i < 12; ++i)
        s += uniform();
    return s - 6.0;
}

// ---------------------------------------------------------------- materials

MaterialProps material_props(Material m)
{
    switch (m) {
    case Material::St3: return {200000, 255, 1.05, 420, 0.16, 0.27, 0.72, true, 0.018};
    case Material::Steel09G2S: return {206000, 345, 1.04, 500, 0.14, 0.23, 0.72, true, 0.015};
    case Material::Steel45: return {206000, 360, 1.03, 620, 0.10, 0.17, 0.75, true, 0.008};
    case Material::Steel40X: return {210000, 800, 1.0, 1000, 0.05, 0.11, 0.80, false, 0};
    case Material::A240: return {200000, 270, 1.05, 410, 0.17, 0.27, 0.70, true, 0.020};
    case Material::A500C: return {200000, 540, 1.03, 650, 0.09, 0.16, 0.80, true, 0.012};
    case Material::Aluminium: return {70000, 150, 1.0, 200, 0.06, 0.10, 0.85, false, 0};
    case Material::Copper: return {110000, 70, 1.0, 220, 0.30, 0.40, 0.75, false, 0};
    case Material::CastIron: return {110000, 450, 1.0, 800, 0.04, 0.044, 0.93, false, 0};
    }
    return {200000, 255, 1.05, 420, 0.16, 0.27, 0.72, true, 0.018};
}

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFrameKn[] = {50, 100, 200, 300, 500};

bool is_extensometer(SampleKind k)
{
    return k == SampleKind::Extensometer || k == SampleKind::ExtensometerNoCurve;
}

bool is_compression(SampleKind k)
{
    return k == SampleKind::Compression || k == SampleKind::NoCurveCompression;
}

bool has_curve(SampleKind k)
{
    return k == SampleKind::Tension || k == SampleKind::Compression ||
           k == SampleKind::Extensometer;
}

std::uint8_t mode_of(SampleKind k)
{
    if (is_extensometer(k))
        return 2;
    return is_compression(k) ? 1 : 0;
}

std::uint16_t tenths(double v)
{
    return static_cast<std::uint16_t>(std::clamp(std::lround(v * 10), 0L, 65535L));
}

std::uint32_t thousandths_of_stress(double load_n, std::uint16_t area_tenths)
{
    if (area_tenths == 0)
        return 0;
    // МПа × 1000 = N / mm² × 1000, with the area in tenths of a mm².
    return static_cast<std::uint32_t>(std::max(0.0, std::round(load_n * 10000.0 / area_tenths)));
}

std::uint8_t frame_for(double max_load_n)
{
    for (std::uint8_t i = 0; i < 5; ++i)
        if (kFrameKn[i] * 1000 >= 1.15 * max_load_n)
            return i;
    return 4;
}

// Engineering stress against strain, and the machine travel that goes with it.
class Curve {
public:
    Curve(const MaterialProps& m, double area_mm2, double free_length_mm, double frame_kn,
          double slack_mm)
        : m_(m), area_(area_mm2), length_(free_length_mm), stiffness_((50 + 0.5 * frame_kn) * 1000),
          slack_(slack_mm), seat_load_(0.03 * m.tensile_mpa * area_mm2)
    {
        if (m_.plateau) {
            eps_upper_ = m_.yield_mpa * m_.upper_ratio / m_.e_mpa;
            // The drop from upper to lower yield is short, but not so short that
            // the unloading frame would make the travel run backwards.
            const double fall = (m_.upper_ratio - 1) * m_.yield_mpa * area_;
            drop_ = std::max(0.0008, 1.5 * fall / (stiffness_ * 0.6 * length_));
            eps_luders_ = eps_upper_ + drop_ + m_.luders_strain;
        } else {
            // Ramberg–Osgood up to the maximum: eps = s/E + 0.002 (s/s02)^n,
            // with n chosen so that the maximum falls at the uniform strain.
            const double plastic_u = std::max(m_.uniform_strain - m_.tensile_mpa / m_.e_mpa,
                                              0.0021);
            exponent_ = std::log(plastic_u / 0.002) / std::log(m_.tensile_mpa / m_.yield_mpa);
            table_stress_.resize(kTable);
            table_strain_.resize(kTable);
            for (int j = 0; j < kTable; ++j) {
                const double s = m_.tensile_mpa * j / (kTable - 1);
                table_stress_[j] = s;
                table_strain_[j] = smooth_strain(s);
            }
        }
    }

    // Strain of the smooth transition at a stress below the maximum.
    double smooth_strain(double s) const
    {
        return s / m_.e_mpa + 0.002 * std::pow(s / m_.yield_mpa, exponent_);
    }
    double elastic_strain_at(double s) const
    {
        return m_.plateau ? s / m_.e_mpa : smooth_strain(s);
    }

    double stress(double e) const
    {
        const MaterialProps& m = m_;
        if (e >= m.uniform_strain) {
            const double v = std::min(1.0,
                                      (e - m.uniform_strain) / (m.break_strain - m.uniform_strain));
            return m.tensile_mpa * (1 - (1 - m.break_ratio) * std::pow(v, 1.8));
        }
        if (!m.plateau) {
            const auto it = std::lower_bound(table_strain_.begin(), table_strain_.end(), e);
            if (it == table_strain_.begin())
                return 0;
            if (it == table_strain_.end())
                return m.tensile_mpa;
            const auto j = static_cast<std::size_t>(it - table_strain_.begin());
            const double t = (e - table_strain_[j - 1]) / (table_strain_[j] - table_strain_[j - 1]);
            return table_stress_[j - 1] + t * (table_stress_[j] - table_stress_[j - 1]);
        }
        if (e <= eps_upper_)
            return m.e_mpa * e;
        const double upper = m.yield_mpa * m.upper_ratio;
        if (e <= eps_upper_ + drop_) {
            const double t = (e - eps_upper_) / drop_;
            return upper - (upper - m.yield_mpa) * t * t * (3 - 2 * t);
        }
        if (e <= eps_luders_) {
            // Lüders bands run along the specimen: the load wavers about the lower yield.
            const double phase = (e - eps_upper_ - drop_) / 0.0021;
            return m.yield_mpa *
                   (1 + 0.004 * std::sin(2 * kPi * phase) * std::sin(0.7 * kPi * phase));
        }
        const double t = (e - eps_luders_) / (m.uniform_strain - eps_luders_);
        return m.yield_mpa + (m.tensile_mpa - m.yield_mpa) * (1 - std::pow(1 - t, 2.4));
    }

    double load(double e) const { return stress(e) * area_; }

    double travel_mm(double e) const
    {
        const double f = load(e);
        return slack_ * (1 - std::exp(-std::max(f, 0.0) / seat_load_)) + e * length_ +
               f / stiffness_;
    }

    double yield_region_end() const
    {
        if (m_.plateau)
            return std::min(eps_luders_ + 0.01, 0.6 * m_.uniform_strain);
        return std::min(0.02, 0.5 * m_.uniform_strain);
    }
    bool on_plateau(double e) const
    {
        return m_.plateau && e >= eps_upper_ + drop_ && e <= eps_luders_;
    }
    const MaterialProps& props() const { return m_; }
    double area() const { return area_; }

private:
    static constexpr int kTable = 4096;
    MaterialProps m_;
    double area_, length_, stiffness_, slack_, seat_load_;
    double eps_upper_ = 0, drop_ = 0, eps_luders_ = 0, exponent_ = 1;
    std::vector<double> table_stress_, table_strain_;
};

// Strain at which the travel reaches h: the travel grows with strain.
class TravelInverse {
public:
    TravelInverse(const Curve& c, double e_from, double e_to)
    {
        strain_.resize(kGrid);
        travel_.resize(kGrid);
        for (int j = 0; j < kGrid; ++j) {
            strain_[j] = e_from + (e_to - e_from) * j / (kGrid - 1);
            travel_[j] = c.travel_mm(strain_[j]);
            if (j > 0)
                travel_[j] = std::max(travel_[j], travel_[j - 1]);
        }
    }
    double strain_at(double h) const
    {
        const auto it = std::lower_bound(travel_.begin(), travel_.end(), h);
        if (it == travel_.begin())
            return strain_.front();
        if (it == travel_.end())
            return strain_.back();
        const auto j = static_cast<std::size_t>(it - travel_.begin());
        const double span = travel_[j] - travel_[j - 1];
        const double t = span > 0 ? (h - travel_[j - 1]) / span : 1.0;
        return strain_[j - 1] + t * (strain_[j] - strain_[j - 1]);
    }

private:
    static constexpr int kGrid = 2048;
    std::vector<double> strain_, travel_;
};

MaterialProps scattered(MaterialProps m, SampleRng& rng)
{
    m.yield_mpa *= 1 + 0.04 * rng.normal();
    m.tensile_mpa *= 1 + 0.03 * rng.normal();
    m.tensile_mpa = std::max(m.tensile_mpa, m.yield_mpa * (m.plateau ? 1.12 : 1.08));
    m.uniform_strain *= 1 + 0.06 * rng.normal();
    m.break_strain *= 1 + 0.06 * rng.normal();
    m.break_strain = std::max(m.break_strain, m.uniform_strain * 1.1);
    m.upper_ratio = m.plateau ? std::max(1.0, m.upper_ratio + 0.01 * rng.normal()) : 1.0;
    return m;
}

double free_length_mm(const SampleSpecimen& s, double area)
{
    if (is_compression(s.kind))
        return s.shape == 3 ? std::max(10.0, std::sqrt(area) * 1.5) : 1.5 * s.size1_mm;
    switch (s.shape) {
    case 0: return std::max(30.0, 6 * s.size1_mm);
    case 1: return 5.65 * std::sqrt(area) + s.size1_mm;
    case 2: return std::max(100.0, 10 * s.size1_mm);
    default: return 5.65 * std::sqrt(area) + 10;
    }
}

struct Synthesis {
    std::vector<BmdPoint> points;
    std::vector<double> strain;  // the specimen strain behind each point
};

Synthesis synthesize_points(const Curve& c, const SampleSpecimen& sample, double gauge_mm,
                            SampleRng& rng)
{
    const MaterialProps& m = c.props();
    const int n = std::max(10, sample.points);
    const int n1 = std::max(3, static_cast<int>(std::lround(0.22 * n)));
    const int n2 = std::max(3, static_cast<int>(std::lround(0.28 * n)));
    const int n3 = n - n1 - n2;
    const double noise_n = 0.0004 * m.tensile_mpa * c.area();
    const bool ext = is_extensometer(sample.kind);

    std::vector<double> strains;
    strains.reserve(static_cast<std::size_t>(n));
    // Load-controlled rise at the stress rate up to 80 % of the yield.
    const double s1 = 0.8 * m.yield_mpa;
    for (int k = 0; k < n1; ++k)
        strains.push_back(c.elastic_strain_at(s1 * k / n1));
    // Then travel-controlled: slowly through the yield, faster to the break.
    const double e1 = c.elastic_strain_at(s1);
    const double e2 = c.yield_region_end();
    const double h1 = c.travel_mm(e1), h2 = c.travel_mm(e2), h3 = c.travel_mm(m.break_strain);
    const TravelInverse slow(c, e1, e2), fast(c, e2, m.break_strain);
    for (int k = 0; k < n2; ++k)
        strains.push_back(slow.strain_at(h1 + (h2 - h1) * k / n2));
    for (int k = 0; k < n3; ++k)
        strains.push_back(k + 1 == n3 ? m.break_strain
                                      : fast.strain_at(h2 + (h3 - h2) * k / (n3 - 1)));

    Synthesis out;
    out.points.reserve(strains.size());
    out.strain.reserve(strains.size());
    double last_e = 0;
    std::int32_t last_h = 0, last_he = 0;
    for (double e : strains) {
        e = std::max(e, last_e);  // the specimen only lengthens
        last_e = e;
        BmdPoint p;
        p.f = static_cast<std::int32_t>(std::lround(c.load(e) + noise_n * rng.normal()));
        // The travel encoder and the extensometer never run backwards in a test.
        p.h = std::max(last_h, static_cast<std::int32_t>(
                                   std::lround(c.travel_mm(e) * 1000 + 0.6 * rng.normal())));
        if (ext)
            p.he = std::max(last_he, static_cast<std::int32_t>(
                                         std::lround(e * gauge_mm * 10000 + 1.2 * rng.normal())));
        last_h = p.h;
        last_he = p.he;
        out.points.push_back(p);
        out.strain.push_back(e);
    }
    return out;
}

// Load at which the plastic strain first reaches 0.2 %, interpolated between points.
double offset_load(const std::vector<BmdPoint>& pts, const std::vector<double>& plastic)
{
    for (std::size_t i = 1; i < pts.size(); ++i) {
        if (plastic[i] >= 0.002) {
            const double span = plastic[i] - plastic[i - 1];
            const double t = span > 0 ? std::clamp((0.002 - plastic[i - 1]) / span, 0.0, 1.0) : 1.0;
            return pts[i - 1].f + t * (pts[i].f - pts[i - 1].f);
        }
    }
    return pts.empty() ? 0 : pts.back().f;
}

}  // namespace

double section_area_mm2(const SampleSpecimen& sample)
{
    switch (sample.shape) {
    case 0:
    case 2: return kPi * sample.size1_mm * sample.size1_mm / 4;
    case 1: return sample.size1_mm * sample.size2_mm;
    default: return sample.area_mm2;
    }
}

BmdTest synthesize_test(const SampleSpecimen& sample)
{
    SampleRng rng(sample.seed);
    BmdTest t;
    t.series = sample.series;
    t.test_no = sample.test_no;
    t.mode = mode_of(sample.kind);
    t.no_curve = has_curve(sample.kind) ? 0 : 1;
    t.shape = sample.shape;
    t.rate = tenths(sample.rate);
    t.day = sample.day;
    t.month = sample.month;
    t.year = sample.year;
    t.hour = sample.hour;
    t.minute = sample.minute;
    t.second = sample.second;
    if (sample.shape <= 2)
        t.size1 = tenths(sample.size1_mm);
    if (sample.shape == 1)
        t.size2 = tenths(sample.size2_mm);
    const double area = section_area_mm2(sample);
    t.area = tenths(area);
    const bool ext = is_extensometer(sample.kind);
    if (ext)
        t.gauge_base = static_cast<std::uint16_t>(std::lround(sample.gauge_mm * 100));

    // A test on shape 3 without curve only knows its breaking load: a concrete
    // cube crushed at a travel rate, or a fitting pulled at a load rate.
    if (sample.kind == SampleKind::NoCurveCompression ||
        sample.kind == SampleKind::NoCurveTension) {
        const double strength = sample.kind == SampleKind::NoCurveCompression
                                    ? rng.uniform(18, 45)
                                    : material_props(sample.material).tensile_mpa;
        const double load = strength * area * (1 + 0.02 * rng.normal());
        t.breaking_load = static_cast<std::uint32_t>(std::lround(load));
        t.tensile_strength = thousandths_of_stress(t.breaking_load, t.area);
        t.model_index = frame_for(load);
        return t;
    }

    MaterialProps m = material_props(sample.material);
    if (sample.vary_material)
        m = scattered(m, rng);
    m.yield_mpa *= sample.strength_factor;
    m.tensile_mpa *= sample.strength_factor;
    // Frame from the nominal maximum, so that the frame stiffness is known before the curve.
    t.model_index = frame_for(m.tensile_mpa * area);
    const Curve curve(m, area, free_length_mm(sample, area), kFrameKn[t.model_index],
                      rng.uniform(0.05, 0.35));
    const Synthesis s = synthesize_points(curve, sample, sample.gauge_mm, rng);
    const std::vector<BmdPoint>& pts = s.points;

    std::int32_t max_f = 0;
    for (const BmdPoint& p : pts)
        max_f = std::max(max_f, p.f);
    t.tensile_strength = thousandths_of_stress(max_f, t.area);
    t.breaking_load = static_cast<std::uint32_t>(std::max(0, pts.back().f));

    if (!is_compression(sample.kind)) {
        // Yield: the lowest load on the plateau, or the 0.2 % offset load of a
        // material that yields smoothly.
        double yield = 0;
        bool found = false;
        for (std::size_t i = 0; i < pts.size(); ++i) {
            if (curve.on_plateau(s.strain[i]) && (!found || pts[i].f < yield)) {
                yield = pts[i].f;
                found = true;
            }
        }
        if (!found) {
            std::vector<double> plastic(pts.size());
            for (std::size_t i = 0; i < pts.size(); ++i)
                plastic[i] = s.strain[i] - pts[i].f / (m.e_mpa * area);
            yield = offset_load(pts, plastic);
        }
        t.yield_load = static_cast<std::uint32_t>(std::lround(yield));
        t.yield_stress = thousandths_of_stress(t.yield_load, t.area);
    }
    if (ext) {
        // Conventional yield from the extensometer: 0.2 % permanent strain on the gauge length.
        std::vector<double> plastic(pts.size());
        for (std::size_t i = 0; i < pts.size(); ++i)
            plastic[i] = pts[i].he / (sample.gauge_mm * 10000) - pts[i].f / (m.e_mpa * area);
        t.proof_load = static_cast<std::uint32_t>(std::lround(offset_load(pts, plastic)));
        t.proof_stress = thousandths_of_stress(t.proof_load, t.area);
    }
    if (has_curve(sample.kind))
        t.points = pts;
    return t;
}

// ---------------------------------------------------------------- demo set

const char* const kLargestDemoName = "S30-001.bmd";

std::vector<NamedTest> demo_tests()
{
    struct Entry {
        const char* name;
        SampleSpecimen sample;
    };
    auto sample = [](SampleKind kind, std::uint8_t shape, Material mat, double s1, double s2,
                     double area, int points, double rate, int series, int no, int day, int month,
                     int year, int hour, int minute) {
        SampleSpecimen s;
        s.kind = kind;
        s.shape = shape;
        s.material = mat;
        s.size1_mm = s1;
        s.size2_mm = s2;
        s.area_mm2 = area;
        s.points = points;
        s.rate = rate;
        s.series = static_cast<std::uint8_t>(series);
        s.test_no = static_cast<std::uint8_t>(no);
        s.day = static_cast<std::uint8_t>(day);
        s.month = static_cast<std::uint8_t>(month);
        s.year = static_cast<std::uint8_t>(year);
        s.hour = static_cast<std::uint8_t>(hour);
        s.minute = static_cast<std::uint8_t>(minute);
        s.second = static_cast<std::uint8_t>((series * 7 + no * 13) % 60);
        s.seed = 1000u + static_cast<unsigned>(series) * 100u + static_cast<unsigned>(no);
        s.vary_material = true;
        return s;
    };
    using K = SampleKind;
    using M = Material;
    std::vector<Entry> entries = {
        {"S12-001.bmd", sample(K::Tension, 0, M::St3, 10, 0, 0, 420, 12.5, 12, 1, 5, 3, 12, 9, 14)},
        {"S12-002.bmd",
         sample(K::Tension, 0, M::Steel09G2S, 12, 0, 0, 480, 10, 12, 2, 5, 3, 12, 9, 31)},
        {"S14-001.bmd",
         sample(K::Tension, 1, M::St3, 20, 3.5, 0, 520, 10, 14, 1, 17, 4, 12, 11, 2)},
        {"S14-002.BMD",
         sample(K::Tension, 1, M::Aluminium, 15, 2, 0, 360, 8, 14, 2, 17, 4, 12, 11, 20)},
        {"S15-001.bmd",
         sample(K::Tension, 2, M::A500C, 16, 0, 0, 640, 15, 15, 1, 2, 7, 13, 14, 45)},
        {"S15-002.bmd",
         sample(K::Tension, 2, M::A500C, 25, 0, 0, 760, 20, 15, 2, 2, 7, 13, 15, 10)},
        {"S16-001.bmd",
         sample(K::Tension, 3, M::Steel45, 0, 0, 50.3, 450, 10, 16, 1, 9, 9, 13, 10, 5)},
        {"S17-001.bmd",
         sample(K::Compression, 0, M::CastIron, 20, 0, 0, 380, 20, 17, 1, 21, 11, 13, 13, 40)},
        {"S18-001.bmd",
         sample(K::NoCurveCompression, 3, M::St3, 0, 0, 4998.5, 0, 2, 18, 1, 12, 2, 14, 8, 50)},
        {"S18-002.bmd",
         sample(K::NoCurveTension, 3, M::St3, 0, 0, 113.1, 0, 0.5, 18, 2, 12, 2, 14, 9, 25)},
        {"S19-001.bmd",
         sample(K::Extensometer, 0, M::Steel45, 10, 0, 0, 560, 10, 19, 1, 3, 6, 14, 10, 0)},
        {"S19-002.bmd",
         sample(K::Extensometer, 1, M::Aluminium, 20, 3, 0, 500, 8, 19, 2, 3, 6, 14, 10, 35)},
        {"S19-003.bmd",
         sample(K::Extensometer, 0, M::Steel40X, 8, 0, 0, 430, 15, 19, 3, 3, 6, 14, 11, 12)},
        {"S20-001.bmd", sample(K::ExtensometerNoCurve, 3, M::Steel09G2S, 0, 0, 78.5, 300, 10, 20, 1,
                               28, 10, 14, 16, 8)},
        {"S21-001.bmd",
         sample(K::NoCurveOtherShape, 0, M::A240, 12, 0, 0, 300, 10, 21, 1, 14, 1, 15, 12, 30)},
        {kLargestDemoName, sample(K::Tension, 2, M::A500C, 12, 0, 0,
                                  static_cast<int>(max_points(false)), 10, 30, 1, 20, 5, 15, 9, 0)},
    };
    entries[10].sample.gauge_mm = 50;
    entries[11].sample.gauge_mm = 50;
    entries[12].sample.gauge_mm = 25;
    entries[13].sample.gauge_mm = 50;
    std::vector<NamedTest> out;
    out.reserve(entries.size());
    for (const Entry& e : entries)
        out.push_back({e.name, synthesize_test(e.sample)});
    return out;
}

std::vector<NamedTest> demo_series_tests()
{
    // Round bars turned to 10 mm, each measured before the test.
    const double diameters[] = {10.02, 9.97, 10.05, 9.99, 10.01, 9.96};
    std::vector<NamedTest> out;
    for (int i = 0; i < 6; ++i) {
        SampleSpecimen s;
        s.kind = SampleKind::Extensometer;
        s.shape = 0;
        s.material = Material::Steel09G2S;
        s.size1_mm = diameters[i];
        s.points = 900;
        s.gauge_mm = 50;
        s.rate = 10;
        s.series = 22;
        s.test_no = static_cast<std::uint8_t>(i + 1);
        s.day = 11;
        s.month = 3;
        s.year = 16;
        s.hour = static_cast<std::uint8_t>(9 + i / 3);
        s.minute = static_cast<std::uint8_t>((i % 3) * 18 + 5);
        s.second = static_cast<std::uint8_t>(i * 7);
        s.seed = 2200u + static_cast<unsigned>(i);
        s.vary_material = true;
        if (i == 4)
            s.strength_factor = 0.9;
        char name[16];
        std::snprintf(name, sizeof name, "S22-%03d.bmd", i + 1);
        out.push_back({name, synthesize_test(s)});
    }
    return out;
}

// ---------------------------------------------------------------- random folders

namespace {

// Civil date of a day count from 1970-01-01.
void civil_from_days(long z, int& y, int& m, int& d)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

}  // namespace

SampleFolder::SampleFolder(std::uint64_t seed) : rng_(seed)
{
    day_number_ = 15340 + rng_.integer(0, 2500);  // somewhere from 2012 on
}

SampleSpecimen SampleFolder::random_spec()
{
    SampleRng& r = rng_;
    SampleSpecimen s;
    s.vary_material = true;
    s.seed = r.next();
    // Point counts as a laboratory folder holds them: mostly a few hundred, some thousands.
    s.points = static_cast<int>(std::lround(200 * std::exp(r.uniform(0, std::log(20.0)))));
    s.rate = r.pick(std::vector<double>{5, 8, 10, 10, 12.5, 15, 20, 30});
    const int roll = r.integer(0, 99);
    if (roll < 25) {
        s.shape = 0;
        s.material = r.pick(std::vector<Material>{
            Material::St3, Material::St3, Material::Steel09G2S, Material::Steel45,
            Material::Steel40X, Material::Copper, Material::Aluminium});
        s.size1_mm = r.pick(std::vector<double>{5, 6, 8, 10, 10, 12, 14, 16, 20});
    } else if (roll < 40) {
        s.shape = 1;
        s.material = r.pick(std::vector<Material>{Material::St3, Material::Steel09G2S,
                                                  Material::Aluminium, Material::Copper});
        s.size1_mm = r.pick(std::vector<double>{10, 12.5, 15, 20, 20, 25, 30});
        s.size2_mm = r.pick(std::vector<double>{1, 1.5, 2, 3, 3.5, 4, 5, 6});
    } else if (roll < 65) {
        s.shape = 2;
        s.material = r.pick(
            std::vector<Material>{Material::A500C, Material::A500C, Material::A240});
        s.size1_mm = r.pick(std::vector<double>{6, 8, 10, 12, 12, 14, 16, 18, 20, 22, 25, 28});
    } else if (roll < 70) {
        s.shape = 3;
        s.material = r.pick(std::vector<Material>{Material::St3, Material::Steel45});
        s.area_mm2 = std::round(r.uniform(20, 300) * 10) / 10;
    } else if (roll < 75) {
        s.kind = SampleKind::Compression;
        s.shape = r.integer(0, 1) ? 0 : 3;
        s.material = Material::CastIron;
        s.size1_mm = r.pick(std::vector<double>{10, 12, 15, 20});
        s.area_mm2 = std::round(r.uniform(50, 400) * 10) / 10;
    } else if (roll < 80) {
        s.kind = SampleKind::NoCurveCompression;
        s.shape = 3;
        s.rate = r.pick(std::vector<double>{1, 2, 2, 3, 5});
        s.area_mm2 = r.integer(0, 1) ? 4998.5 : 2250;  // 70.7 mm cube, 150 × 15 mm prism face
    } else if (roll < 84) {
        s.kind = SampleKind::NoCurveTension;
        s.shape = 3;
        s.material = r.pick(std::vector<Material>{Material::St3, Material::Steel45});
        s.rate = r.pick(std::vector<double>{0.5, 1, 1, 2, 2.5});
        s.area_mm2 = std::round(r.uniform(30, 300) * 10) / 10;
    } else if (roll < 99) {
        s.kind = SampleKind::Extensometer;
        s.shape = static_cast<std::uint8_t>(r.integer(0, 2));
        s.material = s.shape == 2
                         ? Material::A500C
                         : r.pick(std::vector<Material>{Material::St3, Material::Steel45,
                                                        Material::Steel40X, Material::Aluminium});
        s.size1_mm = s.shape == 1 ? r.pick(std::vector<double>{15, 20, 25})
                                  : r.pick(std::vector<double>{8, 10, 12, 16});
        s.size2_mm = r.pick(std::vector<double>{2, 3, 4});
        s.gauge_mm = r.pick(std::vector<double>{25, 50, 50, 100});
    } else {
        s.kind = SampleKind::ExtensometerNoCurve;
        s.shape = 3;
        s.material = Material::Steel09G2S;
        s.area_mm2 = 78.5;
        s.gauge_mm = 50;
    }
    return s;
}

NamedTest SampleFolder::next()
{
    if (tests_left_ == 0) {
        ++series_;
        tests_left_ = rng_.integer(1, 12);
        test_no_ = 0;
        day_number_ += rng_.integer(0, 4);
        minute_of_day_ = rng_.integer(8 * 60, 11 * 60);
    }
    --tests_left_;
    ++test_no_;
    SampleSpecimen s = random_spec();
    // The series byte runs 1..255 and then starts again; later rounds get a
    // suffix so that file names stay unique.
    const int series_no = (series_ - 1) % 255 + 1;
    const int round = (series_ - 1) / 255;
    s.series = static_cast<std::uint8_t>(series_no);
    s.test_no = static_cast<std::uint8_t>(test_no_);
    int y = 0, m = 0, d = 0;
    civil_from_days(day_number_, y, m, d);
    s.year = static_cast<std::uint8_t>(y - 2000);
    s.month = static_cast<std::uint8_t>(m);
    s.day = static_cast<std::uint8_t>(d);
    minute_of_day_ = std::min(minute_of_day_ + rng_.integer(6, 25), 23 * 60 + 59);
    s.hour = static_cast<std::uint8_t>(minute_of_day_ / 60);
    s.minute = static_cast<std::uint8_t>(minute_of_day_ % 60);
    s.second = static_cast<std::uint8_t>(rng_.integer(0, 59));
    char name[48];
    if (round == 0)
        std::snprintf(name, sizeof name, "S%03d-%03d.bmd", series_no, test_no_);
    else
        std::snprintf(name, sizeof name, "S%03d-%03d_%d.bmd", series_no, test_no_, round + 1);
    return {name, synthesize_test(s)};
}

// ---------------------------------------------------------------- damaged files

std::vector<NamedFile> damaged_files()
{
    SampleSpecimen s;
    s.kind = SampleKind::Tension;
    s.shape = 0;
    s.material = Material::St3;
    s.size1_mm = 10;
    s.points = 120;
    s.series = 99;
    s.seed = 99;
    const std::vector<unsigned char> good = encode_bmd(synthesize_test(s));

    std::vector<NamedFile> out;
    std::vector<unsigned char> b = good;
    b[9] = 7;  // no such shape
    out.push_back({"damaged-shape.bmd", b});
    b = good;
    b[7] = 5;  // no such mode
    out.push_back({"damaged-mode.bmd", b});
    out.push_back(
        {"damaged-5bytes.bmd", std::vector<unsigned char>(good.begin(), good.begin() + 5)});
    // The header up to the sizes, but too short to hold the yield stress of its tail.
    out.push_back(
        {"damaged-short.bmd", std::vector<unsigned char>(good.begin(), good.begin() + 16)});
    return out;
}

}  // namespace lekta::tools
