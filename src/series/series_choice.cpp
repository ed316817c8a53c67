#include "series/series_choice.h"

#include <map>

namespace lekta::series {

int series_number(const std::string& cell)
{
    if (cell.empty() || cell.size() > 6)
        return -1;
    int n = 0;
    for (char c : cell) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::vector<SeriesEntry> series_entries(const std::vector<CatalogueEntry>& rows)
{
    std::map<int, SeriesEntry> by_number;
    for (const CatalogueEntry& r : rows) {
        const int n = series_number(r.series);
        if (n < 0)
            continue;
        SeriesEntry& e = by_number[n];
        e.series = n;
        ++e.tests;
        if (r.has_curve)
            ++e.with_curve;
    }
    std::vector<SeriesEntry> out;
    out.reserve(by_number.size());
    for (const auto& [n, e] : by_number)
        out.push_back(e);
    return out;
}

std::string entry_text(const SeriesEntry& entry)
{
    return "Серия " + std::to_string(entry.series) +
           " — кривых: " + std::to_string(entry.with_curve) + " из " + std::to_string(entry.tests);
}

std::vector<int> rows_of_series(const std::vector<CatalogueEntry>& rows,
                                const std::set<int>& chosen)
{
    std::vector<int> out;
    for (const CatalogueEntry& r : rows)
        if (chosen.count(series_number(r.series)))
            out.push_back(r.row);
    return out;
}

}  // namespace lekta::series
