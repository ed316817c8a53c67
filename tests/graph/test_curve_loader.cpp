// Reading a test's curve out of the test buffer, as the loader thread does.
#include "common/number_text.h"
#include "graph/curve_loader.h"
#include "support/bmd_bytes.h"
#include "support/test_support.h"
#include "testfile/buffer.h"
#include "testfile/errors.h"
#include "testfile/reader.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace lekta;
using lekta::testing::RawTest;

namespace {

class CurveLoader : public ::testing::Test {
protected:
    void read(const RawTest& t)
    {
        lekta::testing::write_file(dir.file("t.bmd"), t.bytes());
        ASSERT_TRUE(read_test_file(dir.file("t.bmd")));
    }
    static QStringList row(const LoadedCurve& c, int r)
    {
        return {c.table->text(0, r), c.table->text(1, r), c.table->text(2, r)};
    }
    lekta::testing::TempDir dir;
    lekta::testing::ScopedSeparator comma{","};
};

}  // namespace

TEST_F(CurveLoader, StandardLayoutKeepsNegativeLoadsOutOfTheCurveOnly)
{
    RawTest t;
    t.model = 2;
    t.points = {{12345, 10, 0}, {-250, 20, 0}, {0, -5, 0}, {2000000, 123456, 0}};
    t.yield_load = 40125;
    read(t);
    std::vector<std::int32_t> seen;
    const LoadedCurve c = read_curve([&](std::int32_t po, std::int32_t n) {
        EXPECT_EQ(n, 4);
        seen.push_back(po);
        return true;
    });
    EXPECT_EQ(c.caption, "ЛЕКТА 200-ЗИВ8");
    EXPECT_FALSE(c.extensometer);
    EXPECT_EQ(seen, (std::vector<std::int32_t>{1, 2, 3, 4}));
    ASSERT_EQ(c.table->rows(), 4);
    EXPECT_EQ(row(c, 0), (QStringList{"12,345", "0,01", ""}));
    EXPECT_EQ(row(c, 1), (QStringList{"-0,25", "0,02", ""}));
    EXPECT_EQ(row(c, 2), (QStringList{"0", "-0,005", ""}));
    EXPECT_EQ(row(c, 3), (QStringList{"2000", "123,456", ""}));
    // The point with a negative load keeps its row but not its place on F(H).
    EXPECT_EQ(c.travel,
              (std::vector<ui::ChartPoint>{{0.01, 12.345}, {-0.005, 0}, {123.456, 2000}}));
    EXPECT_TRUE(c.extension.empty());
    EXPECT_DOUBLE_EQ(c.yield_load, 40.125);
}

TEST_F(CurveLoader, ExtensometerLayoutDrawsEveryPointOnFHe)
{
    RawTest t;
    t.mode = 2;
    t.points = {{5000, 100, 7}, {-1500, 200, 12345}};
    t.yield_load = 0xFFFFFC18;  // −1000 N as the signed value
    read(t);
    lekta::testing::ScopedSeparator point{"."};
    const LoadedCurve c = read_curve({});
    EXPECT_TRUE(c.extensometer);
    ASSERT_EQ(c.table->rows(), 2);
    EXPECT_EQ(row(c, 0), (QStringList{"5", "0.1", "0.0007"}));
    EXPECT_EQ(row(c, 1), (QStringList{"-1.5", "0.2", "1.2345"}));
    EXPECT_EQ(c.travel, (std::vector<ui::ChartPoint>{{0.1, 5}}));
    EXPECT_EQ(c.extension, (std::vector<ui::ChartPoint>{{0.0007, 5}, {1.2345, -1.5}}));
    EXPECT_DOUBLE_EQ(c.yield_load, -1);
}

TEST_F(CurveLoader, ACountOfZeroOrLessGivesNoPointsAndAStopEndsEarly)
{
    for (std::int32_t count : {0, -3}) {
        RawTest t;
        t.points = {{1000, 1, 0}, {2000, 2, 0}};
        t.point_count = count;
        read(t);
        int calls = 0;
        const LoadedCurve c = read_curve([&](std::int32_t, std::int32_t) { return ++calls, true; });
        EXPECT_EQ(calls, 0);
        EXPECT_EQ(c.table->rows(), 0);
        EXPECT_TRUE(c.travel.empty());
        EXPECT_EQ(c.point_count, count);
    }
    RawTest t;
    t.points = {{1000, 1, 0}, {2000, 2, 0}, {3000, 3, 0}};
    read(t);
    const LoadedCurve c = read_curve([](std::int32_t po, std::int32_t) { return po < 2; });
    EXPECT_EQ(c.table->rows(), 2);
}

TEST_F(CurveLoader, ModelTextsAndTheReadsThatLeaveTheirBounds)
{
    EXPECT_EQ(graph_caption(0), "ЛЕКТА 50-ЗИВ8");
    EXPECT_EQ(graph_caption(4), "ЛЕКТА 500-ЗИВ8");
    EXPECT_THROW(model_text(5), RangeError);

    RawTest bad_model;
    bad_model.model = 5;
    read(bad_model);
    EXPECT_THROW(read_curve({}), RangeError);

    // A count whose records run past the buffer: the points up to its end
    // are read, the first one beyond it stops the reading.
    RawTest too_many;
    too_many.points = {{1000, 1, 0}};
    too_many.point_count = 70000;
    read(too_many);
    std::int32_t last = 0;
    EXPECT_THROW(read_curve([&](std::int32_t po, std::int32_t) { return last = po, true; }),
                 RangeError);
    EXPECT_EQ(last, static_cast<std::int32_t>((kTestBufferSize - 28) / 16));

    // A file shorter than its tail.
    lekta::testing::write_file(dir.file("short.bmd"), std::vector<unsigned char>(12, 0));
    ASSERT_TRUE(read_test_file(dir.file("short.bmd")));
    EXPECT_THROW(read_curve({}), RangeError);
}

// The table's texts are written without decimal_text's strings; they must
// read exactly as decimal_text writes them, under either separator.
TEST(PointText, ReadsAsDecimalTextDoes)
{
    std::vector<std::int32_t> values = {0, INT32_MIN, INT32_MAX};
    for (std::int32_t v :
         {1, 9, 10, 99, 100, 101, 999, 1000, 1001, 1010, 12345, 123450, 1000000, 20000000})
        values.insert(values.end(), {v, -v});
    std::uint32_t x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1664525u + 1013904223u;
        values.push_back(static_cast<std::int32_t>(x) >> (i % 24));
    }
    for (const char* sep : {",", "."}) {
        lekta::testing::ScopedSeparator s{sep};
        for (int decimals : {3, 4})
            for (std::int32_t v : values)
                ASSERT_EQ(point_text(v, decimals, QString::fromUtf8(sep)).toStdString(),
                          decimal_text(v, decimals))
                    << v << " " << decimals;
    }
}

// The table fits its columns to the longest text of each without writing
// them all: that text is as long as the longest one written out.
TEST(PointText, TheTableKnowsItsLongestTexts)
{
    for (const char* sep : {",", "ab"}) {
        std::vector<PointRecord> records = {
            {1000000, 5, 0}, {-999, 120000, 7}, {123456, -1, 12340}, {0, 0, -10}};
        PointTable table(records, true, QString::fromUtf8(sep));
        for (int c = 0; c < 3; ++c) {
            qsizetype longest = 0;
            for (int r = 0; r < table.rows(); ++r)
                longest = std::max(longest, table.text(c, r).size());
            EXPECT_EQ(table.longest()[static_cast<std::size_t>(c)].size(), longest)
                << c << " " << sep;
        }
    }
    EXPECT_EQ(PointTable({}, false, ",").longest()[0], "");
    EXPECT_EQ(PointTable({{5, 5, 5}}, false, ",").longest()[2], "");
}
