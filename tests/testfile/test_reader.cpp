#include "common/system_call.h"
#include "testfile/buffer.h"
#include "testfile/errors.h"
#include "testfile/fields.h"
#include "testfile/reader.h"

#include "support/bmd_bytes.h"
#include "support/test_support.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace lekta;
using lekta::testing::RawTest;
using lekta::testing::TempDir;
using lekta::testing::write_file;

namespace {

std::string write_test(const TempDir& dir, const std::string& name,
                       const std::vector<unsigned char>& bytes)
{
    const std::string path = dir.file(name);
    write_file(path, bytes);
    return path;
}

}  // namespace

TEST(TestBuffer, StandardLayoutHeaderPointsAndTail)
{
    TempDir dir;
    RawTest t;
    t.model = 3;
    t.series = 12;
    t.test_no = 7;
    t.mode = 1;
    t.shape = 1;
    t.size1 = 200;
    t.size2 = 35;
    t.points = {{100, 5, 0}, {-5, 10, 0}, {12500, 2000, 0}};
    t.yield_stress = 1;
    t.yield_load = 2;
    t.tensile_strength = 3;
    t.breaking_load = 0xFFFFFFFF;
    ASSERT_TRUE(read_test_file(write_test(dir, "a.bmd", t.bytes())));

    EXPECT_EQ(test_buffer().size(), static_cast<std::int32_t>(t.bytes().size()));
    EXPECT_EQ(read_byte(kModelIndex), 3);
    EXPECT_EQ(read_byte(kSeries), 12);
    EXPECT_EQ(read_word(kSize1), 200);
    EXPECT_EQ(read_word(kSize2), 35);
    // Compression still uses the standard offsets.
    EXPECT_FALSE(is_extensometer_layout());
    EXPECT_EQ(point_count(), 3);
    EXPECT_EQ(point_record(0).f, 100);
    EXPECT_EQ(point_record(1).f, -5);  // loads are signed
    EXPECT_EQ(point_record(2).f, 12500);
    EXPECT_EQ(point_record(2).h, 2000);
    EXPECT_EQ(tail_u32(Tail::YieldStress), 1u);
    EXPECT_EQ(tail_u32(Tail::TensileStrength), 3u);
    // Results are unsigned: FF FF FF FF is 2^32 - 1, not -1.
    EXPECT_EQ(tail_u32(Tail::BreakingLoad), 0xFFFFFFFFu);
    EXPECT_THROW(tail_u32(Tail::ProofLoad), RangeError);
}

TEST(TestBuffer, ExtensometerLayoutStartsOneByteEarlierWithHeFirst)
{
    TempDir dir;
    RawTest t;
    t.mode = 2;
    t.gauge_base = 5000;
    t.points = {{1000, 20, 35}, {2000, 40, 70}};
    t.yield_stress = 11;
    t.yield_load = 12;
    t.tensile_strength = 13;
    t.breaking_load = 14;
    t.proof_load = 15;
    t.proof_stress = 16;
    const auto bytes = t.bytes();
    ASSERT_EQ(bytes[27], 35);  // the first record's He sits at offset 27
    ASSERT_TRUE(read_test_file(write_test(dir, "e.bmd", bytes)));
    EXPECT_TRUE(is_extensometer_layout());
    EXPECT_EQ(read_word(kGaugeBase), 5000);
    EXPECT_EQ(point_count(), 2);
    const PointRecord r = point_record(1);
    EXPECT_EQ(r.f, 2000);
    EXPECT_EQ(r.h, 40);
    EXPECT_EQ(r.he, 70);
    EXPECT_EQ(tail_u32(Tail::YieldStress), 11u);
    EXPECT_EQ(tail_u32(Tail::BreakingLoad), 14u);
    EXPECT_EQ(tail_u32(Tail::ProofLoad), 15u);
    EXPECT_EQ(tail_u32(Tail::ProofStress), 16u);
}

TEST(TestBuffer, ShortFilesReadAsSpacesAndRangeErrorsWhereFieldsAreMissing)
{
    TempDir dir;
    // A long file first, so stale bytes would show if the reset were skipped.
    RawTest big;
    big.points.assign(500, {7, 7, 7});
    ASSERT_TRUE(read_test_file(write_test(dir, "big.bmd", big.bytes())));
    ASSERT_TRUE(read_test_file(write_test(dir, "five.bmd", {0, 0, 0, 0, 1})));
    EXPECT_EQ(test_buffer().size(), 5);
    EXPECT_EQ(read_byte(4), 1);
    EXPECT_EQ(read_byte(kMode), 0x20);
    EXPECT_EQ(read_byte(kShape), 0x20);
    EXPECT_EQ(read_byte(100), 0x20);  // was 7s of the long file
    EXPECT_THROW(shape_text(read_byte(kShape)), RangeError);
    EXPECT_THROW(mode_text(read_byte(kMode)), RangeError);
    EXPECT_THROW(tail_u32(Tail::BreakingLoad), RangeError);  // size - 6 < 0
    EXPECT_EQ(date_text(), "01.01.2032");
    EXPECT_EQ(time_text(), "00:32:32");
}

TEST(TestBuffer, SameFileTwiceGivesTheSameBuffer)
{
    TempDir dir;
    RawTest t;
    t.points = {{1, 2, 0}};
    const std::string path = write_test(dir, "x.bmd", t.bytes());
    ASSERT_TRUE(read_test_file(path));
    std::vector<unsigned char> first(test_buffer().bytes(),
                                     test_buffer().bytes() + kTestBufferSize);
    RawTest other;
    other.points.assign(3000, {9, 9, 9});
    ASSERT_TRUE(read_test_file(write_test(dir, "y.bmd", other.bytes())));
    ASSERT_TRUE(read_test_file(path));
    EXPECT_TRUE(std::equal(first.begin(), first.end(), test_buffer().bytes()));
}

TEST(TestBuffer, PointCountZeroOrNegativeAndRecordsPastTheBuffer)
{
    TempDir dir;
    RawTest t;
    t.point_count = -3;
    ASSERT_TRUE(read_test_file(write_test(dir, "n.bmd", t.bytes())));
    EXPECT_EQ(point_count(), -3);
    EXPECT_NO_THROW(point_record(0));
    // The last record index that still fits: 28 + 16 i + 16 <= 1,024,000.
    EXPECT_NO_THROW(point_record(63997));
    EXPECT_THROW(point_record(63998), RangeError);
    EXPECT_THROW(point_record(-1), RangeError);
}

TEST(TestBuffer, LargestTestFitsAndTooLongFilesFailTailAccess)
{
    TempDir dir;
    RawTest t;
    t.points.assign(63996, {1, 2, 0});
    t.points.back() = {123456, 654321, 0};
    t.breaking_load = 42;
    const auto bytes = t.bytes();
    ASSERT_LE(bytes.size(), kTestBufferSize);
    ASSERT_TRUE(read_test_file(write_test(dir, "max.bmd", bytes)));
    EXPECT_EQ(point_count(), 63996);
    EXPECT_EQ(point_record(63995).f, 123456);
    EXPECT_EQ(tail_u32(Tail::BreakingLoad), 42u);

    RawTest over;
    over.points.assign(64000, {1, 2, 0});
    ASSERT_TRUE(read_test_file(write_test(dir, "over.bmd", over.bytes())));
    EXPECT_GT(static_cast<size_t>(test_buffer().size()), kTestBufferSize);
    EXPECT_THROW(point_count(), RangeError);
}

TEST(TestBuffer, OpensReadOnlyAndRefusesWhatIsNotAFile)
{
    TempDir dir;
    RawTest t;
    const std::string path = write_test(dir, "ro.bmd", t.bytes());
    ::chmod(path.c_str(), 0444);
    EXPECT_TRUE(read_test_file(path));  // a write-protected archive still opens
    EXPECT_FALSE(read_test_file(dir.file("missing.bmd")));
    EXPECT_EQ(read_byte(0), 0x20);  // a failed open leaves only spaces
    ::mkdir(dir.file("folder.bmd").c_str(), 0755);
    EXPECT_FALSE(read_test_file(dir.file("folder.bmd")));
    ::mkfifo(dir.file("pipe.bmd").c_str(), 0644);
    EXPECT_FALSE(read_test_file(dir.file("pipe.bmd")));  // must not hang either
}

TEST(TestBuffer, DateAndTimeTexts)
{
    TempDir dir;
    struct Case {
        std::uint8_t d, mo, y, h, mi, s;
        const char* date;
        const char* time;
    };
    for (const Case& c : {Case{5, 3, 12, 9, 5, 0, "05.03.2012", "09:05:00"},
                          Case{0, 13, 7, 24, 60, 60, "01.01.2007", "00:00:00"},
                          Case{31, 12, 255, 23, 59, 59, "31.12.2255", "23:59:59"}}) {
        RawTest t;
        t.day = c.d;
        t.month = c.mo;
        t.year = c.y;
        t.hour = c.h;
        t.minute = c.mi;
        t.second = c.s;
        ASSERT_TRUE(read_test_file(write_test(dir, "d.bmd", t.bytes())));
        EXPECT_EQ(date_text(), c.date);
        EXPECT_EQ(time_text(), c.time);
    }
}

TEST(TestBuffer, ModeAndShapeTables)
{
    EXPECT_EQ(mode_text(0), "Растяжение");
    EXPECT_EQ(mode_text(1), "Сжатие");
    EXPECT_EQ(mode_text(2), "Растяжение");
    EXPECT_THROW(mode_text(3), RangeError);
    EXPECT_EQ(shape_text(3), "Образец");
    EXPECT_THROW(shape_text(4), RangeError);
    EXPECT_STREQ(RangeError().what(), "Range check error");
}

TEST(TestBuffer, SummaryHoldsTheSameHeaderAndTailAsTheWholeFile)
{
    TempDir dir;
    for (std::uint8_t mode : {0, 2}) {
        RawTest t;
        t.mode = mode;
        t.series = 9;
        t.area = 1234;
        t.gauge_base = 2500;
        t.points.assign(1000, {5, 6, 7});
        t.yield_stress = 1;
        t.yield_load = 2;
        t.tensile_strength = 3;
        t.breaking_load = 4;
        t.proof_load = 5;
        t.proof_stress = 6;
        const std::string path = write_test(dir, "s.bmd", t.bytes());
        ASSERT_TRUE(read_test_file(path));
        std::vector<unsigned char> whole(test_buffer().bytes(),
                                         test_buffer().bytes() + test_buffer().size());
        ASSERT_TRUE(read_test_summary(path));
        const auto& b = test_buffer();
        EXPECT_EQ(b.size(), static_cast<std::int32_t>(whole.size()));
        EXPECT_TRUE(std::equal(whole.begin(), whole.begin() + 28, b.bytes()));
        EXPECT_TRUE(std::equal(whole.end() - 30, whole.end(), b.bytes() + b.size() - 30));
        EXPECT_EQ(b.bytes()[28 + 16 * 10], 0x20);  // the points are not read
        EXPECT_EQ(tail_u32(Tail::BreakingLoad), 4u);
    }
    // Short files: whatever exists lands, the rest stays spaces.
    ASSERT_TRUE(read_test_summary(write_test(dir, "five.bmd", {0, 0, 0, 0, 1})));
    EXPECT_EQ(read_byte(4), 1);
    EXPECT_EQ(read_byte(kShape), 0x20);
    EXPECT_FALSE(read_test_summary(dir.file("missing.bmd")));
}

// A call a signal interrupted runs again; any other failure ends the retries
// with its errno kept.
TEST(SystemCall, RetriedOnlyWhileInterrupted)
{
    struct Case {
        std::vector<int> errnos;  // each call's errno, 0 for success
        long result;
        int calls;
        int last_errno;
    };
    for (const Case& c : {Case{{EINTR, EINTR, 0}, 7, 3, EINTR}, Case{{EIO, 0}, -1, 1, EIO},
                          Case{{0}, 7, 1, 0}, Case{{EINTR, EAGAIN}, -1, 2, EAGAIN}}) {
        int calls = 0;
        errno = 0;
        const long r = retry_interrupted([&]() -> long {
            const int e = c.errnos[static_cast<std::size_t>(calls++)];
            if (e == 0)
                return 7;
            errno = e;
            return -1;
        });
        EXPECT_EQ(r, c.result);
        EXPECT_EQ(calls, c.calls);
        if (r < 0) {
            EXPECT_EQ(errno, c.last_errno);
        }
    }
}
