#pragma once
// The series window's table: one row per test with the unit's stored
// results and the results read from its curve, then the statistics of each
// column over the tests that have the value. The window, the export and
// the print all take it from here. Plain C++.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "series/series_statistics.h"
#include "series/series_test.h"

namespace lekta::series {

struct TableColumn {
    std::string caption;  // "Rm, МПа"
    int decimals = 3;     // as shown and exported
};

struct TableRow {
    std::string label;  // "Серия-19 №-3"
    std::string file;
    std::vector<std::optional<double>> values;  // one per column; absent: not in the statistics
    std::string note;  // why the test is left out; empty for a test on the chart
    bool included = true;
};

enum class Statistic { Mean, Deviation, Variation, Min, Max, Count };
constexpr std::size_t kStatisticCount = 6;
// "Среднее", "СКО", "Коэф. вариации, %", "Мин", "Макс", "n".
const std::string& statistic_name(Statistic s);
const std::array<Statistic, kStatisticCount>& statistics_order();

struct SeriesTable {
    std::vector<TableColumn> columns;
    std::vector<TableRow>
        rows;  // the tests on the chart first, in their order, then the ones left out
    std::vector<ColumnStatistics> statistics;  // one per column, over the included rows

    int included_count() const;
    // A statistic of a column: its value, absent where it cannot be formed.
    std::optional<double> statistic(Statistic s, std::size_t column) const;
    // The texts, with the separator in force: values to the column's
    // decimals, the variation to 0.01, n as a whole number; empty for none.
    std::string value_text(std::size_t row, std::size_t column) const;
    std::string statistic_text(Statistic s, std::size_t column) const;
};

// The leading texts of the table beside the value columns.
inline constexpr const char* kTestCaption = "Испытание";
inline constexpr const char* kFileCaption = "Файл";
inline constexpr const char* kNoteCaption = "Примечание";

// The table of the tests, in the order given.
SeriesTable build_series_table(const std::vector<SeriesTest>& tests);

// value rounded to decimals, written with the current separator.
std::string fixed_text(double value, int decimals);

}  // namespace lekta::series
