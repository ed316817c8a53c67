#include "series/series_table.h"

#include <cmath>
#include <cstdio>

#include "analysis/result_comparison.h"
#include "common/number_text.h"

namespace lekta::series {

using analysis::Quantity;

const std::string& statistic_name(Statistic s)
{
    static const std::string names[] = {"Среднее", "СКО", "Коэф. вариации, %", "Мин", "Макс", "n"};
    return names[static_cast<int>(s)];
}

const std::array<Statistic, kStatisticCount>& statistics_order()
{
    static const std::array<Statistic, kStatisticCount> order = {
        Statistic::Mean, Statistic::Deviation, Statistic::Variation,
        Statistic::Min,  Statistic::Max,       Statistic::Count};
    return order;
}

std::string fixed_text(double value, int decimals)
{
    if (!std::isfinite(value))
        return {};
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::round(value * scale);
    if (std::fabs(scaled) > 9e15)
        return number_text(value);
    const long long raw = static_cast<long long>(scaled);
    std::string text = decimal_text(raw < 0 ? -raw : raw, decimals);
    // Fixed decimals: the general format drops trailing zeros.
    const std::string& sep = number_format().decimal_separator;
    if (decimals > 0) {
        std::size_t at = text.find(sep);
        if (at == std::string::npos) {
            text += sep;
            at = text.size() - sep.size();
        }
        const std::size_t have = text.size() - at - sep.size();
        text.append(static_cast<std::size_t>(decimals) - std::min<std::size_t>(have, decimals),
                    '0');
    }
    return raw < 0 ? "-" + text : text;
}

namespace {

enum Column {
    Area,
    YieldLoad,
    YieldStress,
    Strength,
    BreakingLoad,
    ProofLoad,
    ProofStress,
    Rm,
    ReH,
    ReL,
    Rp02,
    Modulus,
    Agt,
    kColumns
};

const std::vector<TableColumn>& columns()
{
    static const std::vector<TableColumn> c = {
        {"S, мм²", 1},     {"Fт, кН", 3},    {"δт, МПа", 3}, {"δв, МПа", 3},  {"Fв, кН", 3},
        {"F0.2, кН", 3},   {"б0.2, МПа", 3}, {"Rm, МПа", 3}, {"ReH, МПа", 3}, {"ReL, МПа", 3},
        {"Rp0.2, МПа", 3}, {"E, ГПа", 1},    {"Agt, %", 2},
    };
    return c;
}

std::optional<double> computed(const analysis::CurveResults& r, Quantity q)
{
    const analysis::Result& v = r[q];
    if (!v.present())
        return std::nullopt;
    return v.value;
}

TableRow row_of(const SeriesTest& t)
{
    TableRow row;
    row.label = t.series || t.number || t.included() ? t.label() : std::string("—");
    row.file = t.file;
    row.values.assign(kColumns, std::nullopt);
    row.included = t.included();
    if (!row.included) {
        row.note = left_out_text(t.left_out);
        return row;
    }
    auto& v = row.values;
    v[Area] = t.area_mm2;
    v[YieldLoad] = t.stored.yield_load_kn;
    v[YieldStress] = t.stored.yield_stress_mpa;
    v[Strength] = t.stored.tensile_strength_mpa;
    v[BreakingLoad] = t.stored.breaking_load_kn;
    v[ProofLoad] = t.stored.proof_load_kn;
    v[ProofStress] = t.stored.proof_stress_mpa;
    v[Rm] = computed(t.results, Quantity::Rm);
    v[ReH] = computed(t.results, Quantity::ReH);
    v[ReL] = computed(t.results, Quantity::ReL);
    v[Rp02] = computed(t.results, Quantity::Rp02);
    if (t.results.elastic.present())
        v[Modulus] = t.results.elastic.modulus_gpa;
    v[Agt] = computed(t.results, Quantity::Agt);
    return row;
}

}  // namespace

int SeriesTable::included_count() const
{
    int n = 0;
    for (const TableRow& r : rows)
        n += r.included ? 1 : 0;
    return n;
}

std::optional<double> SeriesTable::statistic(Statistic s, std::size_t column) const
{
    const ColumnStatistics& c = statistics.at(column);
    switch (s) {
    case Statistic::Mean: return c.mean;
    case Statistic::Deviation: return c.deviation;
    case Statistic::Variation: return c.variation;
    case Statistic::Min: return c.min;
    case Statistic::Max: return c.max;
    case Statistic::Count: return static_cast<double>(c.n);
    }
    return std::nullopt;
}

std::string SeriesTable::value_text(std::size_t row, std::size_t column) const
{
    const auto& v = rows.at(row).values.at(column);
    return v ? fixed_text(*v, columns.at(column).decimals) : std::string();
}

std::string SeriesTable::statistic_text(Statistic s, std::size_t column) const
{
    const auto v = statistic(s, column);
    if (!v)
        return {};
    if (s == Statistic::Count)
        return std::to_string(statistics.at(column).n);
    if (s == Statistic::Variation)
        return fixed_text(*v, 2);
    // The spread gets one more digit than the values it describes.
    return fixed_text(*v, columns.at(column).decimals + (s == Statistic::Deviation ? 1 : 0));
}

SeriesTable build_series_table(const std::vector<SeriesTest>& tests)
{
    SeriesTable table;
    table.columns = columns();
    for (const SeriesTest& t : tests)
        if (t.included())
            table.rows.push_back(row_of(t));
    for (const SeriesTest& t : tests)
        if (!t.included())
            table.rows.push_back(row_of(t));
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        std::vector<std::optional<double>> values;
        for (const TableRow& r : table.rows)
            if (r.included)
                values.push_back(r.values[c]);
        table.statistics.push_back(column_statistics(values));
    }
    return table;
}

}  // namespace lekta::series
