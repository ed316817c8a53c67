#pragma once
// The statistics of one result over a series: mean, sample standard
// deviation, coefficient of variation, minimum, maximum and the number of
// tests that have the value. A test without the value is left out, so n
// says how many took part.
#include <cstddef>
#include <optional>
#include <vector>

namespace lekta::series {

struct ColumnStatistics {
    std::size_t n = 0;                // values taken (finite ones only)
    std::optional<double> mean;       // n ≥ 1
    std::optional<double> deviation;  // sample standard deviation (n − 1), n ≥ 2
    std::optional<double> variation;  // deviation ÷ |mean| × 100, n ≥ 2 and mean ≠ 0
    std::optional<double> min;        // n ≥ 1
    std::optional<double> max;        // n ≥ 1
};

// Absent and non-finite values are left out.
ColumnStatistics column_statistics(const std::vector<std::optional<double>>& values);

}  // namespace lekta::series
