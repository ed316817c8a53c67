#include "analysis/real_curves.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace lekta::testing {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The comma-separated fields of a line, read as numbers where they are
// ("C" notation, whatever the locale).
std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> out;
    std::stringstream in(line);
    for (std::string f; std::getline(in, f, ',');)
        out.push_back(f);
    return out;
}

std::optional<double> number(const std::string& text)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double v = 0;
    if (!(in >> v))
        return std::nullopt;
    return v;
}

// A header block (specimen properties, "Area" in mm², the extensometer on
// 50 mm), column titles and units, then Time, Extension mm, Load N,
// strain, stress.
RealCurve read_laboratory_file(const std::filesystem::path& path)
{
    RealCurve c;
    c.name = path.stem().string();
    c.gauge_mm = 50;
    std::ifstream in(path);
    bool data = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::vector<std::string> f = fields(line);
        if (!data) {
            if (f.size() > 1 && f[0] == "Specimen properties : Area")
                c.area_mm2 = number(f[1]).value_or(0);
            data = !f.empty() && f[0] == "(s)";
            continue;
        }
        if (f.size() < 4)
            continue;
        const auto h = number(f[1]), load = number(f[2]), strain = number(f[3]);
        if (h && load && strain)
            c.points.push_back({*load / 1000, *h, *strain * c.gauge_mm});
    }
    return c;
}

// Titles, then Time, Extension mm, Load kN, strain; the first data row
// also gives the gauge length and the diameter.
RealCurve read_analyzer_file(const std::filesystem::path& path)
{
    RealCurve c;
    c.name = path.stem().string();
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::vector<std::string> f = fields(line);
        if (f.size() < 4)
            continue;
        if (c.points.empty() && f.size() >= 6) {
            c.gauge_mm = number(f[4]).value_or(0);
            const double d = number(f[5]).value_or(0);
            c.area_mm2 = kPi * d * d / 4;
        }
        const auto h = number(f[1]), load = number(f[2]), strain = number(f[3]);
        if (h && load && strain)
            c.points.push_back({*load, *h, *strain * c.gauge_mm});
    }
    return c;
}

}  // namespace

RealCurve RealCurve::thinned(std::size_t k) const
{
    RealCurve t = *this;
    t.points.clear();
    for (std::size_t i = 0; i < points.size(); i += k)
        t.points.push_back(points[i]);
    return t;
}

std::string real_curves_dir()
{
#ifdef LEKTA_REAL_CURVES_DIR
    if (std::filesystem::is_directory(LEKTA_REAL_CURVES_DIR))
        return LEKTA_REAL_CURVES_DIR;
#endif
    return {};
}

std::vector<RealCurve> real_curves()
{
    const std::filesystem::path dir = real_curves_dir();
    if (dir.empty())
        return {};
    std::vector<RealCurve> out;
    for (const char* name : {"St1594", "St1595", "Al5005"}) {
        const auto path = dir / "public-domain-stress-strain" / (std::string(name) + ".csv");
        if (std::filesystem::exists(path))
            out.push_back(read_laboratory_file(path));
    }
    for (int k = 1; k <= 3; ++k) {
        const auto path = dir / "mit-tensile-analyzer" /
                          ("Steel_1045_Normalized_" + std::to_string(k) + ".csv");
        if (std::filesystem::exists(path))
            out.push_back(read_analyzer_file(path));
    }
    return out;
}

// Stress in МПа and strain, point by point; Rm at the first highest force,
// Agt the strain there. Rp0.2: E by least squares over every loading point
// between 10 % and 40 % of Rp0.2, Rp0.2 where the curve first comes down to
// that line shifted by 0.2 % (linear between points), repeated from Rp0.2 =
// Rm until it stands still. ReH: the highest stress before the first
// fall of at least 0.5 % after which the stress stays at or below it over
// at least 0.05 % strain, provided that peak comes before the proof point
// (beyond it a fall is hardening, a pause or the fracture).
Reference reference_values(const RealCurve& c, const Reference* whole)
{
    const std::size_t n = c.points.size();
    std::vector<double> s(n), e(n);
    for (std::size_t i = 0; i < n; ++i) {
        s[i] = c.points[i].f_kn * 1000 / c.area_mm2;
        e[i] = c.points[i].he_mm / c.gauge_mm;
    }
    Reference ref;
    const std::size_t m = static_cast<std::size_t>(std::max_element(s.begin(), s.end()) -
                                                   s.begin());
    ref.rm_mpa = s[m];
    ref.agt_percent = e[m] * 100;

    double rp = ref.rm_mpa, rp_strain = 0;
    bool found = false;
    for (int round = 0; round < 200; ++round) {
        double sx = 0, sy = 0, sxx = 0, sxy = 0;
        int k = 0;
        for (std::size_t i = 0; i < m; ++i) {
            if (s[i] >= 0.1 * rp && s[i] <= 0.4 * rp) {
                sx += e[i], sy += s[i], sxx += e[i] * e[i], sxy += e[i] * s[i];
                ++k;
            }
        }
        if (k < 3)
            break;
        const double modulus = (k * sxy - sx * sy) / (k * sxx - sx * sx);
        const double foot = (sx - sy / modulus) / k;  // strain where the line leaves zero stress
        std::optional<double> next;
        double gap_before = 0;
        for (std::size_t i = 0; i <= m && !next; ++i) {
            const double gap = s[i] - modulus * (e[i] - foot - 0.002);
            if (i > 0 && gap_before > 0 && gap <= 0) {
                const double t = gap_before / (gap_before - gap);
                next = s[i - 1] + t * (s[i] - s[i - 1]);
                rp_strain = e[i - 1] + t * (e[i] - e[i - 1]);
            }
            gap_before = gap;
        }
        if (!next)
            break;
        found = true;
        ref.modulus_gpa = modulus / 1000;
        const bool still = std::abs(*next - rp) <= 1e-12 * rp;
        rp = *next;
        if (still)
            break;
    }
    if (found) {
        ref.rp02_mpa = rp;
        ref.proof_strain = rp_strain;
    }
    const std::optional<double> proof_at = whole ? whole->proof_strain : ref.proof_strain;

    std::size_t peak = 0;
    for (std::size_t i = 1; i < n; ++i) {
        if (s[i] > s[peak]) {
            peak = i;
            continue;
        }
        if (s[i] > 0.995 * s[peak] || s[peak] < 0.3 * ref.rm_mpa)
            continue;
        std::size_t j = i;
        while (j < n && s[j] <= s[peak])
            ++j;
        const double until = j < n ? e[j - 1] + (s[peak] - s[j - 1]) / (s[j] - s[j - 1]) *
                                                    (e[j] - e[j - 1])
                                   : e[n - 1];
        if (until - e[peak] >= 0.0005) {
            if (!proof_at || e[peak] <= *proof_at)
                ref.reh_mpa = s[peak];
            break;
        }
        i = j - 1;
    }
    return ref;
}

}  // namespace lekta::testing
