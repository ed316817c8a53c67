// The series engines: statistics against a computation of their own, the
// table's columns and left-out tests, the choice of rows by series, and
// loading tests of every kind from files.
#include "common/number_text.h"
#include "lib/bmd_writer.h"
#include "lib/sample_tests.h"
#include "series/series_choice.h"
#include "series/series_statistics.h"
#include "series/series_table.h"
#include "series/series_test.h"
#include "support/test_support.h"

#include <cmath>
#include <gtest/gtest.h>

namespace lekta::series {
namespace {

namespace lt = lekta::testing;
using analysis::Quantity;

// Sample statistics the textbook way (sum of squares less n·mean²), over
// the values that are there: a second computation to hold the engine to.
struct Expected {
    double n = 0, mean = 0, sd = 0, min = 1e300, max = -1e300;
};
Expected independent(const std::vector<std::optional<double>>& values)
{
    Expected e;
    long double sum = 0, squares = 0;
    for (const auto& v : values) {
        if (!v)
            continue;
        e.n += 1;
        sum += *v;
        squares += static_cast<long double>(*v) * *v;
        e.min = std::min(e.min, *v);
        e.max = std::max(e.max, *v);
    }
    e.mean = static_cast<double>(sum / e.n);
    if (e.n > 1)
        e.sd = static_cast<double>(std::sqrt((squares - sum * sum / e.n) / (e.n - 1)));
    return e;
}

TEST(SeriesStatistics, MatchAnIndependentComputationLeavingAbsentValuesOut)
{
    const std::vector<std::vector<std::optional<double>>> cases = {
        {512.3, 498.7, 505.1, 530.9, 461.2, 509.4},         // a series with its outlier
        {512.3, std::nullopt, 505.1, std::nullopt, 461.2},  // two tests without the value
        {210.5, 198.25},                                    // the fewest for a spread
        {1e-3, 2e-3, 4e-3, 8e-3},                           // small values
        {-4.5, 3.25, 0.5, 10.0, -1.0},                      // signs mixed
    };
    for (const auto& values : cases) {
        const ColumnStatistics s = column_statistics(values);
        const Expected e = independent(values);
        ASSERT_EQ(static_cast<double>(s.n), e.n);
        EXPECT_NEAR(*s.mean, e.mean, 1e-9 * std::fabs(e.mean) + 1e-12);
        EXPECT_NEAR(*s.deviation, e.sd, 1e-7 * e.sd + 1e-12);
        EXPECT_NEAR(*s.variation, e.sd / std::fabs(e.mean) * 100, 1e-6);
        EXPECT_EQ(*s.min, e.min);
        EXPECT_EQ(*s.max, e.max);
    }
}

TEST(SeriesStatistics, FewValuesGiveWhatTheyCan)
{
    EXPECT_EQ(column_statistics({}).n, 0u);
    EXPECT_FALSE(column_statistics({std::nullopt, std::nullopt}).mean);
    const ColumnStatistics one = column_statistics({std::nullopt, 7.5, NAN});
    EXPECT_EQ(one.n, 1u);
    EXPECT_EQ(*one.mean, 7.5);
    EXPECT_EQ(*one.min, 7.5);
    EXPECT_FALSE(one.deviation);  // no spread from one value
    EXPECT_FALSE(one.variation);
    // Equal values: no spread, the variation 0; a zero mean has no variation.
    EXPECT_EQ(*column_statistics({3.0, 3.0, 3.0}).deviation, 0.0);
    EXPECT_FALSE(column_statistics({-1.0, 1.0}).variation);
    // A large value with a small spread keeps its digits.
    const ColumnStatistics tight = column_statistics({1e9 + 0.1, 1e9 + 0.2, 1e9 + 0.3});
    EXPECT_NEAR(*tight.deviation, 0.1, 1e-6);
}

TEST(SeriesChoice, ListsSeriesWithTheirCurvesAndPicksTheirRows)
{
    const std::vector<CatalogueEntry> rows = {
        {0, "19", true}, {1, "12", true}, {2, "19", false}, {3, "19", true},
        {4, "", true},   {5, "x1", true}, {6, "12", true},
    };
    const auto entries = series_entries(rows);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].series, 12);
    EXPECT_EQ(entries[0].with_curve, 2);
    EXPECT_EQ(entries[1].series, 19);
    EXPECT_EQ(entries[1].tests, 3);
    EXPECT_EQ(entries[1].with_curve, 2);
    EXPECT_EQ(entry_text(entries[1]), "Серия 19 — кривых: 2 из 3");
    EXPECT_EQ(rows_of_series(rows, {19}), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(rows_of_series(rows, {12, 19}), (std::vector<int>{0, 1, 2, 3, 6}));
    EXPECT_TRUE(rows_of_series(rows, {}).empty());
}

TEST(SeriesTable, FixedTextsUnderEitherSeparator)
{
    const std::string kept = number_format().decimal_separator;
    for (const std::string sep : {",", "."}) {
        number_format().decimal_separator = sep;
        EXPECT_EQ(fixed_text(512.3, 3), "512" + sep + "300");
        EXPECT_EQ(fixed_text(-0.0049, 2), "0" + sep + "00");
        EXPECT_EQ(fixed_text(-2.5, 1), "-2" + sep + "5");
        EXPECT_EQ(fixed_text(7, 0), "7");
    }
    number_format().decimal_separator = kept;
}

// Tests of the demo series and of every kind that is left out, as files.
class SeriesFiles : public ::testing::Test {
protected:
    std::string put(const std::string& name, const std::vector<unsigned char>& bytes)
    {
        const std::string path = dir.file(name);
        lt::write_file(path, bytes);
        return path;
    }
    lt::TempDir dir;
};

TEST_F(SeriesFiles, TheDemoSeriesLoadsWithItsOutlierAndItsStatistics)
{
    std::vector<SeriesTest> tests;
    for (const tools::NamedTest& t : tools::demo_series_tests())
        tests.push_back(load_series_test(put(t.name, tools::encode_bmd(t.test)), t.name));
    ASSERT_EQ(tests.size(), 6u);
    for (const SeriesTest& t : tests) {
        ASSERT_TRUE(t.included()) << t.file << ": " << left_out_text(t.left_out) << " " << t.detail;
        EXPECT_EQ(t.series, 22);
        EXPECT_TRUE(t.extensometer);
        EXPECT_FALSE(t.travel.empty());
        // F(H) leaves out the points with a negative load (the grips settling), F(H e) keeps all.
        EXPECT_LE(t.travel.size(), t.extension.size());
        EXPECT_GT(t.travel.size(), t.extension.size() - 20);
    }
    EXPECT_EQ(tests[2].label(), "Серия-22 №-3");

    const SeriesTable table = build_series_table(tests);
    ASSERT_EQ(table.included_count(), 6);
    std::size_t rm = 0;
    while (table.columns[rm].caption != "Rm, МПа")
        ++rm;
    std::vector<std::optional<double>> values;
    for (const SeriesTest& t : tests)
        values.push_back(t.results[Quantity::Rm].present()
                             ? std::optional(t.results[Quantity::Rm].value)
                             : std::nullopt);
    const Expected e = independent(values);
    EXPECT_EQ(*table.statistic(Statistic::Count, rm), e.n);
    EXPECT_NEAR(*table.statistic(Statistic::Mean, rm), e.mean, 1e-9);
    EXPECT_NEAR(*table.statistic(Statistic::Deviation, rm), e.sd, 1e-7);
    // The weaker fifth specimen is the series' minimum.
    EXPECT_EQ(*table.statistic(Statistic::Min, rm), *values[4]);
    // The stress view: F × 1000 ÷ S.
    const auto stress = stress_points(tests[0].travel, tests[0].area_mm2);
    ASSERT_EQ(stress.size(), tests[0].travel.size());
    EXPECT_NEAR(stress.back().y, tests[0].travel.back().y * 1000 / tests[0].area_mm2, 1e-9);
    EXPECT_TRUE(stress_points(tests[0].travel, 0).empty());
}

TEST_F(SeriesFiles, BadTestsAreLeftOutWithTheirReasonAndOutOfTheStatistics)
{
    const auto demo = tools::demo_tests();
    auto named = [&](const std::string& name) {
        for (const auto& t : demo)
            if (t.name == name)
                return tools::encode_bmd(t.test);
        ADD_FAILURE() << name;
        return std::vector<unsigned char>{};
    };
    std::vector<unsigned char> good = tools::encode_bmd(tools::demo_series_tests()[0].test);
    std::vector<unsigned char> short_tail(good.begin(),
                                          good.begin() + 40);  // header only: the tail is cut off
    std::vector<unsigned char> bad_mode = good;
    bad_mode[7] = 5;
    struct Case {
        std::string name;
        std::vector<unsigned char> bytes;
        LeftOut reason;
    };
    const std::vector<Case> cases = {
        {"good.bmd", good, LeftOut::None},
        {"compression.bmd", named("S17-001.bmd"), LeftOut::Compression},
        {"nocurve.bmd", named("S18-002.bmd"), LeftOut::NoCurve},
        {"short.bmd", short_tail, LeftOut::Damaged},
        {"mode.bmd", bad_mode, LeftOut::Damaged},
    };
    std::vector<SeriesTest> tests;
    for (const Case& c : cases) {
        tests.push_back(load_series_test(put(c.name, c.bytes), c.name));
        EXPECT_EQ(tests.back().left_out, c.reason) << c.name << " " << tests.back().detail;
    }
    tests.push_back(load_series_test(dir.file("missing.bmd"), "missing.bmd"));
    EXPECT_EQ(tests.back().left_out, LeftOut::Unreadable);

    const SeriesTable table = build_series_table(tests);
    EXPECT_EQ(table.included_count(), 1);
    ASSERT_EQ(table.rows.size(), tests.size());
    EXPECT_EQ(table.rows[0].file, "good.bmd");
    EXPECT_EQ(table.rows[1].note, "испытание на сжатие");
    EXPECT_EQ(table.rows.back().note, "файл не открывается");
    for (std::size_t c = 0; c < table.columns.size(); ++c)
        EXPECT_LE(table.statistics[c].n, 1u) << table.columns[c].caption;
    // E waits for the elastic fit: absent on every row, n = 0, no mean.
    std::size_t e = 0;
    while (table.columns[e].caption != "E, ГПа")
        ++e;
    if (!tests[0].results.elastic.present()) {
        EXPECT_EQ(table.statistic_text(Statistic::Count, e), "0");
        EXPECT_EQ(table.statistic_text(Statistic::Mean, e), "");
    }
}

}  // namespace
}  // namespace lekta::series
