#include "analysis/curve_results.h"

#include <cmath>

namespace lekta::analysis {

const std::array<Quantity, kQuantityCount>& quantities()
{
    static const std::array<Quantity, kQuantityCount> all = {
        Quantity::Fm,  Quantity::Rm,   Quantity::FeH,  Quantity::ReH, Quantity::FeL,
        Quantity::ReL, Quantity::Fp02, Quantity::Rp02, Quantity::Agt};
    return all;
}

Unit unit_of(Quantity q)
{
    switch (q) {
    case Quantity::Rm:
    case Quantity::ReH:
    case Quantity::ReL:
    case Quantity::Rp02: return Unit::Megapascal;
    case Quantity::Agt: return Unit::Percent;
    default: return Unit::Kilonewton;
    }
}

const std::string& symbol(Quantity q)
{
    static const std::array<std::string, kQuantityCount> names = {
        "Fm", "Rm", "FeH", "ReH", "FeL", "ReL", "Fp0.2", "Rp0.2", "Agt"};
    return names[static_cast<std::size_t>(q)];
}

const std::string& unit_text(Unit u)
{
    static const std::string kn = "кН", mpa = "МПа", percent = "%";
    switch (u) {
    case Unit::Megapascal: return mpa;
    case Unit::Percent: return percent;
    default: return kn;
    }
}

const std::string& absence_text(Absence a)
{
    static const std::string texts[] = {
        "",
        "нет точек",
        "нет положительной нагрузки",
        "площадь сечения равна нулю",
        "нет площадки текучести",
        "нет экстензометра",
        "база экстензометра равна нулю",
        "не найден линейный участок",
        "смещённая прямая не пересекает кривую",
        "мало точек на упругом участке",
        "неправдоподобный модуль упругости",
        "редкие точки у Fp0.2",
    };
    return texts[static_cast<std::size_t>(a)];
}

std::string elastic_method_text(const ElasticFit& e)
{
    if (!e.present())
        return {};
    const std::size_t n = e.points, tens = n % 100, units = n % 10;
    const char* word = (tens >= 11 && tens <= 14)   ? "точек"
                       : units == 1                 ? "точка"
                       : (units >= 2 && units <= 4) ? "точки"
                                                    : "точек";
    auto percent = [](double fraction) { return std::to_string(std::lround(fraction * 100)); };
    return "E по " + percent(e.from_fraction) + "–" + percent(e.to_fraction) + " % Rp0.2, " +
           std::to_string(n) + " " + word;
}

}  // namespace lekta::analysis
