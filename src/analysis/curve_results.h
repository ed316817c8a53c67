#pragma once
// What the curve analysis finds: each value with its unit and the place on
// the curve it was read at, or the reason it is absent. A panel or an export
// lists `quantities()` in order and shows value and unit, or the reason.
#include <array>
#include <cstddef>
#include <string>

namespace lekta::analysis {

enum class Quantity {
    Fm,    // maximum force, kN
    Rm,    // tensile strength, МПа
    FeH,   // upper yield force, kN
    ReH,   // upper yield strength, МПа
    FeL,   // lower yield force, kN
    ReL,   // lower yield strength, МПа
    Fp02,  // 0.2 % proof force, kN (extensometer)
    Rp02,  // 0.2 % proof strength, МПа (extensometer)
    Agt,   // total strain at maximum force, % of the gauge base (extensometer)
};
constexpr std::size_t kQuantityCount = 9;
// Every quantity, in the order above.
const std::array<Quantity, kQuantityCount>& quantities();

enum class Unit { Kilonewton, Megapascal, Percent };

enum class Absence {
    None,                // the value is there
    NoPoints,            // the test holds no points
    NoTension,           // no point carries a positive load
    NoArea,              // the cross-section area is zero: no stress
    NoYieldPoint,        // the force never falls clearly before it climbs to its maximum
    NoExtensometer,      // the test was run without an extensometer
    NoGaugeBase,         // the extensometer's gauge base is zero: no strain
    NoLinearPart,        // the loading points give no rising line of force against strain
    NoIntersection,      // the shifted elastic line does not meet the curve before the maximum
    FewElasticPoints,    // too few points in the elastic line's force range
    ImplausibleModulus,  // the elastic line's modulus belongs to no metal
    SparseAtProof,       // the points where the shifted line meets the curve lie too far apart
};

// A place on the curve: the load and both deformations there. `point` is
// the point's number in file order (0-based); a value interpolated between
// two points names the later one.
struct CurvePlace {
    double f_kn = 0;
    double h_mm = 0;
    double he_mm = 0;
    std::size_t point = 0;
};

struct Result {
    double value = 0;  // in unit_of(quantity)
    Absence absence = Absence::NoPoints;
    CurvePlace place;  // where the value was read, when present
    bool present() const { return absence == Absence::None; }
};

// The 0.2 % offset line in the view F against H Δe: the elastic line fitted
// to the points fit_first … fit_last, shifted along the strain axis by
// 0.2 % of the gauge base.
struct OffsetLine {
    double slope_kn = 0;  // elastic slope, kN per unit strain (× 1000 / S gives the modulus in МПа)
    double gauge_base_mm = 0;
    double he_at_zero_mm = 0;  // where the unshifted elastic line meets F = 0
    double offset_mm = 0;      // 0.2 % of the gauge base
    std::size_t fit_first = 0, fit_last = 0;
    // Force on the shifted line at an extensometer reading.
    double force_at(double he_mm) const
    {
        return slope_kn / gauge_base_mm * (he_mm - he_at_zero_mm - offset_mm);
    }
};

// The elastic line the proof strength rests on: the modulus E, how well the
// points fit it, and the force range it was fitted over, as fractions of the
// proof force. Absent, with its reason, where no proof strength can be read.
struct ElasticFit {
    double modulus_gpa = 0;    // E, ГПа
    double r_squared = 0;      // the fit's coefficient of determination
    std::size_t points = 0;    // points in the fitted range
    double from_fraction = 0;  // the range's lower force, × Fp0.2
    double to_fraction = 0;    // the range's upper force, × Fp0.2
    Absence absence = Absence::NoExtensometer;
    bool present() const { return absence == Absence::None; }
};

struct CurveResults {
    std::array<Result, kQuantityCount> values;
    ElasticFit elastic;
    bool has_offset_line = false;  // set wherever an elastic line of a plausible modulus was fitted
    OffsetLine offset_line;
    double noise_kn = 0;  // the force noise the thresholds were scaled by

    const Result& operator[](Quantity q) const { return values[static_cast<std::size_t>(q)]; }
    Result& operator[](Quantity q) { return values[static_cast<std::size_t>(q)]; }
};

Unit unit_of(Quantity q);
// "Fm", "Rm", "FeH", "ReH", "FeL", "ReL", "Fp0.2", "Rp0.2", "Agt".
const std::string& symbol(Quantity q);
// "кН", "МПа", "%".
const std::string& unit_text(Unit u);
// Why a value is absent, in the operator's words; empty for Absence::None.
const std::string& absence_text(Absence a);
// The method and range of a present elastic fit, "E по 10–40 % Rp0.2,
// 23 точки"; empty where it is absent.
std::string elastic_method_text(const ElasticFit& e);

}  // namespace lekta::analysis
