#include "lib/bmd_writer.h"
#include "lib/sample_tests.h"
#include "support/test_support.h"
#include "testfile/buffer.h"
#include "testfile/errors.h"
#include "testfile/fields.h"
#include "testfile/reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>

using namespace lekta;
using namespace lekta::tools;
namespace lt = lekta::testing;

namespace {

void read_back(const lt::TempDir& dir, const std::string& name,
               const std::vector<unsigned char>& bytes)
{
    lt::write_file(dir.file(name), bytes);
    ASSERT_TRUE(read_test_file(dir.file(name)));
}

std::uint32_t raw_u32(std::size_t at)
{
    const unsigned char* p = test_buffer().bytes() + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

BmdTest header_only(std::uint8_t mode)
{
    BmdTest t;
    t.model_index = 3;
    t.series = 201;
    t.test_no = 17;
    t.mode = mode;
    t.shape = 1;
    t.rate = 125;
    t.size1 = 200;
    t.size2 = 35;
    t.area = 700;
    t.day = 5, t.month = 3, t.year = 12, t.hour = 9, t.minute = 5, t.second = 7;
    t.gauge_base = 5000;
    return t;
}

}  // namespace

TEST(BmdWriter, StandardLayoutReadsBackThroughTheReader)
{
    lt::TempDir dir;
    BmdTest t = header_only(1);  // compression keeps the standard offsets
    t.points = {{-12, 0, 999}, {35000, 1500, 999}, {2147483647, -2147483647 - 1, 0}};
    t.yield_stress = 1;
    t.yield_load = 0x01020304;
    t.tensile_strength = 0xFFFFFFFF;
    t.breaking_load = 12345;
    const auto bytes = encode_bmd(t);
    ASSERT_EQ(bytes.size(), 28u + 16 * 3 + 22);
    read_back(dir, "a.bmd", bytes);

    EXPECT_EQ(read_byte(kModelIndex), 3);
    EXPECT_EQ(read_byte(kSeries), 201);
    EXPECT_EQ(read_byte(kTestNo), 17);
    EXPECT_EQ(read_byte(kMode), 1);
    EXPECT_EQ(read_byte(kNoCurve), 0);
    EXPECT_EQ(read_byte(kShape), 1);
    EXPECT_EQ(read_word(kRate), 125);
    EXPECT_EQ(read_word(kSize1), 200);
    EXPECT_EQ(read_word(kSize2), 35);
    EXPECT_EQ(read_word(kArea), 700);
    EXPECT_EQ(date_text(), "05.03.2012");
    EXPECT_EQ(time_text(), "09:05:07");
    EXPECT_FALSE(is_extensometer_layout());
    EXPECT_EQ(read_word(kGaugeBase), 0);  // the standard layout has no gauge length

    ASSERT_EQ(point_count(), 3);
    EXPECT_EQ(point_record(0).f, -12);
    EXPECT_EQ(point_record(0).h, 0);
    EXPECT_EQ(point_record(0).he, 0);  // He is not part of a standard record
    EXPECT_EQ(point_record(1).f, 35000);
    EXPECT_EQ(point_record(1).h, 1500);
    EXPECT_EQ(point_record(2).f, 2147483647);
    EXPECT_EQ(point_record(2).h, -2147483647 - 1);
    EXPECT_EQ(tail_u32(Tail::YieldStress), 1u);
    EXPECT_EQ(tail_u32(Tail::YieldLoad), 0x01020304u);
    EXPECT_EQ(tail_u32(Tail::TensileStrength), 0xFFFFFFFFu);
    EXPECT_EQ(tail_u32(Tail::BreakingLoad), 12345u);
    // Records follow one another without gaps and the tail follows the last one.
    EXPECT_EQ(raw_u32(28 + 16 * 3), 3u);

    // Without points the tail follows the header directly.
    BmdTest empty = header_only(0);
    empty.no_curve = 1;
    empty.breaking_load = 181259;
    read_back(dir, "b.bmd", encode_bmd(empty));
    EXPECT_EQ(test_buffer().size(), 50);
    EXPECT_EQ(point_count(), 0);
    EXPECT_EQ(tail_u32(Tail::BreakingLoad), 181259u);
}

TEST(BmdWriter, ExtensometerLayoutStartsRecordsAtOffset27WithHeFirst)
{
    lt::TempDir dir;
    BmdTest t = header_only(2);
    t.points = {{10, 20, 30}, {48000, 10800, -85000}};
    t.yield_stress = 358408;
    t.yield_load = 28135;
    t.tensile_strength = 620586;
    t.breaking_load = 36509;
    t.proof_load = 28229;
    t.proof_stress = 359605;
    const auto bytes = encode_bmd(t);
    ASSERT_EQ(bytes.size(), 27u + 16 * 2 + 30);
    read_back(dir, "e.bmd", bytes);

    EXPECT_TRUE(is_extensometer_layout());
    EXPECT_EQ(read_word(kGaugeBase), 5000);
    EXPECT_EQ(raw_u32(27), 30u);  // He of the first record, before F and H
    EXPECT_EQ(raw_u32(31), 10u);
    EXPECT_EQ(raw_u32(35), 20u);
    ASSERT_EQ(point_count(), 2);
    EXPECT_EQ(point_record(1).f, 48000);
    EXPECT_EQ(point_record(1).h, 10800);
    EXPECT_EQ(point_record(1).he, -85000);
    EXPECT_EQ(tail_u32(Tail::YieldStress), 358408u);
    EXPECT_EQ(tail_u32(Tail::YieldLoad), 28135u);
    EXPECT_EQ(tail_u32(Tail::TensileStrength), 620586u);
    EXPECT_EQ(tail_u32(Tail::BreakingLoad), 36509u);
    EXPECT_EQ(tail_u32(Tail::ProofLoad), 28229u);
    EXPECT_EQ(tail_u32(Tail::ProofStress), 359605u);
}

TEST(BmdWriter, LargestTestFitsTheBufferAndReadsBackWhole)
{
    EXPECT_EQ(max_points(false), 63996u);
    EXPECT_LE(encoded_size(false, 63996), kTestBufferSize);
    EXPECT_GT(encoded_size(false, 63997), kTestBufferSize);
    EXPECT_GT(encoded_size(false, 64000), kTestBufferSize);
    EXPECT_LE(encoded_size(true, max_points(true)), kTestBufferSize);
    EXPECT_GT(encoded_size(true, max_points(true) + 1), kTestBufferSize);

    const auto demo = demo_tests();
    const auto it = std::find_if(demo.begin(), demo.end(),
                                 [](const NamedTest& t) { return t.name == kLargestDemoName; });
    ASSERT_NE(it, demo.end());
    const BmdTest& big = it->test;
    ASSERT_EQ(big.points.size(), 63996u);
    ASSERT_EQ(big.mode, 0);
    lt::TempDir dir;
    read_back(dir, it->name, encode_bmd(big));
    EXPECT_EQ(test_buffer().size(), 1023986);
    ASSERT_EQ(point_count(), 63996);
    EXPECT_EQ(point_record(63995).f, big.points.back().f);
    EXPECT_EQ(point_record(63995).h, big.points.back().h);
    EXPECT_EQ(point_record(31999).f, big.points[31999].f);
    EXPECT_EQ(tail_u32(Tail::BreakingLoad), big.breaking_load);
    EXPECT_EQ(tail_u32(Tail::TensileStrength), big.tensile_strength);
    EXPECT_EQ(tail_u32(Tail::YieldLoad), big.yield_load);
}

namespace {

// What a laboratory engineer would check on a recorded test.
void expect_sensible(const NamedTest& nt)
{
    SCOPED_TRACE(nt.name);
    const BmdTest& t = nt.test;
    const double frame_kn[] = {50, 100, 200, 300, 500};
    ASSERT_LE(t.model_index, 4);
    ASSERT_LE(t.mode, 2);
    ASSERT_LE(t.shape, 3);
    ASSERT_TRUE(t.day >= 1 && t.day <= 31 && t.month >= 1 && t.month <= 12 && t.hour <= 23 &&
                t.minute <= 59 && t.second <= 59);
    if (t.shape == 0 || t.shape == 2) {
        EXPECT_NEAR(t.area, 3.14159265 * t.size1 * t.size1 / 40, 1.0);
    }
    if (t.shape == 1) {
        EXPECT_NEAR(t.area, t.size1 * t.size2 / 10.0, 1.0);
    }
    if (t.mode == 2) {
        EXPECT_GT(t.gauge_base, 0);
    }
    EXPECT_LE(t.breaking_load, frame_kn[t.model_index] * 1000);

    if (t.no_curve) {
        EXPECT_TRUE(t.points.empty());
        EXPECT_GT(t.breaking_load, 0u);
        return;
    }
    const auto& p = t.points;
    ASSERT_GE(p.size(), 100u);
    std::size_t imax = 0;
    for (std::size_t i = 1; i < p.size(); ++i) {
        ASSERT_GE(p[i].h, p[i - 1].h) << "travel runs backwards at point " << i;
        ASSERT_GE(p[i].he, p[i - 1].he) << "extensometer runs backwards at point " << i;
        if (p[i].f > p[imax].f)
            imax = i;
    }
    const double fmax = p[imax].f;
    EXPECT_LT(std::abs(p.front().f), 0.01 * fmax);  // the test starts unloaded
    EXPECT_GT(p.back().h, p[imax].h);               // the break comes after the maximum
    EXPECT_LE(fmax, frame_kn[t.model_index] * 1000);
    EXPECT_EQ(static_cast<std::int64_t>(t.breaking_load), p.back().f);
    EXPECT_NEAR(t.tensile_strength, fmax * 10000 / t.area, 1.0);
    if (t.mode == 1) {
        EXPECT_EQ(t.yield_load, 0u);
        return;
    }
    // Tension: necking takes the load down before the break.
    EXPECT_LT(p.back().f, 0.95 * fmax);
    EXPECT_GT(p.back().f, 0.5 * fmax);
    EXPECT_LT(t.yield_load, fmax);
    EXPECT_GT(t.yield_load, 0.2 * fmax);  // annealed copper yields at about 0.3 of its maximum
    EXPECT_NEAR(t.yield_stress, t.yield_load * 10000.0 / t.area, 1.0);
    // The yield load is a load the curve passes through on its way up.
    bool bracketed = false;
    for (std::size_t i = 1; i <= imax && !bracketed; ++i)
        bracketed = std::min(p[i - 1].f, p[i].f) <= static_cast<std::int64_t>(t.yield_load) + 1 &&
                    static_cast<std::int64_t>(t.yield_load) <= std::max(p[i - 1].f, p[i].f) + 1;
    EXPECT_TRUE(bracketed);
    // Elastic rise: the first fifth of the yield load is reached within a small fraction of the
    // travel.
    std::size_t i_fifth = 0;
    while (p[i_fifth].f < 0.2 * t.yield_load)
        ++i_fifth;
    EXPECT_LT(p[i_fifth].h, 0.1 * p.back().h);

    if (t.mode != 2)
        return;
    // Conventional yield from the extensometer, worked out independently: the
    // elastic slope fitted between 10 % and 50 % of the proof load, then the
    // load where the permanent strain reaches 0.2 % of the gauge length.
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    int n = 0;
    for (std::size_t i = 0; i < imax; ++i) {
        if (p[i].f < 0.1 * t.proof_load || p[i].f > 0.5 * t.proof_load)
            continue;
        sx += p[i].f, sy += p[i].he, sxx += 1.0 * p[i].f * p[i].f, sxy += 1.0 * p[i].f * p[i].he;
        ++n;
    }
    ASSERT_GE(n, 5);
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    const double offset = sy / n - slope * sx / n;
    const double limit = 0.002 * t.gauge_base / 100.0 * 10000;
    double proof = -1;
    for (std::size_t i = 0; i < p.size() && proof < 0; ++i)
        if (p[i].he - offset - slope * p[i].f >= limit)
            proof = p[i].f;
    EXPECT_NEAR(proof, t.proof_load, 0.015 * t.proof_load);
    EXPECT_NEAR(t.proof_stress, t.proof_load * 10000.0 / t.area, 1.0);
}

}  // namespace

TEST(SampleTests, DemoAndRandomCurvesArePhysicallySensible)
{
    for (const NamedTest& t : demo_tests())
        expect_sensible(t);
    SampleFolder folder(11);
    for (int i = 0; i < 150; ++i) {
        const NamedTest t = folder.next();
        expect_sensible(t);
        if (!t.test.no_curve) {
            EXPECT_GE(t.test.points.size(), 150u);
            EXPECT_LE(t.test.points.size(), 4500u);
        }
    }
}

TEST(SampleTests, DemoSetIsDeterministicAndCoversEveryKind)
{
    const auto a = demo_tests();
    const auto b = demo_tests();
    ASSERT_EQ(a.size(), b.size());
    EXPECT_GE(a.size(), 12u);
    EXPECT_LE(a.size(), 17u);
    std::set<std::string> names;
    int upper_ext = 0;
    std::set<std::string> kinds;
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].name, b[i].name);
        EXPECT_EQ(encode_bmd(a[i].test), encode_bmd(b[i].test)) << a[i].name;
        names.insert(a[i].name);
        const std::string ext = a[i].name.substr(a[i].name.size() - 4);
        EXPECT_TRUE(ext == ".bmd" || ext == ".BMD") << a[i].name;
        upper_ext += ext == ".BMD";
        const BmdTest& t = a[i].test;
        kinds.insert("mode" + std::to_string(t.mode) +
                     (t.no_curve ? "-nocurve-shape" : "-curve-shape") + std::to_string(t.shape));
    }
    EXPECT_EQ(names.size(), a.size());
    EXPECT_EQ(upper_ext, 1);
    for (const char* k :
         {"mode0-curve-shape0", "mode0-curve-shape1", "mode0-curve-shape2", "mode0-curve-shape3",
          "mode1-curve-shape0", "mode2-curve-shape0", "mode2-curve-shape1", "mode0-nocurve-shape3",
          "mode1-nocurve-shape3", "mode2-nocurve-shape3", "mode0-nocurve-shape0"})
        EXPECT_EQ(kinds.count(k), 1u) << k;

    // Random folders: the seed alone decides the files; names never repeat.
    SampleFolder f1(5), f2(5), f3(6);
    std::set<std::string> folder_names;
    bool differs = false;
    for (int i = 0; i < 400; ++i) {
        const NamedTest x = f1.next(), y = f2.next(), z = f3.next();
        ASSERT_EQ(x.name, y.name);
        ASSERT_EQ(encode_bmd(x.test), encode_bmd(y.test));
        differs = differs || encode_bmd(x.test) != encode_bmd(z.test);
        EXPECT_TRUE(folder_names.insert(x.name).second) << x.name;
    }
    EXPECT_TRUE(differs);

    // Past series 255 the series byte starts again, and the names stay unique
    // and keep telling the series shown in the catalogue.
    SampleFolder big(7);
    folder_names.clear();
    for (int i = 0; i < 2500; ++i) {
        const NamedTest x = big.next();
        ASSERT_TRUE(folder_names.insert(x.name).second) << x.name;
        ASSERT_EQ(std::atoi(x.name.c_str() + 1), x.test.series) << x.name;
        ASSERT_EQ(std::atoi(x.name.c_str() + 5), x.test.test_no) << x.name;
    }
    EXPECT_TRUE(folder_names.count("S001-001_2.bmd"));
}

TEST(SampleTests, DamagedFilesFailWhereTheCatalogueLooks)
{
    lt::TempDir dir;
    const auto files = damaged_files();
    auto find = [&](const std::string& name) {
        const auto it = std::find_if(files.begin(), files.end(),
                                     [&](const NamedFile& f) { return f.name == name; });
        EXPECT_NE(it, files.end()) << name;
        return it == files.end() ? std::vector<unsigned char>{} : it->bytes;
    };
    read_back(dir, "s.bmd", find("damaged-shape.bmd"));
    EXPECT_THROW(shape_text(read_byte(kShape)), RangeError);
    EXPECT_NO_THROW(mode_text(read_byte(kMode)));
    read_back(dir, "m.bmd", find("damaged-mode.bmd"));
    EXPECT_NO_THROW(shape_text(read_byte(kShape)));
    EXPECT_THROW(mode_text(read_byte(kMode)), RangeError);
    read_back(dir, "5.bmd", find("damaged-5bytes.bmd"));
    EXPECT_EQ(test_buffer().size(), 5);
    EXPECT_THROW(shape_text(read_byte(kShape)), RangeError);
    read_back(dir, "t.bmd", find("damaged-short.bmd"));
    EXPECT_NO_THROW(shape_text(read_byte(kShape)));
    EXPECT_NO_THROW(mode_text(read_byte(kMode)));
    EXPECT_NO_THROW(tail_u32(Tail::BreakingLoad));
    EXPECT_THROW(tail_u32(Tail::YieldStress), RangeError);  // a tension test with a curve needs it
}

TEST(MakeSamples, WritesTheSetsIntoTheGivenFolderOnly)
{
    const std::string prog = lt::bin_dir() + "/lekta_make_samples";
    if (!std::filesystem::exists(prog))
        GTEST_SKIP() << "lekta_make_samples is not built";
    lt::TempDir dir;
    const std::string out = dir.file("demo");
    ASSERT_EQ(std::system((prog + " --demo --damaged " + out + " >/dev/null").c_str()), 0);
    const auto demo = demo_tests();
    for (const NamedTest& t : demo)
        EXPECT_EQ(lt::read_file(out + "/" + t.name), encode_bmd(t.test)) << t.name;
    const auto series = demo_series_tests();
    for (const NamedTest& t : series)
        EXPECT_EQ(lt::read_file(out + "/" + t.name), encode_bmd(t.test)) << t.name;
    std::size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        n += e.path().filename() == "demo" ? 0 : 1;
    EXPECT_EQ(n, 0u);
    n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(out))
        ++n;
    EXPECT_EQ(n, demo.size() + series.size() + damaged_files().size());

    const std::string c1 = dir.file("c1"), c2 = dir.file("c2");
    ASSERT_EQ(std::system((prog + " --count 30 --seed 9 " + c1 + " >/dev/null").c_str()), 0);
    ASSERT_EQ(std::system((prog + " --count 30 --seed 9 " + c2 + " >/dev/null").c_str()), 0);
    SampleFolder folder(9);
    n = 0;
    for (const auto& e : std::filesystem::directory_iterator(c1)) {
        ++n;
        EXPECT_EQ(lt::read_file(e.path().string()),
                  lt::read_file(c2 + "/" + e.path().filename().string()));
    }
    EXPECT_EQ(n, 30u);
    const NamedTest first = folder.next();
    EXPECT_EQ(lt::read_file(c1 + "/" + first.name), encode_bmd(first.test));

    EXPECT_NE(std::system((prog + " --count x " + c1 + " 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((prog + " " + c1 + " 2>/dev/null").c_str()), 0);
}
