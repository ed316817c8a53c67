// The analysis on the sample generator's curves, whose materials and results
// it knows, and the tests read from the test buffer as the graph window reads them.
#include "analysis/curve_analysis.h"
#include "analysis/result_comparison.h"
#include "analysis/test_curve.h"

#include "lib/sample_tests.h"
#include "support/bmd_bytes.h"
#include "support/test_support.h"
#include "testfile/errors.h"
#include "testfile/reader.h"

#include <gtest/gtest.h>

using namespace lekta::analysis;
using namespace lekta::tools;

// Every material in tension, with and without extensometer, twenty specimens
// each with scattered properties: the strength is the stored one; a plateau
// material has its yield point, and its lower yield within 0.5 % of the lowest
// plateau load the generator stored; a smooth one has none; the proof force is
// within 0.5 % of the generator's, which it took with the true modulus.
TEST(SampleCurves, GeneratorMaterialsGiveTheirYieldAndStrength)
{
    for (Material m : {Material::St3, Material::Steel09G2S, Material::Steel45, Material::A240,
                       Material::A500C, Material::Steel40X, Material::Aluminium}) {
        for (SampleKind kind : {SampleKind::Tension, SampleKind::Extensometer}) {
            for (std::uint64_t seed = 1; seed <= 20; ++seed) {
                SCOPED_TRACE(::testing::Message()
                             << "material " << static_cast<int>(m) << " seed " << seed);
                SampleSpecimen s;
                s.kind = kind;
                s.material = m;
                s.points = 200 + static_cast<int>(seed % 7) * 400;
                s.seed = seed;
                s.vary_material = true;
                const BmdTest t = synthesize_test(s);
                std::vector<CurvePoint> pts;
                for (const BmdPoint& p : t.points)
                    pts.push_back({p.f / 1000.0, p.h / 1000.0, p.he / 10000.0});
                const CurveResults r = analyse_curve(
                    {pts, t.mode == 2, t.area / 10.0, t.gauge_base / 100.0});

                EXPECT_NEAR(r[Quantity::Rm].value, t.tensile_strength / 1000.0, 5e-4);
                ASSERT_EQ(r[Quantity::FeL].present(), material_props(m).plateau);
                if (r[Quantity::FeL].present()) {
                    EXPECT_NEAR(r[Quantity::FeL].value, t.yield_load / 1000.0,
                                0.005 * t.yield_load / 1000.0);
                    EXPECT_GT(r[Quantity::FeH].value, r[Quantity::FeL].value);
                }
                if (kind == SampleKind::Extensometer) {
                    EXPECT_NEAR(r[Quantity::Fp02].value, t.proof_load / 1000.0,
                                0.005 * t.proof_load / 1000.0);
                    // The maximum lies near the uniform strain, scattered by 6 % and on a flat top.
                    EXPECT_NEAR(r[Quantity::Agt].value, 100 * material_props(m).uniform_strain,
                                30 * material_props(m).uniform_strain);
                }
            }
        }
    }
}

// The demo folder's files through the test buffer: points scaled as the graph
// window shows them, results beside the ones the unit stored.
TEST(SampleCurves, DemoFilesReadFromTheBuffer)
{
    lekta::testing::TempDir dir;
    for (const NamedTest& nt : demo_tests()) {
        SCOPED_TRACE(nt.name);
        ASSERT_TRUE(write_bmd(dir.file(nt.name), nt.test));
        ASSERT_TRUE(lekta::read_test_file(dir.file(nt.name)));
        const TestCurve c = read_test_curve();
        ASSERT_EQ(c.points.size(), nt.test.points.size());
        if (!c.points.empty()) {
            const BmdPoint& last = nt.test.points.back();
            EXPECT_EQ(c.points.back().f_kn, last.f / 1000.0);
            EXPECT_EQ(c.points.back().h_mm, last.h / 1000.0);
            EXPECT_EQ(c.points.back().he_mm, last.he / 10000.0);
        }
        const StoredResults stored = read_stored_results();
        EXPECT_EQ(stored.yield_load_kn, nt.test.yield_load / 1000.0);
        EXPECT_EQ(stored.proof_load_kn.has_value(), c.extensometer);
        const CurveResults r = analyse_curve(c.input());
        if (r[Quantity::Rm].present()) {
            EXPECT_NEAR(r[Quantity::Rm].value, stored.tensile_strength_mpa, 5e-4);
        }
        if (c.extensometer && r[Quantity::Fp02].present()) {
            EXPECT_NEAR(r[Quantity::Fp02].value, *stored.proof_load_kn,
                        0.005 * *stored.proof_load_kn);
        }
    }

    // A count far beyond the buffer ends in a range error, not in an attempt
    // to make room for two thousand million points.
    lekta::testing::RawTest t;
    t.point_count = 2'000'000'000;
    lekta::testing::write_file(dir.file("big.bmd"), t.bytes());
    ASSERT_TRUE(lekta::read_test_file(dir.file("big.bmd")));
    EXPECT_THROW(read_test_curve(), lekta::RangeError);
}

// The demo's tests beside what their unit stored, read from the buffer as
// the loader reads them: a compression test compares no yield and no
// strength, an extensometer test its F0.2 as well.
TEST(SampleCurves, DemoResultsBesideTheStoredOnes)
{
    lekta::testing::TempDir dir;
    for (const NamedTest& nt : demo_tests()) {
        if (nt.name != "S15-001.bmd" && nt.name != "S17-001.bmd" && nt.name != "S19-003.bmd")
            continue;
        SCOPED_TRACE(nt.name);
        ASSERT_TRUE(write_bmd(dir.file(nt.name), nt.test));
        ASSERT_TRUE(lekta::read_test_file(dir.file(nt.name)));
        const ComparedResults r = analyse_buffer_test();
        EXPECT_EQ(r.stored_of(Quantity::FeL).has_value(), nt.test.mode != 1);
        EXPECT_EQ(r.difference_percent(Quantity::Rm).has_value(), nt.test.mode != 1);
        EXPECT_EQ(r.stored_of(Quantity::Fp02),
                  nt.test.mode == 2 ? std::optional(nt.test.proof_load / 1000.0) : std::nullopt);
        EXPECT_LT(std::abs(r.difference_percent(Quantity::Rm).value_or(0)), 0.01);
    }
}
